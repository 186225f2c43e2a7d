#include "labels/label_export.h"

#include "common/safe_name.h"
#include "common/status_texts.h"
#include "common/text.h"
#include "platform/files.h"

#include <cinttypes>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace lumetra {

namespace {

constexpr std::string_view kJournalHeader = "lumetra-csv-journal 2";

// A folder as a comparable path: normalised, without a trailing separator.
std::filesystem::path folderOf(const std::string& nativePath) {
    std::filesystem::path path = fileSystemPath(nativePath).lexically_normal();
    return path.has_filename() ? path : path.parent_path();
}

// `length` bytes of the file from `offset`; none when it does not hold them.
std::optional<std::string> readAt(const std::string& nativePath, std::uintmax_t offset,
                                  std::size_t length) {
    std::ifstream in(fileSystemPath(nativePath), std::ios::binary);
    std::string bytes(length, '\0');
    in.seekg(static_cast<std::streamoff>(offset));
    in.read(bytes.data(), static_cast<std::streamsize>(length));
    if (!in)
        return std::nullopt;
    return bytes;
}

// The per-program file is still the one whose block was just appended: the same file,
// unchanged, with the same text. One the other system wrote anew meanwhile is kept.
bool stillHolds(const std::string& input, const std::optional<FileStamp>& stamp,
                const std::string& block) {
    const auto now = fileStamp(input);
    if (!stamp || !now || !(*now == *stamp))
        return false;
    const auto left = readWholeFile(input);
    return left && exportBlock(*left) + "\r\n" == block;
}

} // namespace

// What is written before a block is appended: enough to recognise the block itself
// later (its place, length and checksum), whatever the per-program file holds by then.
struct LabelExport::Journal {
    std::uintmax_t before = 0;
    std::size_t length = 0;
    std::uint64_t checksum = 0;
    std::string input;

    std::string text() const {
        char checksumText[17];
        std::snprintf(checksumText, sizeof checksumText, "%016" PRIx64, checksum);
        return std::string(kJournalHeader) + "\n" + std::to_string(before) + "\n" +
               std::to_string(length) + "\n" + checksumText + "\n" + input + "\n";
    }
    static std::optional<Journal> parse(const std::string& text) {
        std::istringstream lines(text);
        std::string header;
        std::string checksumText;
        Journal journal;
        std::getline(lines, header);
        lines >> journal.before >> journal.length >> checksumText;
        lines.ignore(1);
        std::getline(lines, journal.input);
        if (header != kJournalHeader || lines.fail() || journal.input.empty() ||
            checksumText.size() != 16 ||
            checksumText.find_first_not_of("0123456789abcdef") != std::string::npos)
            return std::nullopt;
        journal.checksum = std::stoull(checksumText, nullptr, 16);
        return journal;
    }
};

std::string exportBaseName(std::string_view programName) {
    if (hasCncSuffix(programName))
        programName.remove_suffix(kCncSuffix.size());
    return std::string(programName);
}

std::string exportBlock(std::string text) {
    if (!text.empty() && text.back() == '\n')
        text.pop_back();
    if (!text.empty() && text.back() == '\r')
        text.pop_back();
    return text;
}

LabelExport::LabelExport(const LabelState& state, const Configuration& config, const Paths& paths,
                         FileChecker& files, StatusLine& status, OperatorLog& log)
    : m_state(state), m_config(config), m_paths(paths), m_files(files), m_status(status),
      m_log(log) {}

void LabelExport::report(const std::string& text) {
    m_status.showProblem(ProblemStep::CsvExport, std::string(texts::kExportFailed) + text);
}

std::string LabelExport::journalPath() const {
    return m_paths.map(m_config.csvOutPath) + std::string(kHandOffJournalSuffix);
}

void LabelExport::setJournalAside(const std::string& why) {
    const std::string journal = journalPath();
    std::error_code error;
    std::filesystem::rename(fileSystemPath(journal), fileSystemPath(journal + ".set-aside"), error);
    m_log.write(LogKind::Error, "CSV hand-off journal " + journal + " set aside: " + why);
}

LabelExport::Settled LabelExport::settle(const Journal& journal) {
    const std::string output = m_paths.map(m_config.csvOutPath);
    std::error_code error;
    // Only the regular file itself: a link planted at its name is never followed.
    const auto size = regularFileLength(output);
    if (!size || *size <= journal.before)
        return Settled::Undone; // nothing of the block is there
    const auto left = readWholeFile(journal.input);
    const std::string block = left ? exportBlock(*left) + "\r\n" : std::string{};
    const bool blockKnown =
        left && block.size() == journal.length && textHash(block) == journal.checksum;
    const auto written = *size >= journal.before + journal.length
                             ? readAt(output, journal.before, journal.length)
                             : std::nullopt;
    if (written && textHash(*written) == journal.checksum) {
        // The per-program file goes only while it still holds the delivered block: one the
        // other system wrote anew since is delivered at the next scan.
        if (blockKnown && !std::filesystem::remove(fileSystemPath(journal.input), error))
            return Settled::Open;
        return Settled::Delivered;
    }
    // Cut back only what this program wrote: the bytes after the journal's offset must be
    // the start of the block it was appending. Anything else is the other system's.
    const std::uint64_t tail = *size - journal.before;
    if (!blockKnown || tail >= block.size() ||
        readAt(output, journal.before, static_cast<std::size_t>(tail)) != block.substr(0, tail)) {
        m_log.write(LogKind::Error, "the collecting file " + output + " is not cut back: its " +
                                        std::to_string(tail) + " bytes after offset " +
                                        std::to_string(journal.before) +
                                        " are not those of the interrupted hand-off");
        return Settled::Undone;
    }
    return cutBack(output, journal.before) ? Settled::Undone : Settled::Open;
}

