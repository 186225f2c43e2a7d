#include "common/text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

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

std::uint64_t textHash(std::string_view text) {
    std::uint64_t hash = 1469598103934665603ull;
    for (char c : text) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ull;
    }
    return hash;
}

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
    // Bounded copy: a prefix of thousands of digits converts to infinity at worst.
    const std::string number(text.substr(start, i - start));
    const double value = std::strtod(number.c_str(), nullptr);
    return std::clamp(value, -std::numeric_limits<double>::max(),
                      std::numeric_limits<double>::max());
}

float toSingle(double value) {
    if (std::isnan(value))
        return 0.0f;
    constexpr double kLargest = std::numeric_limits<float>::max();
    return static_cast<float>(std::clamp(value, -kLargest, kLargest));
}

std::string singleText(float value) {
    if (!std::isfinite(value) || value == 0.0f)
        return "0";
    // Seven significant digits and the power of ten of the first one.
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.6e", static_cast<double>(std::fabs(value)));
    const std::string_view scientific(buffer);
    const auto e = scientific.find('e');
    std::string digits = std::string(1, scientific[0]) + std::string(scientific.substr(2, e - 2));
    digits.erase(digits.find_last_not_of('0') + 1);
    const int pointAt = std::atoi(buffer + e + 1) + 1; // digits before the decimal point
    std::string text;
    if (pointAt <= 0)
        text = "." + std::string(static_cast<std::size_t>(-pointAt), '0') + digits;
    else if (static_cast<std::size_t>(pointAt) >= digits.size())
        text = digits + std::string(static_cast<std::size_t>(pointAt) - digits.size(), '0');
    else
        text = digits.substr(0, static_cast<std::size_t>(pointAt)) + "." +
               digits.substr(static_cast<std::size_t>(pointAt));
    return value < 0 ? "-" + text : text;
}

} // namespace lumetra
