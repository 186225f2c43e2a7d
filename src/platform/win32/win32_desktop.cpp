#include "platform/win32/win32_desktop.h"

#include "platform/files.h"
#include "platform/win32/windows_text.h"

#include <vector>
#include <windows.h>

namespace lumetra {

namespace {

HWND handleOf(WindowId window) {
    return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(window));
}

struct WindowSearch {
    DWORD processId = 0;
    HWND found = nullptr;
};

// A visible top-level window of the process that no other window owns.
BOOL CALLBACK matchWindow(HWND window, LPARAM parameter) {
    auto& search = *reinterpret_cast<WindowSearch*>(parameter);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId != search.processId || !IsWindowVisible(window) ||
        GetWindow(window, GW_OWNER) != nullptr)
        return TRUE;
    search.found = window;
    return FALSE;
}

// The window's process, or that of a window owning it (a dialog's main window).
bool belongsTo(HWND window, TaskId task) {
    constexpr int kOwnersFollowed = 8;
    for (int step = 0; window != nullptr && step < kOwnersFollowed; ++step) {
        DWORD processId = 0;
        GetWindowThreadProcessId(window, &processId);
        if (static_cast<TaskId>(processId) == task)
            return true;
        window = GetWindow(window, GW_OWNER);
    }
    return false;
}

// The mandatory integrity level of a process (the last part of its label's SID).
std::optional<DWORD> integrityLevel(HANDLE process) {
    HANDLE token = nullptr;
    if (!OpenProcessToken(process, TOKEN_QUERY, &token))
        return std::nullopt;
    DWORD size = 0;
    GetTokenInformation(token, TokenIntegrityLevel, nullptr, 0, &size);
    std::vector<unsigned char> buffer(size);
    std::optional<DWORD> level;
    if (size != 0 && GetTokenInformation(token, TokenIntegrityLevel, buffer.data(), size, &size)) {
        const auto* label = reinterpret_cast<const TOKEN_MANDATORY_LABEL*>(buffer.data());
        const UCHAR count = *GetSidSubAuthorityCount(label->Label.Sid);
        if (count > 0)
            level = *GetSidSubAuthority(label->Label.Sid, count - 1u);
    }
    CloseHandle(token);
    return level;
}

INPUT key(WORD virtualKey, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return input;
}

INPUT character(wchar_t c, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wScan = c;
    input.ki.dwFlags = KEYEVENTF_UNICODE | (up ? KEYEVENTF_KEYUP : 0);
    return input;
}

// "\x0F" is Ctrl+O, "\r" Enter; other code-page text is typed as its characters.
std::vector<INPUT> inputsFor(std::string_view keys) {
    std::vector<INPUT> inputs;
    std::string text;
    const auto flush = [&] {
        for (const wchar_t c : wideFromCodePage(text)) {
            inputs.push_back(character(c, false));
            inputs.push_back(character(c, true));
        }
        text.clear();
    };
    for (const char c : keys) {
        if (c == '\x0F') {
            flush();
            inputs.insert(inputs.end(), {key(VK_CONTROL, false), key('O', false), key('O', true),
                                         key(VK_CONTROL, true)});
        } else if (c == '\r') {
            flush();
            inputs.insert(inputs.end(), {key(VK_RETURN, false), key(VK_RETURN, true)});
        } else {
            text += c;
        }
    }
    flush();
    return inputs;
}

} // namespace

Win32Desktop::Win32Desktop(PlatformLog& log) : m_log(log) {}

Win32Desktop::~Win32Desktop() {
    for (const auto& [task, process] : m_processes)
        CloseHandle(process);
}

std::optional<TaskId> Win32Desktop::start(std::string_view path) {
    const std::string native(path);
    std::wstring commandLine = L"\"" + fileSystemPath(native).wstring() + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        m_log.error("cannot start " + native + ": " + windowsErrorText(GetLastError()));
        return std::nullopt;
    }
    CloseHandle(process.hThread);
    // Tasks that have ended are let go; an editor restarted all day keeps no handles.
    std::erase_if(m_processes, [](const auto& entry) {
        if (WaitForSingleObject(entry.second, 0) != WAIT_OBJECT_0)
            return false;
        CloseHandle(entry.second);
        return true;
    });
    const TaskId task = process.dwProcessId;
    m_processes[task] = process.hProcess;
    m_log.info("started " + native + " as task " + std::to_string(task));
    return task;
}

