#include "platform/portable/ini_document.h"

namespace lumetra {

namespace {

constexpr std::string_view kBlanks = " \t\n\v\f\r\x1a";
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

bool isBlank(char c) {
    return kBlanks.find(c) != std::string_view::npos;
}

std::string_view trimBlanks(std::string_view text) {
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// A NUL ends the text it stands in.
std::string cutAtNul(std::string_view text) {
    return std::string(text.substr(0, text.find('\0')));
}

char asciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

// Names compare without regard to ASCII case only, as the profile functions compare them.
std::string foldedName(std::string_view name) {
    std::string folded(name);
    for (char& c : folded)
        c = asciiLower(c);
    return folded;
}

bool equalNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (asciiLower(a[i]) != asciiLower(b[i]))
            return false;
    return true;
}

std::string_view leadingTrimmed(std::string_view text) {
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    return text;
}

} // namespace

IniDocument::IniDocument(std::string_view bytes) {
    if (bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom) {
        m_bom = kUtf8Bom;
        bytes.remove_prefix(kUtf8Bom.size());
    }
    std::size_t start = 0;
    while (start < bytes.size()) {
        const auto end = bytes.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            m_lines.push_back({std::string(bytes.substr(start)), {}});
            break;
        }
        const std::size_t endingLength =
            (bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n') ? 2 : 1;
        m_lines.push_back({std::string(bytes.substr(start, end - start)),
                           std::string(bytes.substr(end, endingLength))});
        start = end + endingLength;
    }
}

IniDocument::Parsed IniDocument::parse(std::string_view content) {
    Parsed parsed;
    const std::string_view text = trimBlanks(content);
    if (text.empty())
        return parsed;
    const auto lastBracket = text.rfind(']');
    if (text.front() == '[' && lastBracket != std::string_view::npos) {
        parsed.kind = Kind::Section;
        parsed.name = cutAtNul(trimBlanks(text.substr(1, lastBracket - 1)));
        return parsed;
    }
    const auto equals = text.find('=');
    if (equals == std::string_view::npos) {
        parsed.kind = Kind::Bare;
        parsed.name = cutAtNul(text);
        return parsed;
    }
    parsed.kind = Kind::Key;
    parsed.name = cutAtNul(trimBlanks(text.substr(0, equals)));
    parsed.value = cutAtNul(leadingTrimmed(text.substr(equals + 1)));
    parsed.valueOffset = static_cast<std::size_t>(text.data() - content.data()) + equals + 1;
    return parsed;
}

std::optional<std::ptrdiff_t> IniDocument::findSection(std::string_view name) const {
    const std::string_view wanted = trimBlanks(name);
    if (wanted.empty()) {
        // Keys before the first header form the section without a name.
        return -1;
    }
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        const Parsed parsed = parse(m_lines[i].content);
        if (parsed.kind == Kind::Section && equalNoCase(parsed.name, wanted))
            return static_cast<std::ptrdiff_t>(i);
    }
    return std::nullopt;
}

std::size_t IniDocument::sectionEnd(std::ptrdiff_t header) const {
    for (auto i = static_cast<std::size_t>(header + 1); i < m_lines.size(); ++i)
        if (parse(m_lines[i].content).kind == Kind::Section)
            return i;
    return m_lines.size();
}

std::optional<std::size_t> IniDocument::findKey(std::ptrdiff_t header, std::string_view key) const {
    const std::string_view wanted = trimBlanks(key);
    const std::size_t end = sectionEnd(header);
    for (auto i = static_cast<std::size_t>(header + 1); i < end; ++i) {
        const Parsed parsed = parse(m_lines[i].content);
        if ((parsed.kind == Kind::Key || parsed.kind == Kind::Bare) &&
            equalNoCase(parsed.name, wanted))
            return i;
    }
    return std::nullopt;
}

std::vector<ProfileSection> IniDocument::outline() const {
    std::vector<ProfileSection> sections;
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        const Parsed parsed = parse(m_lines[i].content);
        if (parsed.kind == Kind::Section)
            sections.push_back({parsed.name, i + 1, {}});
        else if (parsed.kind == Kind::Key || parsed.kind == Kind::Bare) {
            if (sections.empty())
                sections.push_back({{}, 0, {}});
            sections.back().keys.push_back(parsed.name);
        }
    }
    return sections;
}

