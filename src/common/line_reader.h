// Reads text line by line: a line ends at CR LF, at a lone CR or at a lone LF. Lines
// longer than the limit are cut (the rest of such a line is skipped), so a file without
// line ends cannot exhaust memory.
#pragma once

#include <istream>
#include <optional>
#include <string>

namespace lumetra {

class LineReader {
public:
    static constexpr std::size_t kLineLimit = 1024 * 1024;

    explicit LineReader(std::istream& in) : m_in(in) {}

    // The next line without its end; none at the end of the text (or on a read error).
    std::optional<std::string> next();

private:
    std::optional<std::string> readLine();
    std::istream& m_in;
};

} // namespace lumetra
