#include "platform/portable/portable_profile.h"

#include "common/code_page.h"
#include "platform/files.h"
#include "platform/portable/ini_document.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace lumetra {

namespace {

constexpr std::size_t kIntBuffer = 30;

constexpr std::string_view kUtf16Bom = "\xFF\xFE";

// The default loses its trailing spaces, but one that is all spaces keeps one.
std::string cleanDefault(std::optional<std::string_view> value) {
    if (!value || value->empty())
        return {};
    const auto last = value->find_last_not_of(' ');
    return std::string(value->substr(0, last == std::string_view::npos ? 1 : last + 1));
}

// Copies into a buffer of `size` characters, removing enclosing quotes; the closing
// quote goes only when the buffer holds the whole quoted value.
std::string copyEntry(std::string_view value, unsigned size, bool stripQuotes) {
    bool quoted = false;
    if (stripQuotes && value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        quoted = true;
        value.remove_prefix(1);
    }
    std::string buffer(value.substr(0, size - 1));
    if (quoted && size >= value.size() && !buffer.empty())
        buffer.pop_back();
    return buffer;
}

} // namespace

std::uint32_t profileInteger(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && static_cast<unsigned char>(text[i]) <= ' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    unsigned base = 10;
    if (i + 1 < text.size() && text[i] == '0') {
        const char prefix = text[i + 1];
        base = prefix == 'x' ? 16 : prefix == 'o' ? 8 : prefix == 'b' ? 2 : 10;
        if (base != 10)
            i += 2;
    }
    std::uint32_t total = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        unsigned digit = 99;
        if (c >= '0' && c <= '9')
            digit = static_cast<unsigned>(c - '0');
        else if (c >= 'A' && c <= 'Z')
            digit = static_cast<unsigned>(c - 'A' + 10);
        else if (c >= 'a' && c <= 'z')
            digit = static_cast<unsigned>(c - 'a' + 10);
        if (digit >= base)
            break;
        total = total * base + digit;
    }
    return negative ? 0u - total : total;
}

PortableProfile::PortableProfile(std::string windowsDirectory)
    : m_windowsDirectory(std::move(windowsDirectory)) {}

ProfileOutline outlineOfFile(const std::string& nativePath) {
    std::error_code error;
    if (std::filesystem::is_directory(fileSystemPath(nativePath), error))
        return {"it is a folder, not a file", {}};
    std::FILE* file = openFile(nativePath, "rb");
    if (file == nullptr)
        return {std::strerror(errno), {}};
    std::fclose(file);
    const auto bytes = readWholeFile(nativePath);
    if (!bytes)
        return {"it cannot be read", {}};
    const bool utf16 = bytes->substr(0, 2) == kUtf16Bom;
    const IniDocument document(utf16 ? utf16leToCodePage(std::string_view(*bytes).substr(2))
                                     : *bytes);
    return {{}, document.outline()};
}

ProfileOutline PortableProfile::outline(const std::string& file) {
    // The document the reads use, when there is one: a big file is not parsed again.
    const std::string path = resolve(file);
    if (const Loaded* loaded = load(path))
        return {{}, loaded->document.outline()};
    return outlineOfFile(path);
}

std::string PortableProfile::resolve(const std::string& file) const {
    if (file.find('/') == std::string::npos && file.find('\\') == std::string::npos)
        return nativePathText(fileSystemPath(m_windowsDirectory) / fileSystemPath(file));
    return file;
}

const PortableProfile::Loaded* PortableProfile::load(const std::string& path) {
    // The stamp is taken before the read: a change while reading shows at the next call.
    const auto stamp = fileStamp(path);
    if (!stamp) {
        m_loaded.erase(path);
        return nullptr;
    }
    if (const auto known = m_loaded.find(path);
        known != m_loaded.end() && stillCurrent(known->second.stamp, known->second.readAt, *stamp))
        return &known->second;
    const auto readAt = std::chrono::system_clock::now();
    auto bytes = readWholeFile(path);
    if (!bytes) {
        m_loaded.erase(path);
        return nullptr;
    }
    const bool utf16 = bytes->substr(0, 2) == kUtf16Bom;
    Loaded loaded{*stamp, readAt,
                  IniDocument(utf16 ? utf16leToCodePage(std::string_view(*bytes).substr(2))
                                    : std::move(*bytes)),
                  utf16};
    return &(m_loaded[path] = std::move(loaded));
}

// The whole file is replaced, so a failed write leaves the old one byte for byte. Windows
// always has its directory: the stand-in is created on the first write into it.
bool PortableProfile::store(const std::string& path, const IniDocument& document, bool utf16) {
    std::error_code error;
    const auto folder = fileSystemPath(path).parent_path();
    if (folder == fileSystemPath(m_windowsDirectory))
        std::filesystem::create_directories(folder, error);
    const std::string bytes =
        utf16 ? std::string(kUtf16Bom) + codePageToUtf16le(document.bytes()) : document.bytes();
    const WriteOutcome outcome = replaceFile(path, bytes);
    m_lastWriteError = outcome.error;
    m_loaded.erase(path); // read anew at the next call
    return static_cast<bool>(outcome);
}

std::string PortableProfile::readString(const std::string& file, std::string_view section,
                                        std::string_view key,
                                        std::optional<std::string_view> defaultValue,
                                        unsigned size) {
    if (size == 0)
        return {};
    const std::string fallback = cleanDefault(defaultValue);
    const Loaded* content = load(resolve(file));
    if (content == nullptr)
        return fallback.substr(0, size - 1);
    const auto value = content->document.value(section, key);
    return copyEntry(value ? *value : fallback, size, true);
}

std::uint32_t PortableProfile::readInt(const std::string& file, std::string_view section,
                                       std::string_view key, std::int32_t defaultValue) {
    const std::string text = readString(file, section, key, "", kIntBuffer);
    if (text.empty())
        return static_cast<std::uint32_t>(defaultValue);
    return profileInteger(text);
}

bool PortableProfile::writeString(const std::string& file, std::string_view section,
                                  std::optional<std::string_view> key,
                                  std::optional<std::string_view> value) {
    const std::string path = resolve(file);
    m_lastWriteError.clear();
    const Loaded* bytes = load(path);
    if (bytes == nullptr) {
        std::error_code error;
        if (std::filesystem::exists(fileSystemPath(path), error)) {
            m_lastWriteError = path + " is not a readable file";
            return false;
        }
    }
    IniDocument document = bytes ? bytes->document : IniDocument{};
    bool changed = false;
    if (!key)
        changed = document.removeSection(section);
    else if (!value)
        changed = document.removeKey(section, *key);
    else
        changed = document.setValue(section, *key, *value);
    if (!changed && !bytes && (!key || !value))
        return store(path, IniDocument{}, false); // Windows leaves an empty file behind
    if (!changed)
        return true;
    const bool utf16 = bytes && bytes->utf16;
    return store(path, document, utf16);
}

} // namespace lumetra
