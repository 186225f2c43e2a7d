// The profile (INI file) functions of the operating system, one key per call.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumetra {

// What a profile file holds, as the profile functions read it: its sections in order, each
// with the names of its keys. Only the first section of a name is ever read.
struct ProfileSection {
    std::string name;
    std::size_t line = 0; // 1-based line of its header; 0 for keys before any header
    std::vector<std::string> keys;
};
struct ProfileOutline {
    std::string failure; // why the file cannot be read; empty when it was read
    std::vector<ProfileSection> sections;
};

class Profile {
public:
    virtual ~Profile() = default;

    // GetPrivateProfileStringA: what a buffer of `size` characters receives (without its
    // terminating NUL). A missing key, section or file gives the default; no default is "".
    virtual std::string readString(const std::string& file, std::string_view section,
                                   std::string_view key,
                                   std::optional<std::string_view> defaultValue, unsigned size) = 0;

    // GetPrivateProfileIntA: the value's leading digits, wrapped to 32 bits; the default
    // when the value is missing or empty.
    virtual std::uint32_t readInt(const std::string& file, std::string_view section,
                                  std::string_view key, std::int32_t defaultValue) = 0;

    // WritePrivateProfileStringA: writes `value` exactly as given. No value removes the
    // key; no key removes the whole section. False when the file could not be written.
    virtual bool writeString(const std::string& file, std::string_view section,
                             std::optional<std::string_view> key,
                             std::optional<std::string_view> value) = 0;

    // Why the last write that returned false failed.
    virtual std::string lastWriteError() const = 0;

    // The sections and keys of `file`, or why it cannot be read.
    virtual ProfileOutline outline(const std::string& file) = 0;
};

} // namespace lumetra
