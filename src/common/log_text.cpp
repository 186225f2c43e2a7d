#include "common/log_text.h"

#include "common/code_page.h"

#include <chrono>
#include <cstdio>
#include <ctime>

namespace lumetra {

namespace {

// The bytes the code page leaves unassigned stand for C1 controls.
bool printable(unsigned char b) {
    const char32_t c = codePageToUnicode(static_cast<char>(b));
    return c >= 0x20 && c != 0x7F && !(c >= 0x80 && c <= 0x9F);
}

} // namespace

std::string escapedLogText(std::string_view codePageText) {
    std::string escaped;
    escaped.reserve(codePageText.size() + 8);
    for (const char c : codePageText) {
        const auto b = static_cast<unsigned char>(c);
        switch (c) {
        case '\\':
            escaped += "\\\\";
            break;
        case '\t':
            escaped += "\\t";
            break;
        case '\r':
            escaped += "\\r";
            break;
        case '\n':
            escaped += "\\n";
            break;
        default:
            if (printable(b)) {
                escaped += c;
            } else {
                char hex[8];
                std::snprintf(hex, sizeof hex, "\\x%02X", b);
                escaped += hex;
            }
        }
    }
    return codePageToUtf8(escaped);
}

std::string logTimestamp() {
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    const auto millis =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() %
        1000;
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &seconds);
#else
    localtime_r(&seconds, &local);
#endif
    char buffer[40];
    const std::size_t length = std::strftime(buffer, sizeof buffer, "%Y-%m-%dT%H:%M:%S", &local);
    std::snprintf(buffer + length, sizeof buffer - length, ".%03d", static_cast<int>(millis));
    return buffer;
}

} // namespace lumetra
