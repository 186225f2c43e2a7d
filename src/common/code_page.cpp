#include "common/code_page.h"

#include <array>
#include <cstdint>

namespace lumetra {

namespace {

// 0x80..0x9F of Windows-1252; the five unassigned bytes map to the C1 controls,
// as the Windows conversion functions do.
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char32_t toUnicode(unsigned char b) {
    return codePage()[b];
}

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

} // namespace

const CodePageTable& windows1252() {
    static const CodePageTable table = [] {
        CodePageTable characters{};
        for (std::size_t b = 0; b < characters.size(); ++b)
            characters[b] =
                b >= 0x80 && b <= 0x9F ? kHighControls[b - 0x80] : static_cast<char32_t>(b);
        return characters;
    }();
    return table;
}

char32_t codePageToUnicode(char byte) {
    return toUnicode(static_cast<unsigned char>(byte));
}

namespace {

char fromUnicode(char32_t c) {
    if (c < 0x80)
        return static_cast<char>(c);
    const CodePageTable& table = codePage();
    for (std::size_t b = 0x80; b < table.size(); ++b)
        if (table[b] == c)
            return static_cast<char>(b);
    return '?';
}

} // namespace

std::string codePageToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 4);
    for (char b : bytes)
        appendUtf8(out, toUnicode(static_cast<unsigned char>(b)));
    return out;
}

std::string utf8ToCodePage(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        std::size_t length = lead < 0x80           ? 1
                             : (lead >> 5) == 0x6  ? 2
                             : (lead >> 4) == 0xE  ? 3
                             : (lead >> 3) == 0x1E ? 4
                                                   : 0;
        if (length == 0 || i + length > utf8.size()) {
            out += '?';
            ++i;
            continue;
        }
        char32_t c = length == 1 ? lead : lead & (0x7F >> length);
        bool valid = true;
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(utf8[i + k]);
            if ((next & 0xC0) != 0x80)
                valid = false;
            c = (c << 6) | (next & 0x3F);
        }
        out += valid ? fromUnicode(c) : '?';
        i += valid ? length : 1;
    }
    return out;
}

std::string utf16leToCodePage(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() / 2);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        char32_t unit = static_cast<unsigned char>(bytes[i]) |
                        (static_cast<char32_t>(static_cast<unsigned char>(bytes[i + 1])) << 8);
        if (unit >= 0xD800 && unit <= 0xDFFF) {
            if (unit <= 0xDBFF && i + 3 < bytes.size())
                i += 2; // the low half of a pair: one character the code page cannot hold
            unit = '?';
        }
        out += fromUnicode(unit);
    }
    return out;
}

std::string codePageToUtf16le(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() * 2);
    for (char b : bytes) {
        const char32_t c = toUnicode(static_cast<unsigned char>(b));
        out += static_cast<char>(c & 0xFF);
        out += static_cast<char>((c >> 8) & 0xFF);
    }
    return out;
}

} // namespace lumetra
