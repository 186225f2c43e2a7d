// The one conversion between the 8-bit code page and UTF-8. Widgets and logs go through
// these; everything else keeps code-page bytes. The code page is Windows-1252 on Linux;
// on Windows it is the system's active code page, the one the host, the file names, the
// profile functions and the keystrokes use (1250 in Central Europe, 1251 for Cyrillic).
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace lumetra {

// The Unicode character of each byte of the code page; a byte the code page leaves
// unassigned stands for the C1 control of its value, as the Windows functions map it.
using CodePageTable = std::array<char32_t, 256>;

// The code page in use (one per platform, chosen when the program is built).
const CodePageTable& codePage();

// Windows-1252.
const CodePageTable& windows1252();

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