const IniDocument::Index& IniDocument::index() const {
    if (m_index)
        return *m_index;
    auto index = std::make_shared<Index>();
    std::ptrdiff_t header = -1;
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        const Parsed parsed = parse(m_lines[i].content);
        if (parsed.kind == Kind::Section) {
            header = static_cast<std::ptrdiff_t>(i);
            index->sections.emplace(foldedName(parsed.name), header); // the first one stays
        } else if (parsed.kind == Kind::Key || parsed.kind == Kind::Bare) {
            index->keys.emplace(std::pair(header, foldedName(parsed.name)), i);
        }
    }
    m_index = std::move(index);
    return *m_index;
}

std::optional<std::string> IniDocument::value(std::string_view section,
                                              std::string_view key) const {
    const Index& found = index();
    const std::string_view wanted = trimBlanks(section);
    std::ptrdiff_t header = -1; // keys before the first header form the nameless section
    if (!wanted.empty()) {
        const auto it = found.sections.find(foldedName(wanted));
        if (it == found.sections.end())
            return std::nullopt;
        header = it->second;
    }
    const auto line = found.keys.find(std::pair(header, foldedName(trimBlanks(key))));
    if (line == found.keys.end())
        return std::nullopt;
    Parsed parsed = parse(m_lines[line->second].content);
    if (parsed.kind != Kind::Key)
        return std::nullopt;
    return parsed.value;
}

void IniDocument::endLastLine() {
    if (!m_lines.empty() && m_lines.back().ending.empty())
        m_lines.back().ending = "\r\n";
}

bool IniDocument::setValue(std::string_view section, std::string_view key, std::string_view value) {
    m_index.reset();
    const std::string keyName(leadingTrimmed(key));
    const auto header = findSection(section);
    if (!header) {
        endLastLine();
        m_lines.push_back({"[" + std::string(leadingTrimmed(section)) + "]", "\r\n"});
        m_lines.push_back({keyName + "=" + std::string(value), "\r\n"});
        return true;
    }
    if (const auto line = findKey(*header, key)) {
        Line& target = m_lines[*line];
        const Parsed parsed = parse(target.content);
        if (parsed.kind == Kind::Bare) {
            target.content =
                target.content.substr(0, target.content.find_last_not_of(kBlanks) + 1) + "=" +
                std::string(value);
            return true;
        }
        // Writing the value that is already there, as stored or as read, leaves the file alone.
        if (target.content.compare(parsed.valueOffset, std::string::npos, value) == 0 ||
            parsed.value == value)
            return false;
        target.content = target.content.substr(0, parsed.valueOffset) + std::string(value);
        return true;
    }
    // After the last non-blank line of the section (its header at least).
    std::size_t insertAt = static_cast<std::size_t>(*header + 1);
    const std::size_t end = sectionEnd(*header);
    for (auto i = insertAt; i < end; ++i)
        if (parse(m_lines[i].content).kind != Kind::Blank)
            insertAt = i + 1;
    if (insertAt > 0 && m_lines[insertAt - 1].ending.empty())
        m_lines[insertAt - 1].ending = "\r\n";
    m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(insertAt),
                   Line{keyName + "=" + std::string(value), "\r\n"});
    return true;
}

bool IniDocument::removeKey(std::string_view section, std::string_view key) {
    m_index.reset();
    const auto header = findSection(section);
    if (!header)
        return false;
    const auto line = findKey(*header, key);
    if (!line)
        return false;
    m_lines.erase(m_lines.begin() + static_cast<std::ptrdiff_t>(*line));
    return true;
}

bool IniDocument::removeSection(std::string_view section) {
    m_index.reset();
    const auto header = findSection(section);
    if (!header || *header < 0)
        return false;
    const std::size_t end = sectionEnd(*header);
    m_lines.erase(m_lines.begin() + *header, m_lines.begin() + static_cast<std::ptrdiff_t>(end));
    return true;
}

std::string IniDocument::bytes() const {
    std::string out = m_bom;
    for (const Line& line : m_lines)
        out += line.content + line.ending;
    return out;
}

} // namespace lumetra
