// The operator log: one line per status text, message box, framed scan, error and note,
// "<local time with ms>\t<kind>\t<text>", texts in UTF-8 with \\ \t \r \n escaped.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace lumetra {

enum class LogKind { Status, Message, Scan, Error, Info };

class OperatorLog {
public:
    // An empty path keeps no log.
    explicit OperatorLog(std::string path = {});
    ~OperatorLog();
    OperatorLog(const OperatorLog&) = delete;
    OperatorLog& operator=(const OperatorLog&) = delete;

    // `text` is in the code page; it is converted and escaped here.
    void write(LogKind kind, std::string_view text);
    const std::string& path() const { return m_path; }

private:
    std::string m_path;
    std::FILE* m_file = nullptr;
};

std::string escapeLogText(std::string_view utf8);

// Local time with milliseconds, ISO-8601 ("2026-12-08T03:21:58.123").
std::string logTimestamp();

} // namespace lumetra
