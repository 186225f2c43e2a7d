// A small window program for the desktop adapter's tests, behaving as the program editor
// does. It shows one top-level window (none with LUMETRA_TEST_WINDOW_HIDDEN=1) and appends
// every character it receives, in the code page, to the file LUMETRA_TEST_WINDOW_LOG
// names: Ctrl+O arrives as "\x0F", Enter as "\r". Ctrl+O opens a modal "Open" dialog
// with a name box; Enter there opens the named file in the folder LUMETRA_TEST_WINDOW_FOLDER
// and logs "[Open <name>: opened]" (or ": not found"), Escape logs "[Open cancelled]".
#include "platform/win32/windows_text.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>
#include <windows.h>

namespace {

constexpr int kNameBox = 100;

void record(std::wstring_view text) {
    const wchar_t* log = _wgetenv(L"LUMETRA_TEST_WINDOW_LOG");
    if (log == nullptr)
        return;
    const std::string bytes = lumetra::codePageFromWide(text);
    if (FILE* file = _wfopen(log, L"ab")) {
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
    }
}

// An in-memory dialog template: a captioned popup holding one edit control.
std::vector<WORD> openDialogTemplate() {
    std::vector<WORD> words;
    const auto dword = [&](DWORD value) {
        words.push_back(LOWORD(value));
        words.push_back(HIWORD(value));
    };
    const auto text = [&](std::wstring_view value) {
        words.insert(words.end(), value.begin(), value.end());
        words.push_back(0);
    };
    dword(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME);
    dword(0);
    words.insert(words.end(), {1, 10, 10, 200, 40, 0, 0});
    text(L"Open");
    if (words.size() % 2 != 0) // the item starts on a DWORD
        words.push_back(0);
    dword(WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL);
    dword(0);
    words.insert(words.end(), {10, 10, 180, 14, kNameBox, 0xFFFF, 0x0081, 0, 0});
    return words;
}

// The typed name goes to the text the dialog was given (lParam of its start).
INT_PTR CALLBACK openDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        SetFocus(GetDlgItem(dialog, kNameBox));
        return FALSE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            wchar_t name[512] = {};
            GetDlgItemTextW(dialog, kNameBox, name, 511);
            *reinterpret_cast<std::wstring*>(GetWindowLongPtrW(dialog, DWLP_USER)) = name;
            EndDialog(dialog, IDOK);
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

void showOpenDialog(HWND owner) {
    const std::vector<WORD> layout = openDialogTemplate();
    std::wstring name;
    const INT_PTR answer = DialogBoxIndirectParamW(
        GetModuleHandleW(nullptr), reinterpret_cast<const DLGTEMPLATE*>(layout.data()), owner,
        openDialog, reinterpret_cast<LPARAM>(&name));
    if (answer != IDOK) {
        record(L"[Open cancelled]");
        return;
    }
    const wchar_t* folder = _wgetenv(L"LUMETRA_TEST_WINDOW_FOLDER");
    const std::wstring path = std::wstring(folder != nullptr ? folder : L".") + L"\\" + name;
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    const bool opened = file != INVALID_HANDLE_VALUE;
    if (opened)
        CloseHandle(file);
    record(L"[Open " + name + (opened ? L": opened]" : L": not found]"));
}

LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CHAR: {
        const auto character = static_cast<wchar_t>(wParam);
        record(std::wstring_view(&character, 1));
        if (character == L'\x0F')
            showOpenDialog(window);
        return 0;
    }
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
