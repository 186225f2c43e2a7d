// Opening the scanner port with the configured settings, and the settings dialog.
#pragma once

#include "platform/serial_port.h"

#include "base/configuration.h"
#include "base/error_reporter.h"
#include "base/ini_file.h"
#include "base/operator_log.h"
#include "base/status_line.h"
#include "platform/panel.h"
#include "scanner/serial_settings.h"
#include <chrono>
#include <functional>

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
    using Clock = std::function<std::chrono::steady_clock::time_point()>;
    SerialLink(SerialPort& port, Configuration& config, IniFile& ini, Panel& panel,
               StatusLine& status, SerialSettingsDialog& dialog, ErrorReporter& errors,
               OperatorLog& log, Clock clock = std::chrono::steady_clock::now);

    // (Re)opens the port; on failure reports it and leads into the settings dialog.
    void openScannerPort();
    // A port that went away (a scanner pulled out), or that could not be opened because
    // its device was missing, busy or not allowed, is opened by itself, on the same device,
    // once it can be; tried at most once a second.
    void reopenWhenPossible();
    void saveSerialSettings();
    void showSettingsDialog();
    void closePort();

private:
    void openOrRaise();
    void showClosed(std::string_view state, const std::string& reason);

    SerialPort& m_port;
    Configuration& m_config;
    IniFile& m_ini;
    Panel& m_panel;
    StatusLine& m_status;
    SerialSettingsDialog& m_dialog;
    ErrorReporter& m_errors;
    OperatorLog& m_log;
    Clock m_clock;
    bool m_wanted = false;     // to be open: opened by us, or waiting for its device
    bool m_wasOpen = false;    // it was open once since it was wanted (so it was lost)
    std::string m_closedState; // what the caption says while it is closed
    std::chrono::steady_clock::time_point m_nextAttempt;
};

} // namespace lumetra
