#include "shell/program.h"

#include "common/errors.h"

#include <QApplication>
#include <filesystem>
#include <unistd.h>

namespace lumetra {

std::string operatorLogPath(const Environment& environment, const Paths& paths) {
    if (auto path = environment("LUMETRA_LOG"))
        return *path;
    for (const std::string& folder : {paths.programFolder(), paths.windowsDirectory()}) {
        const std::string ini = paths.map(folder + "\\ORX.INI");
        std::error_code error;
        if (std::filesystem::is_regular_file(ini, error))
            return (std::filesystem::path(ini).parent_path() / "Lumetra.log").string();
    }
    return paths.map(paths.programFolder() + "\\Lumetra.log");
}

Program::Program(const ProgramEnvironment& setup)
    : m_unattended(setup.environment("LUMETRA_UNATTENDED").value_or("") == "1"),
      m_paths(setup.environment, setup.executableFolder),
      m_log(std::make_unique<OperatorLog>(operatorLogPath(setup.environment, m_paths))),
      m_profile(m_paths.windowsDirectory()),
      m_guard(setup.environment("XDG_RUNTIME_DIR").value_or("/tmp"), m_paths.programFolder()),
      m_ini(m_profile) {
    m_dialogs = std::make_unique<LoggedDialogs>(
        m_unattended ? static_cast<Dialogs&>(m_unattendedDialogs) : m_shownDialogs, *m_log);
    m_window = std::make_unique<MainWindow>(*this);
    m_shownDialogs.setParent(m_window.get());
    m_status = std::make_unique<StatusLine>(*m_window, *m_log, m_pump);
    m_files = std::make_unique<FileChecker>(m_probe, m_paths, *m_dialogs);
    m_application = std::make_unique<Application>(m_guard, m_paths, *m_files, *m_dialogs, *m_window,
                                                  *m_status, *m_log, m_ini, m_config, *this, *this);
}

Program::~Program() = default;

StartupResult Program::start() {
    m_log->write(LogKind::Info, "start-up in " + m_paths.programFolder());
    return m_application->start();
}

void Program::unload() {
    m_application->unload();
}

void Program::notAvailable(std::string_view what) {
    m_log->write(LogKind::Info, std::string(what) + " is not available yet");
}

void Program::optionClicked(Option option) {
    m_application->optionClicked(option);
}
void Program::entryOpened() {
    m_application->openEntry();
}

EntryOutcome Program::entryFinished(const std::string& typed, std::string& entered) {
    return m_application->finishEntry(typed, entered);
}

void Program::pollTick() {}

void Program::showSerialSettings() {
    notAvailable("the serial settings dialog");
}
void Program::showFieldSelection() {
    notAvailable("the field selection setup dialog");
}
void Program::showExclusionInsertion() {
    notAvailable("the exclusion insertion dialog");
}

void Program::closeRequested() {
    m_application->closeRequested();
}

void Program::exitNow() {
    m_log->write(LogKind::Info, "exit");
    ::_exit(0);
}

void Program::openScannerPort() {
    notAvailable("the scanner port");
}
void Program::fillFieldCodeTable() {
    notAvailable("the field code table");
}
void Program::createHostApplication() {
    notAvailable("the host application");
}
void Program::connectHostWorkList() {
    notAvailable("the host work list");
}
void Program::setListResetPending() {
    notAvailable("the list reset");
}
void Program::loadFieldSelectionDialog() {
    notAvailable("the field selection settings");
}
void Program::unloadFieldSelectionDialog() {}
void Program::closeScannerPort() {}
void Program::releaseHostObjects() {}

bool Program::processLabelScan(const std::string& text) {
    m_log->write(LogKind::Info, "label processing is not available yet: " + text);
    return false;
}

} // namespace lumetra
