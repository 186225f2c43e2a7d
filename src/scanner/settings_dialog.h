// frmSettings: port, baud rate, parity, data bits and stop bits as option groups.
#pragma once

#include "scanner/serial_link.h"

#include <QDialog>
#include <QString>
#include <vector>

class QButtonGroup;
class QComboBox;
class QVBoxLayout;

namespace lumetra {

class SettingsDialog final : public QDialog, public SerialSettingsDialog {
    Q_OBJECT
public:
    explicit SettingsDialog(QWidget* parent = nullptr);

    std::optional<SerialDialogValues> run(const SerialDialogValues& loaded) override;
    // The dialog's load without showing it (for run and for tests).
    void load(const SerialDialogValues& loaded);
    const SerialDialogValues& workingValues() const { return m_values; }
    // What each port's device is, to show it when the port option changes.
    void setDeviceLookup(std::function<std::string(int port)> deviceOf) {
        m_deviceOf = std::move(deviceOf);
    }
    // The devices offered, read each time the dialog loads and when the operator asks
    // (a scanner plugged in meanwhile).
    using DeviceList = std::function<std::vector<SerialDevice>()>;
    void setDeviceList(DeviceList list) { m_deviceList = std::move(list); }
    void refreshDevices();

private:
    struct Choice {
        const char* name;
        const char* caption;
        int value;
    };
    QButtonGroup* addGroup(const char* name, const char* caption,
                           const std::vector<Choice>& choices,
                           const std::function<void(int)>& store);
    static void select(QButtonGroup* group, int value);
    void addDeviceChoice(QVBoxLayout& layout);

    SerialDialogValues m_values;
    QButtonGroup* m_ports = nullptr;
    QButtonGroup* m_bauds = nullptr;
    QButtonGroup* m_parities = nullptr;
    QButtonGroup* m_dataBits = nullptr;
    QButtonGroup* m_stopBits = nullptr;
    QComboBox* m_device = nullptr;
    std::function<std::string(int)> m_deviceOf;
    DeviceList m_deviceList;
};

// Unattended: the dialog is not shown; it counts as cancelled and is logged.
class CancelledSettingsDialog final : public SerialSettingsDialog {
public:
    explicit CancelledSettingsDialog(OperatorLog& log) : m_log(log) {}
    std::optional<SerialDialogValues> run(const SerialDialogValues&) override {
        m_log.write(LogKind::Message, "Settings [dialog; Cancel]");
        return std::nullopt;
    }

private:
    OperatorLog& m_log;
};

} // namespace lumetra
