// The one conversion between the 8-bit code page (Windows-1252) and UTF-8.
// Widgets and logs go through these; everything else keeps code-page bytes.
#pragma once

#include <string>
#include <string_view>

namespace lumetra {

std::string codePageToUtf8(std::string_view bytes);

// The Unicode character of one code-page byte.
char32_t codePageToUnicode(char byte);

// Characters the code page cannot hold become "?"; malformed UTF-8 bytes likewise.
std::string utf8ToCodePage(std::string_view utf8);

// UTF-16LE (without its byte-order mark) to the code page and back; characters the
// code page cannot hold become "?".
std::string utf16leToCodePage(std::string_view bytes);
std::string codePageToUtf16le(std::string_view bytes);

} // namespace lumetra
