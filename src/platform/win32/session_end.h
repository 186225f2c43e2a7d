// Log-off and shutdown reach a program without a console as WM_QUERYENDSESSION and
// WM_ENDSESSION, sent to its top-level windows; once WM_ENDSESSION is answered the process
// may end at any moment. A hidden top-level window of the watcher's own hears them and runs
// the program's orderly shutdown before it answers.
#pragma once

#include <functional>

namespace lumetra {

// The window class of the hidden window, by which the system (and a test) finds it.
inline constexpr const wchar_t* kSessionEndWindowClass = L"LumetraSessionEnd";

class SessionEndWatcher {
public:
    // `onEnd` runs on the thread that made the watcher, when the session ends for good.
    explicit SessionEndWatcher(std::function<void()> onEnd);
    ~SessionEndWatcher();
    SessionEndWatcher(const SessionEndWatcher&) = delete;
    SessionEndWatcher& operator=(const SessionEndWatcher&) = delete;

private:
    std::function<void()> m_onEnd;
    void* m_window = nullptr; // HWND
};

} // namespace lumetra
