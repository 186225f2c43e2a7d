#include "labels/label_export.h"

#include "common/files.h"
#include "common/safe_name.h"
#include "common/status_texts.h"
#include "common/text.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace lumetra {

std::string exportBaseName(std::string_view programName) {
    if (programName.size() >= 4 && toUpper(programName.substr(programName.size() - 4)) == ".CNC")
        return std::string(programName.substr(0, programName.size() - 4));
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
    m_status.showError(std::string(texts::kExportFailed) + text);
}

std::string LabelExport::journalPath() const {
    return m_paths.map(m_config.csvOutPath) + std::string(kHandOffJournalSuffix);
}

void LabelExport::recover() {
    const std::string journal = journalPath();
    const auto record = readWholeFile(journal);
    if (!record)
        return;
    std::istringstream lines(*record);
    std::uintmax_t before = 0;
    std::size_t length = 0;
    std::string input;
    lines >> before >> length;
    lines.ignore(1);
    std::getline(lines, input);
    const std::string output = m_paths.map(m_config.csvOutPath);
    std::error_code error;
    const auto size = std::filesystem::file_size(fileSystemPath(output), error);
    const auto text = input.empty() ? std::nullopt : readWholeFile(input);
    if (!lines.fail() && text && !error && size > before) {
        // The block is there whole: only the delete was missing. Otherwise the part
        // that reached the file goes, and the per-program file is appended next time.
        std::ifstream written(fileSystemPath(output), std::ios::binary);
        std::string tail(length, '\0');
        written.seekg(static_cast<std::streamoff>(before));
        written.read(tail.data(), static_cast<std::streamsize>(length));
        if (written && tail == exportBlock(*text) + "\r\n") {
            std::filesystem::remove(fileSystemPath(input), error);
            m_log.write(LogKind::Info, "interrupted CSV hand-off completed: " + input + " removed");
        } else {
            std::filesystem::resize_file(fileSystemPath(output), before, error);
            m_log.write(LogKind::Info, "interrupted CSV hand-off undone: " + output +
                                           " cut back to " + std::to_string(before) + " bytes");
        }
    }
    std::filesystem::remove(fileSystemPath(journal), error);
}

void LabelExport::writeLabelExport() {
    recover();
    const std::string base = exportBaseName(m_state.data.programName);
    if (!isSafeName(trim(base)))
        return;
    const std::string inputPath = trim(m_config.csvInPath + "\\" + base + ".CSV");
    if (!m_files.fileExists(inputPath))
        return;
    const std::string input = m_paths.map(inputPath);
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
    // Until the per-program file is gone a journal beside the collecting file tells how
    // long it was, so a hand-off cut short by a kill is completed or undone (recover).
    const auto size = std::filesystem::file_size(fileSystemPath(output), error);
    const std::string record = std::to_string(error ? 0 : size) + "\n" +
                               std::to_string(block.size()) + "\n" + input + "\n";
    if (const WriteOutcome journal = replaceFile(journalPath(), record); !journal) {
        report(journal.error + "; " + inputPath + " was kept");
        return;
    }
    if (const WriteOutcome appended = appendToFile(output, block); !appended)
        report(appended.error + "; " + inputPath + " was kept");
    else if (!std::filesystem::remove(fileSystemPath(input), error))
        report("appended, but cannot delete " + inputPath);
    std::filesystem::remove(fileSystemPath(journalPath()), error);
}

} // namespace lumetra
