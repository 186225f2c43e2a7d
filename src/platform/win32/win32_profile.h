#pragma once

#include "platform/profile.h"

namespace lumetra {

// The profile functions of the system (the "A" forms: every text is code-page text).
class Win32Profile final : public Profile {
public:
    std::string readString(const std::string& file, std::string_view section, std::string_view key,
                           std::optional<std::string_view> defaultValue, unsigned size) override;
    std::uint32_t readInt(const std::string& file, std::string_view section, std::string_view key,
                          std::int32_t defaultValue) override;
    bool writeString(const std::string& file, std::string_view section,
                     std::optional<std::string_view> key,
                     std::optional<std::string_view> value) override;
    std::string lastWriteError() const override { return m_lastWriteError; }
    ProfileOutline outline(const std::string& file) override;

private:
    std::string m_lastWriteError;
};

} // namespace lumetra
