// The profile functions over plain files, with the Windows API's reading rules. A file is
// read and indexed once and kept while it stays the same (one look at its stamp per call),
// so a large ORX.INI costs one read however many keys are asked for.
#pragma once

#include "platform/files.h"
#include "platform/portable/ini_document.h"
#include "platform/profile.h"

#include <map>

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
    ProfileOutline outline(const std::string& file) override;

private:
    // A file as read: its text parsed, and whether it is stored as UTF-16LE (which a write
    // keeps).
    struct Loaded {
        FileStamp stamp;
        std::chrono::system_clock::time_point readAt;
        IniDocument document;
        bool utf16 = false;
    };

    std::string resolve(const std::string& file) const;
    // The file at `path` as it is now; none when it is missing or unreadable.
    const Loaded* load(const std::string& path);
    bool store(const std::string& path, const IniDocument& document, bool utf16);
    std::string m_windowsDirectory;
    std::string m_lastWriteError;
    std::map<std::string, Loaded, std::less<>> m_loaded;
};

// The outline of the profile file at `nativePath` (a UTF-16LE file read as the code page).
ProfileOutline outlineOfFile(const std::string& nativePath);

// The integer parse of the profile functions: leading blanks and control characters
// skipped, one sign, the prefixes 0x, 0o and 0b, digits; wraps modulo 2^32.
std::uint32_t profileInteger(std::string_view text);

} // namespace lumetra
