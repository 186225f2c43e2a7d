// The per-program CSV hand-off: when a program's label is scanned, its file in the CSV
// input folder is appended to the collecting file and then deleted.
#pragma once

#include "base/configuration.h"
#include "base/file_checker.h"
#include "base/label_data.h"
#include "base/status_line.h"
#include "platform/paths.h"

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
    // program is killed at any point of the hand-off or the file system reports a failure
    // after the block was written: what is on disk decides.
    void writeLabelExport();

    // Settles a hand-off that did not finish (a kill, a failure): a block that reached the
    // collecting file whole counts as delivered, and its per-program file is removed if it
    // still holds that block; a part of one is cut off again. Runs at start-up and before
    // the next hand-off after one that did not finish.
    void recover();

private:
    struct Journal;
    enum class Settled { Delivered, Undone, Open };

    std::string journalPath() const;
    void report(const std::string& text);
    // Decides by the collecting file whether the journalled block arrived whole.
    Settled settle(const Journal& journal);
    void setJournalAside(const std::string& why);

    const LabelState& m_state;
    const Configuration& m_config;
    const Paths& m_paths;
    FileChecker& m_files;
    StatusLine& m_status;
    OperatorLog& m_log;
    bool m_recoveryDue = true; // a hand-off may have been left unfinished
};

} // namespace lumetra
