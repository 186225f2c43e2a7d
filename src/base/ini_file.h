// The program's INI file: the profile functions bound to the file's path.
#pragma once

#include "platform/profile.h"

#include <cstdint>
#include <functional>
#include <set>
#include <string>

namespace lumetra {

inline constexpr std::string_view kMainSection = "VOZEZIZO";
inline constexpr unsigned kTextBuffer = 128;
// The default of readIniText's read: a value that reads as this is missing.
inline constexpr std::string_view kIniTextMissing = "END.-";

class IniFile {
public:
    explicit IniFile(Profile& profile, std::string path = {});

    void setPath(std::string path) { m_path = std::move(path); }
    // Told of a key that could not be written (once, until a write of it succeeds again).
    void onWriteFailure(std::function<void(const std::string& text)> report) {
        m_report = std::move(report);
    }
    void onWriteSuccess(std::function<void()> report) { m_succeeded = std::move(report); }
    const std::string& path() const { return m_path; }
    Profile& profile() const { return m_profile; }
    ProfileOutline outline() const { return m_profile.outline(m_path); }

    // A value as a buffer of `size` characters receives it.
    std::string readString(std::string_view section, std::string_view key,
                           std::string_view defaultValue, unsigned size = kTextBuffer) const;
    std::uint32_t readInt(std::string_view section, std::string_view key,
                          std::int32_t defaultValue) const;
    bool write(std::string_view section, std::string_view key, std::string_view value) const;
    // An 80-character read with the marker default "END.-": empty when missing or empty.
    std::string readIniText(std::string_view section, std::string_view key) const;

private:
    Profile& m_profile;
    std::string m_path;
    std::function<void(const std::string&)> m_report;
    std::function<void()> m_succeeded;
    mutable std::set<std::string, std::less<>> m_failingKeys;
};

} // namespace lumetra