std::optional<bool> Win32Desktop::isRunning(TaskId task) {
    if (task <= 0)
        return false;
    HANDLE process = nullptr;
    bool owned = false;
    if (const auto known = m_processes.find(task); known != m_processes.end()) {
        process = known->second;
    } else {
        process = OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(task));
        if (process == nullptr)
            return GetLastError() == ERROR_INVALID_PARAMETER ? std::optional<bool>(false)
                                                             : std::nullopt;
        owned = true;
    }
    const DWORD state = WaitForSingleObject(process, 0);
    if (owned)
        CloseHandle(process);
    if (state == WAIT_FAILED)
        return std::nullopt;
    return state == WAIT_TIMEOUT;
}

std::optional<WindowId> Win32Desktop::windowOf(TaskId task) {
    if (task <= 0)
        return std::nullopt;
    WindowSearch search{static_cast<DWORD>(task), nullptr};
    EnumWindows(matchWindow, reinterpret_cast<LPARAM>(&search));
    if (search.found == nullptr)
        return std::nullopt;
    return static_cast<WindowId>(reinterpret_cast<std::uintptr_t>(search.found));
}

bool Win32Desktop::makeActive(WindowId window) {
    const HWND handle = handleOf(window);
    if (window == 0 || !IsWindow(handle))
        return false;
    if (GetForegroundWindow() == handle)
        return true;
    if (IsIconic(handle))
        ShowWindow(handle, SW_RESTORE);
    // The system lets the thread of the foreground window hand the foreground on.
    const DWORD foregroundThread = GetWindowThreadProcessId(GetForegroundWindow(), nullptr);
    const DWORD ownThread = GetCurrentThreadId();
    const bool attached = foregroundThread != 0 && foregroundThread != ownThread &&
                          AttachThreadInput(ownThread, foregroundThread, TRUE);
    SetForegroundWindow(handle);
    BringWindowToTop(handle);
    if (attached)
        AttachThreadInput(ownThread, foregroundThread, FALSE);
    return GetForegroundWindow() == handle;
}

bool Win32Desktop::activate(TaskId task) {
    // The task's own dialog in front stays in front: its main window would cover it.
    if (belongsTo(GetForegroundWindow(), task))
        return true;
    const auto window = windowOf(task);
    return window && makeActive(*window);
}

bool Win32Desktop::runsWithHigherRights(TaskId task) {
    const HANDLE process =
        OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(task));
    if (process == nullptr)
        return false;
    const auto theirs = integrityLevel(process);
    CloseHandle(process);
    const auto ours = integrityLevel(GetCurrentProcess());
    return theirs && ours && *theirs > *ours;
}

bool Win32Desktop::makeTopmost(WindowId window) {
    if (window == 0 || !IsWindow(handleOf(window)))
        return false;
    return SetWindowPos(handleOf(window), HWND_TOPMOST, 0, 0, 0, 0,
                        SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE) != 0;
}

KeysOutcome Win32Desktop::sendKeys(TaskId task, std::string_view keys) {
    const HWND foreground = GetForegroundWindow();
    if (foreground == nullptr) {
        m_log.info("keystrokes wait: no window is in the foreground");
        return KeysOutcome::NothingActive;
    }
    if (!belongsTo(foreground, task)) {
        m_log.error("keystrokes not sent: the foreground window belongs to another program");
        return KeysOutcome::OtherProgram;
    }
    if (runsWithHigherRights(task)) {
        m_log.error("keystrokes not sent: the editor runs with higher rights than this program");
        return KeysOutcome::Elevated;
    }
    // Modifier keys the operator holds would combine with the keys sent: they are let go.
    std::vector<INPUT> inputs;
    for (const WORD modifier :
         {VK_LSHIFT, VK_RSHIFT, VK_LCONTROL, VK_RCONTROL, VK_LMENU, VK_RMENU, VK_LWIN, VK_RWIN})
        if ((GetAsyncKeyState(modifier) & 0x8000) != 0)
            inputs.push_back(key(modifier, true));
    const std::vector<INPUT> typed = inputsFor(keys);
    inputs.insert(inputs.end(), typed.begin(), typed.end());
    const UINT sent = SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    if (sent != inputs.size()) {
        m_log.error("keystrokes cut short: " + std::to_string(sent) + " of " +
                    std::to_string(inputs.size()) + " sent (" + windowsErrorText(GetLastError()) +
                    ")");
        return KeysOutcome::Failed;
    }
    return KeysOutcome::Sent;
}

} // namespace lumetra
