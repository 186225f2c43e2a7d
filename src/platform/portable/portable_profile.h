// The profile functions over plain files, with the Windows API's reading rules.
#pragma once

#include "platform/profile.h"

namespace lumetra {

class PortableProfile final : public Profile {
public:
    // A file name without a folder is looked for in `windowsDirectory`, as Windows does.
    explicit PortableProfile(std::string windowsDirectory);

    std::string readString(const std::string& file, std::string_view section, std::string_view key,
                           std::optional<std::string_view> defaultValue, unsigned size) override;
    std::uint32_t readInt(const std::string& file, std::string_view section, std::string_view key,
                          std::int32_t defaultValue) override;
    bool writeString(const std::string& file, std::string_view section,
                     std::optional<std::string_view> key,
                     std::optional<std::string_view> value) override;
    std::string lastWriteError() const override { return m_lastWriteError; }

private:
    std::string resolve(const std::string& file) const;
    bool store(const std::string& path, const std::string& bytes);
    std::string m_windowsDirectory;
    std::string m_lastWriteError;
};

// The integer parse of the profile functions: leading blanks and control characters
// skipped, one sign, the prefixes 0x, 0o and 0b, digits; wraps modulo 2^32.
std::uint32_t profileInteger(std::string_view text);

} // namespace lumetra
