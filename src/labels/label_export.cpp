#include "labels/label_export.h"

#include "common/files.h"
#include "common/safe_name.h"
#include "common/status_texts.h"
#include "common/text.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

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

void LabelExport::writeLabelExport() {
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
    std::string text = *read;
    std::error_code error;
    if (text.empty()) {
        // An empty file carries no data: it is consumed without adding an empty block.
        std::filesystem::remove(input, error);
        m_log.write(LogKind::Info, "empty CSV file consumed: " + inputPath);
        return;
    }
    const std::string block = exportBlock(std::move(text)) + "\r\n";
    {
        std::ofstream out(m_paths.map(m_config.csvOutPath), std::ios::binary | std::ios::app);
        out.write(block.data(), static_cast<std::streamsize>(block.size()));
        out.flush();
        out.close();
        if (!out) {
            report("cannot append to " + m_config.csvOutPath + "; " + inputPath + " was kept");
            return;
        }
    }
    if (!std::filesystem::remove(input, error))
        report("appended, but cannot delete " + inputPath);
}

} // namespace lumetra
