// The one conversion between the 8-bit code page (Windows-1252) and UTF-8.
// Widgets and logs go through these; everything else keeps code-page bytes.
#pragma once

#include <string>
#include <string_view>

namespace lumetra {

std::string codePageToUtf8(std::string_view bytes);

// Characters the code page cannot hold become "?"; malformed UTF-8 bytes likewise.
std::string utf8ToCodePage(std::string_view utf8);

} // namespace lumetra
