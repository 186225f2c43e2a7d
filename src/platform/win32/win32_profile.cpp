#include "platform/win32/win32_profile.h"

#include "platform/files.h"
#include "platform/win32/windows_text.h"

#include <vector>
#include <windows.h>

namespace lumetra {

namespace {

// The system reads NUL-terminated texts; an absent one is a null pointer.
const char* text(const std::optional<std::string>& value) {
    return value ? value->c_str() : nullptr;
}

std::optional<std::string> owned(std::optional<std::string_view> value) {
    if (!value)
        return std::nullopt;
    return std::string(*value);
}

// A list of NUL-terminated names ending in an empty one, as the profile functions give it
// for a null section or key; the buffer grows until the whole list fits.
template <typename Read> std::vector<std::string> nameList(Read read) {
    for (DWORD size = 4096;; size *= 4) {
        std::vector<char> buffer(size, '\0');
        const DWORD length = read(buffer.data(), size);
        if (length + 2 >= size && size < (1u << 24))
            continue;
        std::vector<std::string> names;
        for (std::size_t at = 0; at < length && buffer[at] != '\0';) {
            names.emplace_back(buffer.data() + at);
            at += names.back().size() + 1;
        }
        return names;
    }
}

} // namespace

ProfileOutline Win32Profile::outline(const std::string& file) {
    std::string path = file;
    if (file.find_first_of("\\/") == std::string::npos) {
        char folder[MAX_PATH] = {};
        GetWindowsDirectoryA(folder, MAX_PATH);
        path = std::string(folder) + "\\" + file;
    }
    const std::wstring wide = fileSystemPath(path).wstring();
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return {"it is a folder, not a file", {}};
    const HANDLE handle =
        CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return {windowsErrorText(GetLastError()), {}};
    CloseHandle(handle);
    ProfileOutline outline;
    for (std::string& name : nameList([&](char*buffer, DWORD size) {
             return GetPrivateProfileSectionNamesA(buffer, size, path.c_str());
         })) {
        ProfileSection section{std::move(name), 0, {}};
        section.keys = nameList([&](char* buffer, DWORD size) {
            return GetPrivateProfileStringA(section.name.c_str(), nullptr, "", buffer, size,
                                            path.c_str());
        });
        outline.sections.push_back(std::move(section));
    }
    return outline;
}

std::string Win32Profile::readString(const std::string& file, std::string_view section,
                                     std::string_view key,
                                     std::optional<std::string_view> defaultValue, unsigned size) {
    if (size == 0)
        return {};
    std::vector<char> buffer(size, '\0');
    const DWORD length = GetPrivateProfileStringA(
        std::string(section).c_str(), std::string(key).c_str(), text(owned(defaultValue)),
        buffer.data(), static_cast<DWORD>(size), file.c_str());
    return std::string(buffer.data(), std::min<std::size_t>(length, size));
}

std::uint32_t Win32Profile::readInt(const std::string& file, std::string_view section,
                                    std::string_view key, std::int32_t defaultValue) {
    return GetPrivateProfileIntA(std::string(section).c_str(), std::string(key).c_str(),
                                 defaultValue, file.c_str());
}

bool Win32Profile::writeString(const std::string& file, std::string_view section,
                               std::optional<std::string_view> key,
                               std::optional<std::string_view> value) {
    m_lastWriteError.clear();
    const auto ownKey = owned(key);
    const auto ownValue = owned(value);
    if (WritePrivateProfileStringA(std::string(section).c_str(), text(ownKey), text(ownValue),
                                   file.c_str()))
        return true;
    m_lastWriteError = file + ": " + windowsErrorText(GetLastError());
    return false;
}

} // namespace lumetra
