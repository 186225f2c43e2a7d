#include "platform/win32/win32_profile.h"

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

} // namespace

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
