#include "scanner/serial_link.h"

#include "common/errors.h"
#include "common/status_texts.h"

#include <utility>

namespace lumetra {

SerialLink::SerialLink(SerialPort& port, Configuration& config, IniFile& ini, Panel& panel,
                       SerialSettingsDialog& dialog, ErrorReporter& errors, OperatorLog& log)
    : m_port(port), m_config(config), m_ini(ini), m_panel(panel), m_dialog(dialog),
      m_errors(errors), m_log(log) {}

void SerialLink::openOrRaise() {
    if (m_port.isOpen())
        m_port.close();
    const auto settings = parseLineSettings(m_config.serialSettings);
    if (!settings)
        throw UnexpectedError(error_number::kInvalidPropertyValue, "Invalid property value");
    m_port.open(m_config.commPort, *settings);
    m_wanted = true;
    m_lostShown = false;
    m_panel.setPortCaption(portCaption(m_config.commPort, m_config.serialSettings));
    m_log.write(LogKind::Info,
                "scanner port open: " + portCaption(m_config.commPort, m_config.serialSettings) +
                    " on " + m_port.deviceOf(m_config.commPort));
}

void SerialLink::showNotConnected(const std::string& state) {
    m_panel.setPortCaption("COM" + std::to_string(m_config.commPort) + ": " + state + " (" +
                           m_port.deviceOf(m_config.commPort) + ")");
}

void SerialLink::openScannerPort() {
    m_wanted = false;
    if (m_errors.guarded([&] { openOrRaise(); }))
        return;
    showNotConnected("no scanner");
    showSettingsDialog();
}

void SerialLink::reconnectIfLost() {
    if (!m_wanted || m_port.isOpen())
        return;
    if (!std::exchange(m_lostShown, true))
        showNotConnected("scanner lost");
    const auto now = std::chrono::steady_clock::now();
    if (now < m_nextAttempt)
        return;
    m_nextAttempt = now + std::chrono::seconds(1);
    try {
        openOrRaise();
        m_log.write(LogKind::Info, "scanner port open again");
        m_panel.setStatusText(std::string(texts::kScannerBack) +
                              portCaption(m_config.commPort, m_config.serialSettings));
    } catch (const UnexpectedError&) {
        m_wanted = true; // still lost: tried again later, without a message each time
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
        m_ini.write(kMainSection, "Com" + std::to_string(chosen->port) + "Device", chosen->device);
    openScannerPort();
}

void SerialLink::closePort() {
    m_wanted = false;
    if (m_port.isOpen())
        m_port.close();
}

} // namespace lumetra
