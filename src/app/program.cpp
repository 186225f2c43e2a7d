#include "app/program.h"

#include "app/scanner_port.h"
#include "common/errors.h"
#include "common/status_texts.h"
#include "labels/exclusion_dialog.h"
#include "platform/files.h"
#include "scanner/settings_dialog.h"

#include <QApplication>
#include <cstdlib>
#include <filesystem>
#include <utility>

namespace lumetra {

std::string operatorLogPath(const Environment& environment, const Paths& paths) {
    if (auto path = environment("LUMETRA_LOG"))
        return *path;
    for (const std::string& folder : {paths.programFolder(), paths.windowsDirectory()}) {
        const std::string ini = paths.map(folder + "\\ORX.INI");
        std::error_code error;
        if (std::filesystem::is_regular_file(fileSystemPath(ini), error))
            return nativePathText(fileSystemPath(ini).parent_path() / "Lumetra.log");
    }
    return paths.map(paths.programFolder() + "\\Lumetra.log");
}

Program::Program(const ProgramEnvironment& setup)
    : m_unattended(setup.environment("LUMETRA_UNATTENDED").value_or("") == "1"),
      m_platform(setup.environment, setup.executableFolder), m_paths(m_platform.paths()),
      m_log(std::make_unique<OperatorLog>(operatorLogPath(setup.environment, m_paths))),
      m_ini(m_platform.profile()) {
    m_ini.onWriteFailure(
        [this](const std::string& text) { m_status->showProblem(ProblemStep::Setting, text); });
    m_ini.onWriteSuccess([this] { m_status->stepSucceeded(ProblemStep::Setting); });
    m_log->onFailure([this](const std::string& text) {
        if (!m_status)
            return;
        // Straight to the window: the status line would log it again.
        m_window->setStatusText(text);
        m_status->problems().report(ProblemStep::OperatorLog, text);
    });
    m_log->onRecovery([this] {
        if (m_status)
            m_status->stepSucceeded(ProblemStep::OperatorLog);
    });
    m_dialogs = std::make_unique<LoggedDialogs>(
        m_unattended ? static_cast<Dialogs&>(m_unattendedDialogs) : m_shownDialogs, *m_log);
    m_window = std::make_unique<MainWindow>(*this);
    m_shownDialogs.setParent(m_window.get());
    m_status = std::make_unique<StatusLine>(*m_window, *m_log, m_pump);
    m_files = std::make_unique<FileChecker>(m_platform.fileProbe(), m_paths, *m_dialogs);
    m_errors = std::make_unique<ErrorReporter>(*m_dialogs, *m_log);
    m_port = makeScannerPort(m_platform, [this](int port) {
        return m_ini.readString(kMainSection, scannerDeviceKey(port),
                                m_platform.defaultScannerDevice(port));
    });
    if (m_unattended)
        m_settingsDialog = std::make_unique<CancelledSettingsDialog>(*m_log);
    else {
        auto dialog = std::make_unique<SettingsDialog>(m_window.get());
        dialog->setDeviceLookup([this](int port) { return m_port->deviceOf(port); });
        dialog->setDeviceList([this] { return m_port->systemDevices(); });
        m_settingsDialog = std::move(dialog);
    }
    m_serial = std::make_unique<SerialLink>(*m_port, m_config, m_ini, *m_window, *m_status,
                                            *m_settingsDialog, *m_errors, *m_log);
    m_receiver =
        std::make_unique<ScanReceiver>(*m_port, *m_window, *m_status, *m_log, *this, m_busy);

    if (m_platform.hostIsSimulated()) {
        SimulatedAutomation::Options host;
        host.journalPath = setup.environment("LUMETRA_HOST_JOURNAL").value_or("");
        host.absent = setup.environment("LUMETRA_HOST_ABSENT").value_or("") == "1";
        host.dropListAtAddLine =
            std::atoi(setup.environment("LUMETRA_HOST_DROP_LIST_AT").value_or("0").c_str());
        m_simulatedHost = std::make_unique<SimulatedAutomation>(host);
        m_hostWindow = std::make_unique<HostSimulatorWindow>(*m_simulatedHost);
    } else {
        m_automation = m_platform.hostAutomation([this] { m_status->show(texts::kHostBusy); });
    }
    m_host = std::make_unique<HostLink>(m_simulatedHost ? *m_simulatedHost : *m_automation,
                                        m_config.host);
    m_workList =
        std::make_unique<WorkList>(m_labelState, *m_host, m_ini, m_config, *m_status, *m_log);
    if (m_unattended)
        m_exclusionDialog = std::make_unique<CancelledExclusionDialog>(*m_log);
    else
        m_exclusionDialog = std::make_unique<ExclusionInsertionDialog>(m_window.get());
    m_exclusion =
        std::make_unique<ExclusionInsertion>(m_config, m_ini, *m_window, *m_exclusionDialog);
    m_selector = std::make_unique<FieldSelector>(m_fieldSettings, m_selectorState,
                                                 m_labelState.data, *m_window);
    m_fieldSetup = std::make_unique<FieldSelectionSetup>(m_fieldSettings, m_triggerDisplay,
                                                         m_labelState, m_ini);
    m_fieldDialog = std::make_unique<FieldSelectionDialog>(*m_fieldSetup, m_window.get());

    m_desktop = m_platform.desktop(*m_log);
    m_editor =
        std::make_unique<EditorLauncher>(*m_desktop, *m_status, *m_dialogs, m_labelState, *m_log);
    m_programFiles =
        std::make_unique<ProgramFileReader>(m_labelState, m_config, m_paths, *m_dialogs, *m_log);
    m_export =
        std::make_unique<LabelExport>(m_labelState, m_config, m_paths, *m_files, *m_status, *m_log);
    m_hostCalls = std::make_unique<HostCalls>(*m_host, *m_status);
    m_lists =
        std::make_unique<ListFileLoader>(m_labelState, m_config, m_paths, *m_dialogs, *m_hostCalls,
                                         *m_workList, *m_status, *m_window, *m_log);
    m_road = std::make_unique<LineRoad>(m_labelState, m_config.host, m_fieldSettings,
                                        m_triggerDisplay, *m_selector, *m_workList, *m_hostCalls,
                                        *m_editor, *m_port, *m_window, *m_status, *m_log);
    m_processor = std::make_unique<LabelProcessor>(
        m_labelState, m_fieldSettings, *m_selector, *m_hostCalls, *m_lists, *m_export,
        *m_programFiles, *m_road, *m_window, *m_status, *m_log);
    m_compression = m_platform.compression(*m_log);
    m_expander = std::make_unique<PayloadExpander>(*m_compression, m_paths, *m_log);
    m_importer =
        std::make_unique<ProgramImporter>(m_labelState, m_config, m_paths, *m_hostCalls, *m_lists,
                                          *m_programFiles, *m_road, *m_window, *m_status, *m_log);
    m_application = std::make_unique<Application>(m_platform.instanceGuard(), m_paths, *m_files,
                                                  *m_dialogs, *m_errors, *m_window, *m_status,
                                                  *m_log, m_ini, m_config, *this, *this, m_busy);
}

Program::~Program() = default;

StartupResult Program::start() {
    m_log->write(LogKind::Info, "start-up in " + m_paths.programFolder());
    const StartupResult result = m_application->start();
    if (result == StartupResult::Running) {
        tidyAfterAnEarlierRun();
        m_log->write(LogKind::Info, "start-up complete");
    }
    return result;
}

void Program::tidyAfterAnEarlierRun() {
    // Temporary files of a run that was killed while it wrote, and a CSV hand-off it
    // left half done.
    // A program file's path is the program folder followed directly by its name.
    for (const std::string& file :
         {m_config.gcodePath + "PROGRAM", m_config.iniPath, m_config.csvOutPath}) {
        const std::string folder = nativePathText(fileSystemPath(m_paths.map(file)).parent_path());
        for (const std::string& name : removeStaleTemporaryFiles(folder))
            m_log->write(LogKind::Info,
                         "temporary file of an earlier run removed: " + folder + "/" + name);
    }
    m_export->recover();
}

void Program::unload() {
    if (std::exchange(m_unloaded, true))
        return;
    m_application->unload();
    if (m_hostWindow)
        m_hostWindow->hide();
    m_log->write(LogKind::Info, "shutdown: scanner port closed, host objects released");
}

void Program::optionClicked(Option option) {
    m_application->optionClicked(option);
}
void Program::entryOpened() {
    m_application->openEntry();
}

EntryOutcome Program::entryFinished(const std::string& typed) {
    return m_application->finishEntry(typed);
}

void Program::pollTick() {
    m_receiver->tick();
    if (!m_busy.busy())
        m_serial->reopenWhenPossible();
}

void Program::showSerialSettings() {
    m_serial->showSettingsDialog();
}
void Program::showFieldSelection() {
    if (m_unattended) {
        m_log->write(LogKind::Message, "Automatic Field Selection Setup [dialog; Cancel]");
        return;
    }
    m_fieldDialog->showModal();
}
void Program::showExclusionInsertion() {
    m_exclusion->showDialog();
}

void Program::requestEnd(const std::string& reason) {
    m_log->write(LogKind::Info, reason + ": shutting down");
    m_pump.requestEnd();
}

void Program::problemAcknowledged() {
    m_status->problems().acknowledge();
}

void Program::closeRequested() {
    m_application->closeRequested();
    // Other windows (the host simulator's) must not keep the program alive; main() runs
    // the unload steps once the event loop has ended.
    m_pump.requestEnd();
}

void Program::exitNow() {
    m_log->write(LogKind::Info, "exit");
    std::_Exit(0);
}

void Program::openScannerPort() {
    m_serial->openScannerPort();
}
void Program::fillFieldCodeTable() {
    lumetra::fillFieldCodeTable(m_labelState.fieldCodeTable);
}
void Program::createHostApplication() {
    m_host->createHostApplication();
}
void Program::connectHostWorkList() {
    m_host->connectWorkList();
}
void Program::setListResetPending() {
    m_labelState.listResetPending = true;
}
void Program::loadFieldSelectionDialog() {
    m_fieldDialog->loadSettings();
}
void Program::unloadFieldSelectionDialog() {
    m_fieldDialog->hide();
}
void Program::closeScannerPort() {
    m_serial->closePort();
}
void Program::releaseHostObjects() {
    m_host->release();
}

bool Program::processLabelScan(const std::string& text) {
    return m_processor->processLabelScan(text);
}

void Program::importProgramBarcode(std::string_view text) {
    m_importer->importProgramBarcode(text);
}

std::string Program::expandPayload(const std::string& text) {
    return m_expander->expandPayload(text);
}

} // namespace lumetra
