// Windows only: code-page text to and from UTF-16, and what an error number means.
#pragma once

#include <string>
#include <string_view>

namespace lumetra {

// Through the active code page (CP_ACP), as the "A" functions of the system read text.
std::wstring wideFromCodePage(std::string_view text);
std::string codePageFromWide(std::wstring_view text);

// The system's description of GetLastError()'s `code`, as code-page text.
std::string windowsErrorText(unsigned long code);

} // namespace lumetra
