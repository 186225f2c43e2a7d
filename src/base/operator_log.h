// The operator log: one line per status text, message box, framed scan, error and note,
// "<local time with ms>\t<kind>\t<text>", texts in UTF-8 with \\ \t \r \n and \xNN escapes.
#pragma once

#include "platform/platform_log.h"

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>

namespace lumetra {

enum class LogKind { Status, Message, Scan, Error, Info };

// A longer text is logged cut, with its length stated, so that a flood of noise costs
// the log no more than this.
inline constexpr std::size_t kLongestLoggedText = 4096;

// The log is started anew once it would grow past `sizeLimit` bytes; the full one is kept
// as "<path>.1", the one before as "<path>.2", up to `filesKept` of them.
struct LogRotation {
    std::uint64_t sizeLimit = 0; // 0: the log grows without end
    int filesKept = 0;
};
inline constexpr std::uint64_t kDefaultLogSizeKB = 2048;
inline constexpr int kDefaultLogFilesKept = 5;
// More would make each rotation rename that many files.
inline constexpr int kLargestLogFilesKept = 99;

class OperatorLog final : public PlatformLog {
public:
    // An empty path keeps no log.
    explicit OperatorLog(std::string path = {});
    ~OperatorLog() override;
    OperatorLog(const OperatorLog&) = delete;
    OperatorLog& operator=(const OperatorLog&) = delete;

    // `text` is in the code page; it is cut, escaped and converted here.
    void write(LogKind kind, std::string_view text);
    // Writes the line and tells it on standard error too: what an integrator setting the
    // workstation up must see ("lumetra: <text>").
    void writeAndTell(LogKind kind, std::string_view text);
    const std::string& path() const { return m_path; }
    void setRotation(LogRotation rotation) { m_rotation = rotation; }
    void info(std::string_view text) override { write(LogKind::Info, text); }
    void error(std::string_view text) override { write(LogKind::Error, text); }

    // Told once when the log cannot be written (again after it could be written again).
    void onFailure(std::function<void(const std::string& text)> report) {
        m_report = std::move(report);
    }
    // Told when the log is written again after a failure.
    void onRecovery(std::function<void()> report) { m_recovered = std::move(report); }

private:
    bool ready();
    // What the log must say about the rotation, if anything.
    std::string rotateIfFull(std::size_t coming);
    void failed(const std::string& why);
    std::string openFailure(int error) const;

    std::string m_path;
    std::FILE* m_file = nullptr;
    std::uint64_t m_size = 0; // of the open file
    LogRotation m_rotation;
    bool m_failing = false;
    bool m_rotationStuck = false; // the full file could not be moved aside
    std::function<void(const std::string&)> m_report;
    std::function<void()> m_recovered;
};

} // namespace lumetra
