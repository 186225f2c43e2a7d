// Windows: a console's Ctrl+C, Ctrl+Break or close, a log-off and a shutdown reach the
// program as a control event on a thread of the system's; the event loop is asked to
// end from the user-interface thread, as on Linux.
#include "app/termination.h"

#include <QMetaObject>
#include <QPointer>
#include <windows.h>

namespace lumetra {

namespace {

QPointer<QObject> g_owner;
std::function<void(int)> g_onSignal;

BOOL WINAPI forwardControlEvent(DWORD event) {
    if (g_owner.isNull())
        return FALSE;
    const int number = static_cast<int>(event);
    QMetaObject::invokeMethod(
        g_owner.data(), [number] { g_onSignal(number); }, Qt::QueuedConnection);
    return TRUE;
}

} // namespace

void endOnTermination(QObject& owner, std::function<void(int)> onSignal) {
    g_owner = &owner;
    g_onSignal = std::move(onSignal);
    SetConsoleCtrlHandler(forwardControlEvent, TRUE);
}

} // namespace lumetra
