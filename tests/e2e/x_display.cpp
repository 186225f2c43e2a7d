#include "e2e/x_display.h"

#include "e2e/harness.h"

#include <X11/Xlib.h>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace lumetra::e2e {

namespace {

constexpr const char* kServer = "/usr/bin/Xvfb";
constexpr const char* kManager = "/usr/bin/matchbox-window-manager";
constexpr const char* kXdotool = "/usr/bin/xdotool";

int startBackground(const std::vector<std::string>& argv, const std::string& display,
                    int keepFd = -1) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (!display.empty())
            ::setenv("DISPLAY", display.c_str(), 1);
        // The test's output stays the test's: a server left behind must not hold it open.
        const int devnull = ::open("/dev/null", O_RDWR);
        ::dup2(devnull, STDOUT_FILENO);
        ::dup2(devnull, STDERR_FILENO);
        for (int fd = 3; fd < 1024; ++fd)
            if (fd != keepFd)
                ::close(fd);
        std::vector<char*> args;
        for (const auto& arg : argv)
            args.push_back(const_cast<char*>(arg.c_str()));
        args.push_back(nullptr);
        ::execv(args[0], args.data());
        ::_exit(127);
    }
    return pid;
}

void stopBackground(int pid) {
    if (pid <= 0)
        return;
    ::kill(pid, SIGTERM);
    ::waitpid(pid, nullptr, 0);
}

} // namespace

XDisplay::XDisplay() {
    m_installed = ::access(kServer, X_OK) == 0 && ::access(kManager, X_OK) == 0 &&
                  ::access(kXdotool, X_OK) == 0;
    // A server slow to answer on a busy machine is waited for, then tried once more.
    for (int attempt = 0; m_installed && attempt < 2 && !start(); ++attempt)
        stop();
}

bool XDisplay::start() {
    // Xvfb picks a free display itself and writes its number and a line end to the pipe;
    // the pipe stays open until the line end arrived, or the server ends for a failed write.
    int numberPipe[2];
    if (::pipe(numberPipe) != 0) {
        m_failure = "no pipe for the display number";
        return false;
    }
    m_server = startBackground({kServer, "-displayfd", std::to_string(numberPipe[1]), "-screen",
                                "0", "1024x768x24", "-nolisten", "tcp"},
                               {}, numberPipe[1]);
    ::close(numberPipe[1]);
    std::string number;
    char c = 0;
    while (::read(numberPipe[0], &c, 1) == 1 && c != '\n')
        number += c;
    ::close(numberPipe[0]);
    if (number.empty()) {
        m_failure = "Xvfb gave no display number";
        return false;
    }
    const std::string name = ":" + std::to_string(std::atoi(number.c_str()));
    bool answers = false;
    for (int attempt = 0; attempt < 300 && !answers; ++attempt) {
        if (Display* display = XOpenDisplay(name.c_str())) {
            XCloseDisplay(display);
            answers = true;
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
    }
    if (!answers) {
        m_failure = "Xvfb on " + name + " did not answer within 30 s";
        return false;
    }
    m_manager = startBackground({kManager, "-use_titlebar", "no"}, name);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    m_name = name;
    return true;
}

void XDisplay::stop() {
    stopBackground(m_manager);
    stopBackground(m_server);
    m_manager = -1;
    m_server = -1;
}

XDisplay::~XDisplay() {
    stop();
}

std::string XDisplay::xdotool(const std::vector<std::string>& arguments) const {
    std::vector<std::string> argv = {kXdotool};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    return runCommand(argv, {{"DISPLAY", m_name}}).out;
}

std::string XDisplay::findWindow(const std::string& titlePattern) const {
    // A first start under load can take long (Qt builds its font cache).
    for (int attempt = 0; attempt < 300; ++attempt) {
        const std::string found = xdotool({"search", "--onlyvisible", "--name", titlePattern});
        if (!found.empty())
            return found.substr(0, found.find('\n'));
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return {};
}

bool XDisplay::askToClose(const std::string& window) const {
    Display* display = XOpenDisplay(m_name.c_str());
    if (display == nullptr)
        return false;
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = std::strtoul(window.c_str(), nullptr, 10);
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    const Status sent = XSendEvent(display, event.xclient.window, False, NoEventMask, &event);
    XCloseDisplay(display);
    return sent != 0;
}

} // namespace lumetra::e2e