void LabelExport::recover() {
    m_recoveryDue = false;
    const std::string path = journalPath();
    const auto record = readWholeFile(path);
    if (!record)
        return;
    const auto journal = Journal::parse(*record);
    if (!journal) {
        setJournalAside("it cannot be read");
        return;
    }
    // The journal lies in a folder others may write into: the file it names must be one
    // of the per-program files, or the recovery would delete whatever it names.
    const std::filesystem::path input = fileSystemPath(journal->input).lexically_normal();
    if (input.parent_path() != folderOf(m_paths.map(m_config.csvInPath)) ||
        !isSafeName(nativePathText(input.filename()))) {
        setJournalAside("it names " + journal->input + ", which is not in CSVInPath");
        return;
    }
    const Settled settled = settle(*journal);
    if (settled == Settled::Open) {
        m_recoveryDue = true;
        m_log.write(LogKind::Error, "interrupted CSV hand-off not settled yet: " + journal->input);
        return;
    }
    m_log.write(LogKind::Info, settled == Settled::Delivered
                                   ? "interrupted CSV hand-off completed: " + journal->input
                                   : "interrupted CSV hand-off undone: " + journal->input +
                                         " is appended at the next scan");
    std::error_code error;
    std::filesystem::remove(fileSystemPath(path), error);
}

void LabelExport::writeLabelExport() {
    if (m_recoveryDue)
        recover();
    const std::string base = exportBaseName(m_state.data.programName);
    if (!isSafeName(trim(base)))
        return;
    const std::string inputPath = trim(m_config.csvInPath + "\\" + base + ".CSV");
    if (!m_files.fileExists(inputPath))
        return;
    if (m_recoveryDue) {
        // Its journal must stay until it is settled: this block waits in its file.
        report("an earlier hand-off is not settled yet; " + inputPath + " was kept");
        return;
    }
    const std::string input = m_paths.map(inputPath);
    const auto stamp = fileStamp(input);
    const auto read = readWholeFile(input);
    if (!read) {
        report("cannot read " + inputPath);
        return;
    }
    std::error_code error;
    if (read->empty()) {
        // An empty file carries no data: it is consumed without adding an empty block.
        std::filesystem::remove(fileSystemPath(input), error);
        m_log.write(LogKind::Info, "empty CSV file consumed: " + inputPath);
        return;
    }
    const std::string block = exportBlock(*read) + "\r\n";
    const std::string output = m_paths.map(m_config.csvOutPath);
    // Until the hand-off is settled a journal beside the collecting file tells what was
    // appended, so a hand-off cut short by a kill or a failure is completed or undone.
    const Journal journal{regularFileLength(output).value_or(0), block.size(), textHash(block),
                          input};
    if (const WriteOutcome written = replaceFile(journalPath(), journal.text()); !written) {
        report(written.error + "; " + inputPath + " was kept");
        return;
    }
    const WriteOutcome appended = appendToFile(output, block);
    // A failure reported after the block was written (a network file system tells of a
    // deferred write error at close) leaves the block whole or not: the disk decides.
    const bool rewritten = appended && !stillHolds(input, stamp, block);
    if (rewritten)
        m_log.write(LogKind::Info, inputPath + " was written anew during the hand-off: kept, "
                                               "it is appended at the next scan");
    Settled settled = appended ? Settled::Delivered : settle(journal);
    if (appended && !rewritten && !std::filesystem::remove(fileSystemPath(input), error))
        settled = Settled::Open;
    if (settled == Settled::Open) {
        m_recoveryDue = true;
        report(appended ? "appended, but cannot delete " + inputPath
                        : appended.error + "; settled at the next scan");
        return;
    }
    if (!appended && settled == Settled::Delivered)
        m_log.write(LogKind::Error, appended.error +
                                        "; the block is in the collecting file "
                                        "whole and counts as delivered: " +
                                        inputPath + " was removed");
    else if (!appended)
        report(appended.error + "; " + inputPath + " was kept");
    else
        m_status.stepSucceeded(ProblemStep::CsvExport);
    std::filesystem::remove(fileSystemPath(journalPath()), error);
}

} // namespace lumetra
