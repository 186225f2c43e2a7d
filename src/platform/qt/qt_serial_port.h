#pragma once

#include "platform/serial_port.h"

#include <QSerialPort>
#include <functional>

namespace lumetra {

// COM<n> on a device named by the integrator (Com<n>Device), through Qt SerialPort.
// The port is polled: nothing here reacts to readyRead. Handshaking and the line
// signals keep Qt's defaults (setting DTR or RTS fails on a pseudo-terminal).
class QtSerialPort final : public SerialPort {
public:
    using DeviceForPort = std::function<std::string(int portNumber)>;
    // What keeps a device from being opened, told before Qt tries (none: Qt tells).
    using DeviceProblem = std::function<std::optional<DeviceFault>(const std::string& device)>;
    explicit QtSerialPort(DeviceForPort deviceForPort, DeviceProblem deviceProblem = {});

    void open(int portNumber, const LineSettings& settings) override;
    std::string deviceOf(int portNumber) const override { return m_deviceForPort(portNumber); }
    void close() override;
    bool isOpen() const override;
    std::size_t bytesWaiting() override;
    std::string readAll() override;
    bool write(std::string_view bytes) override;
    std::optional<std::string> takeFailure() override;
    std::vector<SerialDevice> systemDevices() const override;

private:
    DeviceForPort m_deviceForPort;
    DeviceProblem m_deviceProblem;
    QSerialPort m_port;
    std::optional<std::string> m_failure;
    std::string m_heldAtFailure; // what the port held when the device went away
};

} // namespace lumetra
