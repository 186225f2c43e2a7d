// The per-program CSV hand-off: when a program's label is scanned, its file in the CSV
// input folder is appended to the collecting file and then deleted.
#pragma once

#include "labels/label_data.h"
#include "platform/paths.h"
#include "shell/configuration.h"
#include "shell/file_checker.h"
#include "shell/status_line.h"

namespace lumetra {

// Beside the collecting file while a block is handed over.
inline constexpr std::string_view kHandOffJournalSuffix = ".lumetra-journal";

// The program name without a final ".CNC" (compared in upper case).
std::string exportBaseName(std::string_view programName);

// The text as it is appended: one final LF removed, then one final CR.
std::string exportBlock(std::string text);

class LabelExport {
public:
    LabelExport(const LabelState& state, const Configuration& config, const Paths& paths,
                FileChecker& files, StatusLine& status, OperatorLog& log);

    // Moves <CSVInPath>\<base name>.CSV into CSVOutPath. The input file is deleted only
    // after its text reached the collecting file; a failure leaves it and the collecting
    // file as they were and is reported. Each block arrives exactly once, even when the
    // program is killed at any point of the hand-off.
    void writeLabelExport();

    // Settles a hand-off that a kill interrupted: a block that reached the collecting
    // file whole has its per-program file removed; a part of one is cut off again.
    void recover();

private:
    std::string journalPath() const;
    void report(const std::string& text);

    const LabelState& m_state;
    const Configuration& m_config;
    const Paths& m_paths;
    FileChecker& m_files;
    StatusLine& m_status;
    OperatorLog& m_log;
};

} // namespace lumetra
