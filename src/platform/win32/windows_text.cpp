#include "platform/win32/windows_text.h"

#include <cstdio>
#include <windows.h>

namespace lumetra {

std::wstring wideFromCodePage(std::string_view text) {
    if (text.empty())
        return {};
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), size, wide.data(), length);
    return wide;
}

std::string codePageFromWide(std::wstring_view text) {
    if (text.empty())
        return {};
    const int size = static_cast<int>(text.size());
    const int length =
        WideCharToMultiByte(CP_ACP, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), size, narrow.data(), length, nullptr, nullptr);
    return narrow;
}

std::string windowsErrorText(unsigned long code) {
    char* buffer = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<char*>(&buffer), 0, nullptr);
    const std::string raw = length > 0 ? std::string(buffer, length) : std::string();
    LocalFree(buffer);
    // The texts' inserts ("%1 is not ...") stay unfilled: they are left out.
    std::string text;
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == '%' && i + 1 < raw.size() && raw[i + 1] >= '1' && raw[i + 1] <= '9') {
            ++i;
            while (i + 1 < raw.size() && raw[i + 1] == ' ')
                ++i;
            continue;
        }
        text += raw[i];
    }
    while (!text.empty() &&
           (text.back() == '\n' || text.back() == '\r' || text.back() == ' ' || text.back() == '.'))
        text.pop_back();
    // An HRESULT reads as hex, as its documentation spells it; a system error as a number.
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%08lX", code);
    const bool hresult = (code & 0x80000000UL) != 0;
    if (text.empty())
        return hresult ? std::string("error ") + hex : "error " + std::to_string(code);
    return hresult ? text + " (" + hex + ")" : text;
}

} // namespace lumetra
