// Windows: a console's Ctrl+C, Ctrl+Break or close reach the program as a control event
// on a thread of the system's, and the event loop is asked to end from the user-interface
// thread, as on Linux. A program without a console hears log-off and shutdown as
// WM_ENDSESSION instead, through a hidden window: the shutdown steps run before it answers.
#include "app/termination.h"
#include "platform/win32/session_end.h"

#include <QMetaObject>
#include <QObject>
#include <QPointer>
#include <memory>
#include <windows.h>

namespace lumetra {

namespace {

QPointer<QObject> g_owner;
EndProgram g_end;

BOOL WINAPI forwardControlEvent(DWORD event) {
    if (g_owner.isNull())
        return FALSE;
    const std::string reason = "console event " + std::to_string(event);
    QMetaObject::invokeMethod(
        g_owner.data(), [reason] { g_end(reason, false); }, Qt::QueuedConnection);
    return TRUE;
}

} // namespace

void endOnTermination(QObject& owner, EndProgram end) {
    g_owner = &owner;
    g_end = std::move(end);
    SetConsoleCtrlHandler(forwardControlEvent, TRUE);
    // Lives as long as the owner: its window goes with it.
    auto watcher = std::make_shared<SessionEndWatcher>([] { g_end("the session ends", true); });
    QObject::connect(&owner, &QObject::destroyed, [watcher]() mutable { watcher.reset(); });
}

} // namespace lumetra
