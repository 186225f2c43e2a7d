// The composition root: builds every object once, in start-up order, owns them and
// hands references down. It also carries the events of the main window to the core.
#pragma once

#include "app/host_simulator_window.h"
#include "app/platform_adapters.h"
#include "base/logged_dialogs.h"
#include "fields/field_selection_dialog.h"
#include "fields/field_selector.h"
#include "host/host_link.h"
#include "labels/exclusion.h"
#include "labels/label_processor.h"
#include "labels/program_importer.h"
#include "labels/work_list.h"
#include "platform/qt/qt_dialogs.h"
#include "platform/qt/qt_event_pump.h"
#include "platform/sim/simulated_automation.h"
#include "programs/payload_expander.h"
#include "scanner/scan_receiver.h"
#include "scanner/serial_link.h"
#include "shell/application.h"
#include "shell/main_window.h"

#include <memory>

namespace lumetra {

struct ProgramEnvironment {
    Environment environment = processEnvironment;
    std::string executableFolder;
};

class Program final : public MainWindowEvents, public Subsystems, public ScanHandlers {
public:
    explicit Program(const ProgramEnvironment& setup);
    ~Program() override;

    StartupResult start();
    // Ends the event loop and any pause; long work stops between its steps.
    void requestEnd(const std::string& reason);
    // The shutdown steps (port closed, host objects released), once.
    void unload();
    bool endRequested() const { return m_pump.endRequested(); }
    MainWindow& window() { return *m_window; }
    OperatorLog& log() { return *m_log; }
    // Why start-up ended the program.
    std::string endReason() const { return m_dialogs->lastMessage(); }

    // MainWindowEvents
    void optionClicked(Option option) override;
    void entryOpened() override;
    EntryOutcome entryFinished(const std::string& typed) override;
    void pollTick() override;
    void showSerialSettings() override;
    void showFieldSelection() override;
    void showExclusionInsertion() override;
    void closeRequested() override;
    void problemAcknowledged() override;
    void exitNow() override;

    // Subsystems
    void openScannerPort() override;
    void fillFieldCodeTable() override;
    void createHostApplication() override;
    void connectHostWorkList() override;
    void setListResetPending() override;
    void loadFieldSelectionDialog() override;
    void unloadFieldSelectionDialog() override;
    void closeScannerPort() override;
    void releaseHostObjects() override;

    // ScanHandlers
    bool processLabelScan(const std::string& text) override;
    void importProgramBarcode(std::string_view text) override;
    std::string expandPayload(const std::string& text) override;

private:
    void tidyAfterAnEarlierRun();

    bool m_unattended = false;
    bool m_unloaded = false;
    BusyGate m_busy;
    PlatformAdapters m_platform;
    Paths& m_paths;
    std::unique_ptr<OperatorLog> m_log;
    QtEventPump m_pump;
    QtDialogs m_shownDialogs;
    UnattendedDialogs m_unattendedDialogs;
    std::unique_ptr<LoggedDialogs> m_dialogs;
    std::unique_ptr<MainWindow> m_window;
    std::unique_ptr<StatusLine> m_status;
    IniFile m_ini;
    Configuration m_config;
    std::unique_ptr<FileChecker> m_files;
    std::unique_ptr<ErrorReporter> m_errors;
    std::unique_ptr<SerialPort> m_port;
    std::unique_ptr<SerialSettingsDialog> m_settingsDialog;
    std::unique_ptr<SerialLink> m_serial;
    std::unique_ptr<ScanReceiver> m_receiver;
    LabelState m_labelState;
    // The host simulator and its window, or the host application's own automation.
    std::unique_ptr<SimulatedAutomation> m_simulatedHost;
    std::unique_ptr<HostSimulatorWindow> m_hostWindow;
    std::unique_ptr<Automation> m_automation;
    std::unique_ptr<HostLink> m_host;
    std::unique_ptr<WorkList> m_workList;
    std::unique_ptr<ExclusionDialog> m_exclusionDialog;
    std::unique_ptr<ExclusionInsertion> m_exclusion;
    FieldSelectionSettings m_fieldSettings;
    TriggerDisplay m_triggerDisplay;
    FieldSelectorState m_selectorState;
    std::unique_ptr<FieldSelector> m_selector;
    std::unique_ptr<FieldSelectionSetup> m_fieldSetup;
    std::unique_ptr<FieldSelectionDialog> m_fieldDialog;
    std::unique_ptr<Desktop> m_desktop;
    std::unique_ptr<EditorLauncher> m_editor;
    std::unique_ptr<ProgramFileReader> m_programFiles;
    std::unique_ptr<LabelExport> m_export;
    std::unique_ptr<HostCalls> m_hostCalls;
    std::unique_ptr<ListFileLoader> m_lists;
    std::unique_ptr<LineRoad> m_road;
    std::unique_ptr<LabelProcessor> m_processor;
    std::unique_ptr<CompressionLibrary> m_compression;
    std::unique_ptr<PayloadExpander> m_expander;
    std::unique_ptr<ProgramImporter> m_importer;
    std::unique_ptr<Application> m_application;
};

// Where the operator log goes: $LUMETRA_LOG, else Lumetra.log beside the INI file that
// start-up will find (the program folder's, else the Windows directory's), else in the
// program folder.
std::string operatorLogPath(const Environment& environment, const Paths& paths);

} // namespace lumetra
