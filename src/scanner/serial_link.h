// Opening the scanner port with the configured settings, and the settings dialog.
#pragma once

#include "platform/serial_port.h"

#include "base/configuration.h"
#include "base/error_reporter.h"
#include "base/ini_file.h"
#include "base/operator_log.h"
#include "platform/panel.h"
#include "scanner/serial_settings.h"
#include <chrono>

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
    // A port that was open and went away (a scanner pulled out) is opened again, on the
    // same device, once that device is back; tried at most once a second.
    void reconnectIfLost();
    void saveSerialSettings();
    void showSettingsDialog();
    void closePort();

private:
    void openOrRaise();
    void showNotConnected(const std::string& state);

    SerialPort& m_port;
    Configuration& m_config;
    IniFile& m_ini;
    Panel& m_panel;
    SerialSettingsDialog& m_dialog;
    ErrorReporter& m_errors;
    OperatorLog& m_log;
    bool m_wanted = false; // opened by us and not closed since
    bool m_lostShown = false;
    std::chrono::steady_clock::time_point m_nextAttempt;
};

} // namespace lumetra
