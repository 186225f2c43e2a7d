#include "scanner/serial_link.h"

#include "common/errors.h"

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
    m_panel.setPortCaption(portCaption(m_config.commPort, m_config.serialSettings));
    m_log.write(LogKind::Info,
                "scanner port open: " + portCaption(m_config.commPort, m_config.serialSettings));
}

void SerialLink::openScannerPort() {
    if (!m_errors.guarded([&] { openOrRaise(); }))
        showSettingsDialog();
}

void SerialLink::saveSerialSettings() {
    m_ini.write(kMainSection, "Settings", m_config.serialSettings);
    m_ini.write(kMainSection, "CommPort", std::to_string(m_config.commPort));
}

void SerialLink::showSettingsDialog() {
    const auto chosen = m_dialog.run(loadDialogValues(m_config.commPort, m_config.serialSettings));
    if (!chosen)
        return;
    m_config.serialSettings = composeSettings(*chosen);
    m_config.commPort = chosen->port;
    saveSerialSettings();
    openScannerPort();
}

void SerialLink::closePort() {
    if (m_port.isOpen())
        m_port.close();
}

} // namespace lumetra
