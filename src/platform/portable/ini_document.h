// An INI file held as its lines, read as the Windows profile functions read it and
// edited in place: lines that a change does not touch keep every byte.
#pragma once

#include "platform/profile.h"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace lumetra {

class IniDocument {
public:
    explicit IniDocument(std::string_view bytes = {});

    // The value of the first matching key of the first matching section (names compared
    // trimmed and without regard to ASCII case); none when missing or a bare name. The
    // first look-up indexes the document, so each later one costs a look-up in a table
    // whatever the file's size.
    std::optional<std::string> value(std::string_view section, std::string_view key) const;

    // Each returns true when the document changed.
    bool setValue(std::string_view section, std::string_view key, std::string_view value);
    bool removeKey(std::string_view section, std::string_view key);
    bool removeSection(std::string_view section);

    std::string bytes() const;
    // The sections in order with their keys (a key without "=" too).
    std::vector<ProfileSection> outline() const;

private:
    struct Line {
        std::string content;
        std::string ending; // "\r\n", "\r", "\n" or "" for the last line
    };
    enum class Kind { Blank, Section, Key, Bare };
    struct Parsed {
        Kind kind = Kind::Blank;
        std::string name;
        std::string value;
        std::size_t valueOffset = 0; // in the line's content, just after the "="
    };

    static Parsed parse(std::string_view content);
    // Index of the header line of the first matching section (npos: none); keys before the
    // first header belong to the section without a name, whose "header" is -1.
    std::optional<std::ptrdiff_t> findSection(std::string_view name) const;
    std::size_t sectionEnd(std::ptrdiff_t header) const;
    std::optional<std::size_t> findKey(std::ptrdiff_t header, std::string_view key) const;
    void endLastLine();

    // Where the first section of each name and the first key of each name in it stand.
    struct Index {
        std::unordered_map<std::string, std::ptrdiff_t> sections;
        std::map<std::pair<std::ptrdiff_t, std::string>, std::size_t> keys;
    };
    const Index& index() const;

    std::string m_bom;
    std::vector<Line> m_lines;
    mutable std::shared_ptr<const Index> m_index; // dropped by every change
};

} // namespace lumetra
