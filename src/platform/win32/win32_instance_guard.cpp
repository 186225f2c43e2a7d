#include "platform/win32/win32_instance_guard.h"

#include "common/text.h"
#include "platform/files.h"
#include "platform/win32/windows_text.h"

#include <cwchar>
#include <windows.h>

namespace lumetra {

namespace {

// The folder's final path, as the file system knows it: its short name, "." and ".."
// components, links and case spell the same folder. The text as given when the folder
// cannot be opened.
std::string finalPath(const std::string& programFolder) {
    const HANDLE folder = CreateFileW(fileSystemPath(programFolder).c_str(), 0,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (folder == INVALID_HANDLE_VALUE)
        return programFolder;
    std::wstring path(32768, L'\0');
    const DWORD length =
        GetFinalPathNameByHandleW(folder, path.data(), 32767, FILE_NAME_NORMALIZED);
    CloseHandle(folder);
    if (length == 0 || length >= 32767)
        return programFolder;
    path.resize(length);
    return codePageFromWide(path);
}

// The folder as the system compares paths: case and a trailing separator do not count.
// Hashed, since a mutex name is short and takes no backslash past its namespace.
std::wstring nameFor(const std::string& programFolder) {
    std::string key = toUpper(finalPath(programFolder));
    while (key.size() > 1 && (key.back() == '\\' || key.back() == '/'))
        key.pop_back();
    wchar_t name[64];
    std::swprintf(name, 64, L"Local\\Lumetra-%016llx",
                  static_cast<unsigned long long>(textHash(key)));
    return name;
}

} // namespace

Win32InstanceGuard::Win32InstanceGuard(const std::string& programFolder)
    : m_name(nameFor(programFolder)) {}

Win32InstanceGuard::~Win32InstanceGuard() {
    if (m_mutex != nullptr)
        CloseHandle(m_mutex);
}

bool Win32InstanceGuard::acquire() {
    if (m_mutex != nullptr)
        return true;
    HANDLE mutex = CreateMutexW(nullptr, FALSE, m_name.c_str());
    if (mutex == nullptr)
        return true; // without the mutex no second instance can be told apart; run on
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(mutex);
        return false;
    }
    m_mutex = mutex;
    return true;
}

} // namespace lumetra
