#include "platform/win32/win32_paths.h"

#include "platform/win32/windows_text.h"

#include <vector>
#include <windows.h>

namespace lumetra {

Win32Paths::Win32Paths(Environment environment, std::string executableFolder)
    : m_environment(std::move(environment)), m_executableFolder(std::move(executableFolder)) {}

std::string Win32Paths::windowsDirectory() const {
    char buffer[MAX_PATH + 1] = {};
    const UINT length = GetWindowsDirectoryA(buffer, sizeof buffer);
    if (length == 0 || length > MAX_PATH)
        return "C:\\WINDOWS";
    return std::string(buffer, length);
}

std::string Win32Paths::programFolder() const {
    return m_environment("LUMETRA_PROGRAM_DIR").value_or(m_executableFolder);
}

std::string Win32Paths::map(std::string_view windowsPath) const {
    return std::string(windowsPath);
}

std::string win32ExecutableFolder() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0)
            return ".";
        if (length < buffer.size()) {
            std::wstring path(buffer.data(), length);
            const auto slash = path.find_last_of(L"\\/");
            return codePageFromWide(slash == std::wstring::npos ? L"." : path.substr(0, slash));
        }
        buffer.resize(buffer.size() * 2);
    }
}

} // namespace lumetra
