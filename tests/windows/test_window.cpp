// A small window program for the desktop adapter's tests. It shows one top-level window
// (none with LUMETRA_TEST_WINDOW_HIDDEN=1) and appends every character it receives, in
// the code page, to the file LUMETRA_TEST_WINDOW_LOG names: Ctrl+O arrives as "\x0F",
// Enter as "\r".
#include "common/windows_text.h"

#include <cstdio>
#include <cstdlib>
#include <windows.h>

namespace {

void record(wchar_t character) {
    const wchar_t* log = _wgetenv(L"LUMETRA_TEST_WINDOW_LOG");
    if (log == nullptr)
        return;
    const std::string text = lumetra::codePageFromWide(std::wstring_view(&character, 1));
    if (FILE* file = _wfopen(log, L"ab")) {
        std::fwrite(text.data(), 1, text.size(), file);
        std::fclose(file);
    }
}

LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CHAR:
        record(static_cast<wchar_t>(wParam));
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = windowProcedure;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = L"LumetraTestWindow";
    RegisterClassW(&windowClass);
    HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"Editor", WS_OVERLAPPEDWINDOW, 10,
                                  10, 300, 200, nullptr, nullptr, instance, nullptr);
    const wchar_t* hidden = _wgetenv(L"LUMETRA_TEST_WINDOW_HIDDEN");
    if (hidden == nullptr || hidden[0] != L'1')
        ShowWindow(window, SW_SHOW);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
