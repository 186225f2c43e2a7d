#include "common/line_reader.h"

namespace lumetra {

std::optional<std::string> LineReader::next() {
    try {
        return readLine();
    } catch (const std::exception&) {
        // A read error (a folder, a failing device) ends the text.
        m_in.setstate(std::ios::badbit);
        return std::nullopt;
    }
}

std::optional<std::string> LineReader::readLine() {
    std::string line;
    std::streambuf* buffer = m_in.rdbuf();
    if (buffer == nullptr || !m_in.good())
        return std::nullopt;
    bool any = false;
    for (;;) {
        const int c = buffer->sbumpc();
        if (c == std::char_traits<char>::eof()) {
            m_in.setstate(std::ios::eofbit);
            return any ? std::optional<std::string>(std::move(line)) : std::nullopt;
        }
        any = true;
        if (c == '\n')
            return line;
        if (c == '\r') {
            if (buffer->sgetc() == '\n')
                buffer->sbumpc();
            return line;
        }
        if (line.size() < kLineLimit)
            line += static_cast<char>(c);
    }
}

} // namespace lumetra
