#include "platform/win32/session_end.h"

#include <windows.h>

namespace lumetra {

namespace {

LRESULT CALLBACK sessionWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* onEnd =
        reinterpret_cast<std::function<void()>*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
    case WM_QUERYENDSESSION:
        return TRUE; // nothing stops the session: the shutdown steps run at its end
    case WM_ENDSESSION:
        if (wParam != FALSE && onEnd != nullptr && *onEnd)
            (*onEnd)();
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

} // namespace

SessionEndWatcher::SessionEndWatcher(std::function<void()> onEnd) : m_onEnd(std::move(onEnd)) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = sessionWindow;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kSessionEndWindowClass;
    RegisterClassW(&windowClass);
    // A top-level window (a message-only one hears no broadcast), never shown.
    HWND window = CreateWindowExW(WS_EX_TOOLWINDOW, kSessionEndWindowClass, L"Lumetra", WS_POPUP, 0,
                                  0, 0, 0, nullptr, nullptr, instance, nullptr);
    if (window != nullptr)
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&m_onEnd));
    m_window = window;
}

SessionEndWatcher::~SessionEndWatcher() {
    if (m_window != nullptr)
        DestroyWindow(static_cast<HWND>(m_window));
}

} // namespace lumetra
