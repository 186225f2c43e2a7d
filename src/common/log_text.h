// The text of one line of the operator log or the host journal: readable UTF-8 on one
// line, whatever bytes the scanner or a file delivered.
#pragma once

#include <string>
#include <string_view>

namespace lumetra {

// Code-page text with "\" as "\\", TAB, CR and LF as "\t", "\r", "\n", every other byte
// that is not printable (controls, DEL, the unassigned bytes) as "\xNN", and the rest
// converted to UTF-8.
std::string escapedLogText(std::string_view codePageText);

// Local time with milliseconds, ISO-8601 ("2026-12-08T03:21:58.123").
std::string logTimestamp();

} // namespace lumetra
