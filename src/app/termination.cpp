#include "app/termination.h"

#include <QSocketNotifier>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace lumetra {

namespace {

int g_signalWriter = -1; // written by the signal handler, the one thing it may touch

void forwardSignal(int number) {
    const auto byte = static_cast<unsigned char>(number);
    [[maybe_unused]] const auto written = ::write(g_signalWriter, &byte, 1);
}

} // namespace

void endOnTermination(QObject& owner, EndProgram end) {
    int pair[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, pair) != 0)
        return;
    g_signalWriter = pair[0];
    auto* notifier = new QSocketNotifier(pair[1], QSocketNotifier::Read, &owner);
    QObject::connect(notifier, &QSocketNotifier::activated, &owner,
                     [reader = pair[1], end = std::move(end)] {
                         unsigned char byte = 0;
                         while (::read(reader, &byte, 1) == 1)
                             end("signal " + std::to_string(byte), false);
                     });
    struct sigaction action {};
    action.sa_handler = forwardSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGINT, &action, nullptr);
}

} // namespace lumetra
