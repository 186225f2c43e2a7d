#include "shell/operator_log.h"

#include "common/code_page.h"

#include <chrono>
#include <ctime>

namespace lumetra {

namespace {

const char* kindName(LogKind kind) {
    switch (kind) {
    case LogKind::Status:
        return "status";
    case LogKind::Message:
        return "message";
    case LogKind::Scan:
        return "scan";
    case LogKind::Error:
        return "error";
    case LogKind::Info:
        return "info";
    }
    return "info";
}

} // namespace

std::string logTimestamp() {
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    const auto millis =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() %
        1000;
    std::tm local{};
    localtime_r(&seconds, &local);
    char buffer[40];
    const std::size_t length = std::strftime(buffer, sizeof buffer, "%Y-%m-%dT%H:%M:%S", &local);
    std::snprintf(buffer + length, sizeof buffer - length, ".%03d", static_cast<int>(millis));
    return buffer;
}

std::string escapeLogText(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (char c : utf8) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\n':
            out += "\\n";
            break;
        default:
            out += c;
        }
    }
    return out;
}

OperatorLog::OperatorLog(std::string path) : m_path(std::move(path)) {
    if (!m_path.empty())
        m_file = std::fopen(m_path.c_str(), "ab");
}

OperatorLog::~OperatorLog() {
    if (m_file != nullptr)
        std::fclose(m_file);
}

void OperatorLog::write(LogKind kind, std::string_view text) {
    if (m_file == nullptr)
        return;
    const std::string line =
        logTimestamp() + "\t" + kindName(kind) + "\t" + escapeLogText(codePageToUtf8(text)) + "\n";
    std::fwrite(line.data(), 1, line.size(), m_file);
    std::fflush(m_file);
}

} // namespace lumetra
