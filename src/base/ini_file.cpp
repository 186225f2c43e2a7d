#include "base/ini_file.h"

#include "common/status_texts.h"

namespace lumetra {

IniFile::IniFile(Profile& profile, std::string path)
    : m_profile(profile), m_path(std::move(path)) {}

std::string IniFile::readString(std::string_view section, std::string_view key,
                                std::string_view defaultValue, unsigned size) const {
    return m_profile.readString(m_path, section, key, defaultValue, size);
}

std::uint32_t IniFile::readInt(std::string_view section, std::string_view key,
                               std::int32_t defaultValue) const {
    return m_profile.readInt(m_path, section, key, defaultValue);
}

bool IniFile::write(std::string_view section, std::string_view key, std::string_view value) const {
    const std::string name = std::string(section) + "/" + std::string(key);
    if (m_profile.writeString(m_path, section, key, value)) {
        m_failingKeys.erase(name);
        if (m_succeeded)
            m_succeeded();
        return true;
    }
    if (m_failingKeys.insert(name).second && m_report)
        m_report(std::string(texts::kSettingNotSaved) + std::string(key) + " (" +
                 m_profile.lastWriteError() + ")");
    return false;
}

std::string IniFile::readIniText(std::string_view section, std::string_view key) const {
    std::string value = readString(section, key, kIniTextMissing, 80);
    return value == kIniTextMissing ? std::string{} : value;
}

} // namespace lumetra
