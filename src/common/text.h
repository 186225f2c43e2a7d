// Text rules shared by every subsystem. Texts are bytes of the Windows-1252
// code page, one byte per character, exactly as the scanner and files deliver them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace lumetra {

// A stable 64-bit hash of the bytes (FNV-1a), for names keyed on a text.
std::uint64_t textHash(std::string_view text);

// Upper case in Windows-1252 (ASCII letters and the accented letters of the code page).
std::string toUpper(std::string_view text);

// Removes leading and trailing spaces (only the space character, as the host's Trim does).
std::string trim(std::string_view text);

// The value of the longest prefix that reads as a decimal number: leading spaces
// skipped, an optional sign, digits, an optional "." with digits; 0 when there is none.
// «18%» reads 18, "" and " " read 0, ".5" reads 0.5. A number beyond the double range
// is held at its end.
double leadingNumber(std::string_view text);

// A number rounded to single precision once, held at the ends of the float range.
float toSingle(double value);

// The leading number as a single-precision value.
inline float leadingSingle(std::string_view text) {
    return toSingle(leadingNumber(text));
}

// The single-precision text form: at most 7 significant digits, no trailing zeros,
// "." as decimal point, no sign for positive values and no "0" before the point
// below 1 (18, 800, 12.5, .5). Every value is written in plain decimal form
// (12345680, .00005), so that the leading-number rule reads it back whole.
std::string singleText(float value);

// True when `text` contains `needle` anywhere.
inline bool contains(std::string_view text, std::string_view needle) {
    return text.find(needle) != std::string_view::npos;
}

inline bool startsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

} // namespace lumetra
