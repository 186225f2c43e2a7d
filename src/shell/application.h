// Start-up, option persistence, manual label entry and shutdown of the main window.
#pragma once

#include "base/busy_gate.h"
#include "base/error_reporter.h"
#include "base/status_line.h"
#include "platform/instance_guard.h"
#include "scanner/label_entry.h"
#include "shell/configuration_loader.h"
#include "shell/subsystems.h"

namespace lumetra {

enum class StartupResult { Running, EndNow };
enum class EntryOutcome { ClosedEmpty, Accepted, Refused };

class Application {
public:
    Application(InstanceGuard& guard, Paths& paths, FileChecker& files, Dialogs& dialogs,
                ErrorReporter& errors, Panel& panel, StatusLine& status, OperatorLog& log,
                IniFile& ini, Configuration& config, Subsystems& subsystems, LabelEntry& labels,
                BusyGate& busy);

    StartupResult start();

    // Option persistence: a click writes " <value>" under its key at once.
    void optionClicked(Option option);

    // Manual entry. `finishEntry` puts the typed text into the box upper-cased, hands it
    // on and returns what the window must do. While the program is busy with a scan the
    // text is refused and the entry stays open.
    void openEntry();
    EntryOutcome finishEntry(const std::string& typed);

    void closeRequested();
    void unload();

private:
    void applyStoredOption(Option option);

    InstanceGuard& m_guard;
    Paths& m_paths;
    FileChecker& m_files;
    Dialogs& m_dialogs;
    ErrorReporter& m_errors;
    Panel& m_panel;
    StatusLine& m_status;
    OperatorLog& m_log;
    IniFile& m_ini;
    Configuration& m_config;
    Subsystems& m_subsystems;
    LabelEntry& m_labels;
    BusyGate& m_busy;
};

// The INI key that keeps an option, or empty for options that are not kept.
std::string_view optionKey(Option option);

} // namespace lumetra
