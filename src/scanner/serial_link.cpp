#include "scanner/serial_link.h"

#include "common/status_texts.h"

#include <utility>

namespace lumetra {

namespace {

// A device that is missing, busy or not allowed may change by itself; settings and port
// numbers change only by the operator, so a port refused for them is not tried again.
bool healsByItself(const UnexpectedError& error) {
    const auto* portError = dynamic_cast<const PortOpenError*>(&error);
    return portError != nullptr && portError->problem() != PortProblem::NoSuchPort &&
           portError->problem() != PortProblem::SettingsRefused;
}

std::string_view problemWords(const UnexpectedError& error) {
    const auto* portError = dynamic_cast<const PortOpenError*>(&error);
    return portError ? portProblemText(portError->problem())
                     : portProblemText(PortProblem::SettingsRefused);
}

} // namespace

SerialLink::SerialLink(SerialPort& port, Configuration& config, IniFile& ini, Panel& panel,
                       StatusLine& status, SerialSettingsDialog& dialog, ErrorReporter& errors,
                       OperatorLog& log, Clock clock)
    : m_port(port), m_config(config), m_ini(ini), m_panel(panel), m_status(status),
      m_dialog(dialog), m_errors(errors), m_log(log), m_clock(std::move(clock)) {}

void SerialLink::openOrRaise() {
    if (m_port.isOpen())
        m_port.close();
    const auto settings = parseLineSettings(m_config.serialSettings);
    if (!settings) {
        m_log.writeAndTell(LogKind::Error,
                           "Settings=" + m_config.serialSettings + " in " + m_config.iniPath +
                               " is refused by the port: " + std::string(kLineSettingsForm));
        throw UnexpectedError(error_number::kInvalidPropertyValue, "Invalid property value");
    }
    m_port.open(m_config.commPort, *settings);
    m_wanted = true;
    m_wasOpen = true;
    m_closedState.clear();
    const std::string caption = portCaption(m_config.commPort, m_config.serialSettings);
    m_panel.setPortCaption(caption, m_port.deviceOf(m_config.commPort));
    m_log.write(LogKind::Info,
                "scanner port open: " + caption + " on " + m_port.deviceOf(m_config.commPort));
    m_status.stepSucceeded(ProblemStep::Scanner);
}

void SerialLink::showClosed(std::string_view state, const std::string& reason) {
    m_closedState = state;
    m_panel.setPortCaption(m_closedState, "COM" + std::to_string(m_config.commPort) + " on " +
                                              m_port.deviceOf(m_config.commPort) + ": " + reason);
}

void SerialLink::openScannerPort() {
    m_wanted = false;
    m_wasOpen = false;
    try {
        openOrRaise();
        return;
    } catch (const UnexpectedError& error) {
        m_errors.report(error.number(), error.what());
        showClosed("no scanner: " + std::string(problemWords(error)), error.what());
        m_wanted = healsByItself(error);
        if (m_wanted)
            m_log.write(LogKind::Info, "the scanner port is opened by itself once it can be");
    }
    showSettingsDialog();
}

void SerialLink::reopenWhenPossible() {
    if (!m_wanted || m_port.isOpen())
        return;
    if (m_wasOpen && m_closedState.empty())
        showClosed("scanner lost", "the device went away");
    const auto now = m_clock();
    if (now < m_nextAttempt)
        return;
    m_nextAttempt = now + std::chrono::seconds(1);
    const bool lost = m_wasOpen;
    try {
        openOrRaise();
        m_status.show(std::string(lost ? texts::kScannerBack : texts::kScannerOpen) +
                      portCaption(m_config.commPort, m_config.serialSettings));
    } catch (const UnexpectedError& error) {
        // Still not there: tried again later, without a message each time.
        const std::string state = std::string(lost ? "scanner lost: " : "no scanner: ") +
                                  std::string(problemWords(error));
        if (state != m_closedState)
            showClosed(state, error.what());
    }
}

void SerialLink::saveSerialSettings() {
    m_ini.write(kMainSection, "Settings", m_config.serialSettings);
    m_ini.write(kMainSection, "CommPort", std::to_string(m_config.commPort));
}

void SerialLink::showSettingsDialog() {
    SerialDialogValues loaded = loadDialogValues(m_config.commPort, m_config.serialSettings);
    if (loaded.port != 0)
        loaded.device = m_port.deviceOf(loaded.port);
    const auto chosen = m_dialog.run(loaded);
    if (!chosen)
        return;
    m_config.serialSettings = composeSettings(*chosen);
    m_config.commPort = chosen->port;
    saveSerialSettings();
    if (chosen->port != 0 && !chosen->device.empty() &&
        chosen->device != m_port.deviceOf(chosen->port))
        m_ini.write(kMainSection, scannerDeviceKey(chosen->port), chosen->device);
    openScannerPort();
}

void SerialLink::closePort() {
    m_wanted = false;
    if (m_port.isOpen())
        m_port.close();
}

} // namespace lumetra
