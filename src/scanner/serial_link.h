// Opening the scanner port with the configured settings, and the settings dialog.
#pragma once

#include "platform/serial_port.h"
#include "scanner/serial_settings.h"
#include "shell/configuration.h"
#include "shell/error_reporter.h"
#include "shell/operator_log.h"

namespace lumetra {

class SerialSettingsDialog {
public:
    virtual ~SerialSettingsDialog() = default;
    // Shows frmSettings modally with the loaded values; the working values on OK,
    // none on Cancel.
    virtual std::optional<SerialDialogValues> run(const SerialDialogValues& loaded) = 0;
};

class SerialLink {
public:
    SerialLink(SerialPort& port, Configuration& config, IniFile& ini, Panel& panel,
               SerialSettingsDialog& dialog, ErrorReporter& errors, OperatorLog& log);

    // (Re)opens the port; on failure reports it and leads into the settings dialog.
    void openScannerPort();
    void saveSerialSettings();
    void showSettingsDialog();
    void closePort();

private:
    void openOrRaise();

    SerialPort& m_port;
    Configuration& m_config;
    IniFile& m_ini;
    Panel& m_panel;
    SerialSettingsDialog& m_dialog;
    ErrorReporter& m_errors;
    OperatorLog& m_log;
};

} // namespace lumetra
