#include "base/operator_log.h"

#include "common/code_page.h"
#include "common/log_text.h"
#include "platform/files.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <utility>

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

OperatorLog::OperatorLog(std::string path) : m_path(std::move(path)) {}

OperatorLog::~OperatorLog() {
    if (m_file != nullptr)
        std::fclose(m_file);
}

void OperatorLog::failed(const std::string& why) {
    if (m_file != nullptr)
        std::fclose(m_file);
    m_file = nullptr;
    if (std::exchange(m_failing, true))
        return;
    const std::string text = "Operator log not written: " + m_path + " (" + why + ")";
    std::fprintf(stderr, "lumetra: %s\n", text.c_str());
    if (m_report)
        m_report(text);
}

// Why the log's name cannot be opened: something planted there, or the system's reason.
std::string OperatorLog::openFailure(int error) const {
    std::error_code ignored;
    const auto status = std::filesystem::symlink_status(fileSystemPath(m_path), ignored);
    if (std::filesystem::is_symlink(status))
        return "a link stands at its name; it is not followed";
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status))
        return "not a regular file";
    return std::strerror(error);
}

// The file open, and still the file at the path: one whose folder was removed is
// opened anew, and that failing is told. A file with another name (a hard link planted
// in the log's folder) would carry the log into someone else's file: it is not written.
bool OperatorLog::ready() {
    if (m_file != nullptr) {
        if (nameCount(m_file).value_or(1) == 1)
            return true;
        std::fclose(m_file);
        m_file = nullptr;
    }
    m_file = openFile(m_path, "ab");
    if (m_file == nullptr) {
        failed(openFailure(errno));
        return false;
    }
    std::error_code error;
    m_size = std::filesystem::file_size(fileSystemPath(m_path), error);
    if (error)
        m_size = 0;
    if (nameCount(m_file).value_or(1) > 1) {
        failed("the file has another name (a hard link); it is not written");
        return false;
    }
    return true;
}

// The full file is closed and moved aside before the line is written to a new one: a line
// is in exactly one file, whatever happens at the switch. The kept logs make room only once
// the current file has moved, so a file that cannot move (a viewer holds it) costs no
// history: the log grows where it is, and says so once. What a kill in the middle left
// under the moving name is put in its place first.
std::string OperatorLog::rotateIfFull(std::size_t coming) {
    if (m_rotation.sizeLimit == 0 || m_size == 0 || m_size + coming <= m_rotation.sizeLimit)
        return {};
    std::fclose(m_file);
    m_file = nullptr;
    const auto numbered = [&](int n) { return fileSystemPath(m_path + "." + std::to_string(n)); };
    const std::filesystem::path moving = fileSystemPath(m_path + ".rotating");
    const int kept = std::clamp(m_rotation.filesKept, 1, kLargestLogFilesKept);
    const auto place = [&] {
        std::error_code ignored;
        std::filesystem::remove(numbered(kept), ignored);
        for (int n = kept - 1; n >= 1; --n)
            std::filesystem::rename(numbered(n), numbered(n + 1), ignored);
        std::filesystem::rename(moving, numbered(1), ignored);
    };
    std::error_code error;
    if (std::filesystem::is_regular_file(std::filesystem::symlink_status(moving, error)))
        place();
    std::filesystem::rename(fileSystemPath(m_path), moving, error);
    if (error) {
        if (m_rotationStuck)
            return {};
        m_rotationStuck = true;
        return "the log cannot be rotated (" + error.message() + "): it grows in place";
    }
    m_rotationStuck = false;
    place();
    return {};
}

void OperatorLog::writeAndTell(LogKind kind, std::string_view text) {
    write(kind, text);
    std::string shown = codePageToUtf8(text);
    std::replace_if(
        shown.begin(), shown.end(), [](char c) { return c >= 0 && c < ' '; }, '?');
    std::fprintf(stderr, "lumetra: %s\n", shown.c_str());
}

void OperatorLog::write(LogKind kind, std::string_view text) {
    if (m_path.empty() || !ready())
        return;
    std::string line = logTimestamp() + "\t" + kindName(kind) + "\t";
    if (text.size() > kLongestLoggedText)
        line += escapedLogText(text.substr(0, kLongestLoggedText)) + "... (" +
                std::to_string(text.size()) + " bytes)";
    else
        line += escapedLogText(text);
    line += "\n";
    const std::string note = rotateIfFull(line.size());
    if (m_file == nullptr && !ready())
        return;
    if (!note.empty())
        line = logTimestamp() + "\t" + kindName(LogKind::Error) + "\t" + escapedLogText(note) +
               "\n" + line;
    if (std::fwrite(line.data(), 1, line.size(), m_file) != line.size() ||
        std::fflush(m_file) != 0) {
        failed(std::strerror(errno));
        return;
    }
    m_size += line.size();
    if (m_failing) {
        m_failing = false;
        std::fprintf(stderr, "lumetra: the operator log is written again: %s\n", m_path.c_str());
        if (m_recovered)
            m_recovered();
    }
}

} // namespace lumetra
