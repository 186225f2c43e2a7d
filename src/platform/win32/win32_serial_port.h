// Windows: COM<n> through the system's communications functions.
#pragma once

#include "platform/serial_port.h"

#include <functional>

namespace lumetra {

// The device of COM<n> is "COM<n>" unless the integrator names another (Com<n>Device);
// it is opened as \\.\<device>. Reads are polled and return at once; DTR, RTS and
// handshaking keep what the driver has.
class Win32SerialPort final : public SerialPort {
public:
    using DeviceForPort = std::function<std::string(int portNumber)>;
    explicit Win32SerialPort(DeviceForPort deviceForPort);
    ~Win32SerialPort() override;
    Win32SerialPort(const Win32SerialPort&) = delete;
    Win32SerialPort& operator=(const Win32SerialPort&) = delete;

    void open(int portNumber, const LineSettings& settings) override;
    std::string deviceOf(int portNumber) const override { return m_deviceForPort(portNumber); }
    void close() override;
    bool isOpen() const override { return m_handle != nullptr; }
    std::size_t bytesWaiting() override;
    std::string readAll() override;
    bool write(std::string_view bytes) override;
    std::optional<std::string> takeFailure() override;
    std::vector<SerialDevice> systemDevices() const override;

private:
    // The port failed while open: it is closed, and the failure kept for takeFailure.
    void lose(unsigned long error);

    DeviceForPort m_deviceForPort;
    void* m_handle = nullptr;
    std::optional<std::string> m_failure;
};

// The line of a DCB for the settings: the DCB's own constants.
struct CommLine {
    unsigned long baudRate = 0;
    unsigned char byteSize = 0;
    unsigned char parity = 0;   // NOPARITY, ODDPARITY, EVENPARITY, MARKPARITY, SPACEPARITY
    unsigned char stopBits = 0; // ONESTOPBIT, ONE5STOPBITS, TWOSTOPBITS
    bool checkParity = false;
};
CommLine commLineOf(const LineSettings& settings);

// Why CreateFile could not open a COM port, from its error.
DeviceFault comOpenFailure(unsigned long error);

// The name CreateFile opens for a device name: "COM12" → "\\.\COM12"; a name that is
// already a device path stays.
std::string serialDevicePath(const std::string& device);

} // namespace lumetra
