#include "common/text.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace lumetra {

namespace {

char upperByte(char c) {
    const auto b = static_cast<unsigned char>(c);
    if (b >= 'a' && b <= 'z')
        return static_cast<char>(b - 0x20);
    if (b >= 0xE0 && b <= 0xFE && b != 0xF7)
        return static_cast<char>(b - 0x20);
    switch (b) {
    case 0x9A:
        return static_cast<char>(0x8A); // š
    case 0x9C:
        return static_cast<char>(0x8C); // œ
    case 0x9E:
        return static_cast<char>(0x8E); // ž
    case 0xFF:
        return static_cast<char>(0x9F); // ÿ
    default:
        return c;
    }
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

std::string toUpper(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        c = upperByte(c);
    return out;
}

std::string trim(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(' ');
    return std::string(text.substr(first, last - first + 1));
}

double leadingNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    const std::size_t start = i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    std::size_t digits = 0;
    while (i < text.size() && isDigit(text[i])) {
        ++i;
        ++digits;
    }
    if (i < text.size() && text[i] == '.') {
        std::size_t fraction = 0;
        std::size_t j = i + 1;
        while (j < text.size() && isDigit(text[j])) {
            ++j;
            ++fraction;
        }
        if (fraction > 0) {
            i = j;
            digits += fraction;
        }
    }
    if (digits == 0)
        return 0.0;
    // Bounded copy: a prefix of thousands of digits still converts (to infinity at worst).
    const std::string number(text.substr(start, i - start));
    const double value = std::strtod(number.c_str(), nullptr);
    return std::isfinite(value) ? value : 0.0;
}

std::string singleText(float value) {
    if (!std::isfinite(value))
        return "0";
    if (value == 0.0f)
        return "0";
    char buffer[48];
    const float magnitude = std::fabs(value);
    if (magnitude >= 1e7f || magnitude < 1e-5f) {
        std::snprintf(buffer, sizeof buffer, "%.6E", static_cast<double>(value));
        std::string text(buffer);
        const auto e = text.find('E');
        std::string mantissa = text.substr(0, e);
        std::string exponent = text.substr(e + 1); // sign and at least two digits
        if (mantissa.find('.') != std::string::npos) {
            mantissa.erase(mantissa.find_last_not_of('0') + 1);
            if (mantissa.back() == '.')
                mantissa.pop_back();
        }
        const char sign = exponent[0];
        std::string digits = exponent.substr(1);
        while (digits.size() > 2 && digits[0] == '0')
            digits.erase(0, 1);
        return mantissa + "E" + sign + digits;
    }
    std::snprintf(buffer, sizeof buffer, "%.7G", static_cast<double>(value));
    std::string text(buffer);
    if (text.find('.') != std::string::npos) {
        text.erase(text.find_last_not_of('0') + 1);
        if (text.back() == '.')
            text.pop_back();
    }
    if (startsWith(text, "0."))
        text.erase(0, 1);
    else if (startsWith(text, "-0."))
        text.erase(1, 1);
    return text;
}

} // namespace lumetra
