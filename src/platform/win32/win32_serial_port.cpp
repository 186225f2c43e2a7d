#include "platform/win32/win32_serial_port.h"

#include "common/text.h"
#include "platform/win32/windows_text.h"

#include <windows.h>

#include <algorithm>
#include <map>
#include <utility>

namespace lumetra {

namespace {

BYTE parityOf(char parity) {
    switch (parity) {
    case 'O':
        return ODDPARITY;
    case 'E':
        return EVENPARITY;
    case 'M':
        return MARKPARITY;
    case 'S':
        return SPACEPARITY;
    default:
        return NOPARITY;
    }
}

BYTE stopBitsOf(StopBits stopBits) {
    switch (stopBits) {
    case StopBits::OneAndHalf:
        return ONE5STOPBITS;
    case StopBits::Two:
        return TWOSTOPBITS;
    case StopBits::One:
        break;
    }
    return ONESTOPBIT;
}

} // namespace

std::string serialDevicePath(const std::string& device) {
    if (device.rfind("\\\\", 0) == 0)
        return device;
    return "\\\\.\\" + device;
}

DeviceFault comOpenFailure(unsigned long error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_BAD_UNIT:
    case ERROR_DEV_NOT_EXIST:
        return {PortProblem::DeviceMissing, "device missing (plugged in?)"};
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
        // A COM port is opened exclusively: a refusal means another program has it.
        return {PortProblem::Busy, "busy: opened by another program"};
    default:
        return {PortProblem::Other, windowsErrorText(error)};
    }
}

CommLine commLineOf(const LineSettings& settings) {
    return {static_cast<unsigned long>(settings.baudRate),
            static_cast<unsigned char>(settings.dataBits), parityOf(settings.parity),
            stopBitsOf(settings.stopBits), settings.parity != 'N'};
}

namespace {

// A COM<n> name, and its number (0 when the name is none).
int comNumber(std::string_view name) {
    const std::string upper = toUpper(name);
    if (upper.size() < 4 || upper.size() > 6 || upper.compare(0, 3, "COM") != 0)
        return 0;
    int number = 0;
    for (char c : upper.substr(3)) {
        if (c < '0' || c > '9')
            return 0;
        number = number * 10 + (c - '0');
    }
    return number;
}

// HKLM\HARDWARE\DEVICEMAP\SERIALCOMM: each value a driver's device, its data the COM name.
void addRegisteredPorts(std::map<int, SerialDevice>& ports) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &key) !=
        ERROR_SUCCESS)
        return;
    for (DWORD index = 0;; ++index) {
        wchar_t valueName[256];
        DWORD valueLength = 256;
        wchar_t data[64];
        DWORD dataSize = sizeof(data) - sizeof(wchar_t);
        DWORD type = 0;
        const LONG result = RegEnumValueW(key, index, valueName, &valueLength, nullptr, &type,
                                          reinterpret_cast<BYTE*>(data), &dataSize);
        if (result == ERROR_NO_MORE_ITEMS)
            break;
        if (result != ERROR_SUCCESS || type != REG_SZ)
            continue;
        data[dataSize / sizeof(wchar_t)] = L'\0';
        const std::string name = codePageFromWide(data);
        if (const int number = comNumber(name))
            ports[number] = {name + "  (" + codePageFromWide(valueName) + ")", name};
    }
    RegCloseKey(key);
}

// The COM names among the system's DOS devices: a port the registry does not list (a
// name an administrator defined), never opened to find it.
void addDosDevicePorts(std::map<int, SerialDevice>& ports) {
    for (int number = 1; number <= kLastPortNumber; ++number) {
        const std::string name = "COM" + std::to_string(number);
        wchar_t target[512] = {};
        if (!ports.count(number) &&
            QueryDosDeviceW(wideFromCodePage(name).c_str(), target, 511) != 0)
            ports[number] = {name + "  (" + codePageFromWide(target) + ")", name};
    }
}

} // namespace

Win32SerialPort::Win32SerialPort(DeviceForPort deviceForPort)
    : m_deviceForPort(std::move(deviceForPort)) {}

Win32SerialPort::~Win32SerialPort() {
    close();
}

void Win32SerialPort::open(int portNumber, const LineSettings& settings) {
    close();
    if (portNumber < 1 || portNumber > kLastPortNumber)
        throw PortOpenError(PortProblem::NoSuchPort, std::string(kInvalidPortNumber));
    const std::string device = m_deviceForPort(portNumber);
    HANDLE handle =
        CreateFileW(wideFromCodePage(serialDevicePath(device)).c_str(),
                    GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DeviceFault fault = comOpenFailure(GetLastError());
        throw PortOpenError(fault.problem, device + ": " + fault.text);
    }
    DCB line{};
    line.DCBlength = sizeof(line);
    if (GetFileType(handle) != FILE_TYPE_CHAR || !GetCommState(handle, &line)) {
        CloseHandle(handle);
        throw PortOpenError(PortProblem::NotSerial, device + ": not a serial device");
    }
    const CommLine wanted = commLineOf(settings);
    line.BaudRate = wanted.baudRate;
    line.ByteSize = wanted.byteSize;
    line.Parity = wanted.parity;
    line.fParity = wanted.checkParity ? TRUE : FALSE;
    line.StopBits = wanted.stopBits;
    line.fBinary = TRUE;
    // Reads return at once with what is waiting: the port is polled.
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = MAXDWORD;
    timeouts.WriteTotalTimeoutConstant = 1000;
    if (!SetCommState(handle, &line)) {
        const std::string reason = windowsErrorText(GetLastError());
        CloseHandle(handle);
        throw PortOpenError(PortProblem::SettingsRefused,
                            device + ": settings refused by the port (" + reason + ")");
    }
    if (!SetCommTimeouts(handle, &timeouts)) {
        const std::string reason = windowsErrorText(GetLastError());
        CloseHandle(handle);
        throw PortOpenError(PortProblem::Other, device + ": " + reason);
    }
    PurgeComm(handle, PURGE_RXCLEAR);
    m_handle = handle;
    m_failure.reset();
}

void Win32SerialPort::close() {
    if (m_handle)
        CloseHandle(static_cast<HANDLE>(m_handle));
    m_handle = nullptr;
}

void Win32SerialPort::lose(unsigned long error) {
    m_failure = windowsErrorText(error);
    close();
}

std::size_t Win32SerialPort::bytesWaiting() {
    if (!m_handle)
        return 0;
    DWORD errors = 0;
    COMSTAT status{};
    if (!ClearCommError(static_cast<HANDLE>(m_handle), &errors, &status)) {
        lose(GetLastError());
        return 0;
    }
    return status.cbInQue;
}

std::string Win32SerialPort::readAll() {
    std::string bytes;
    for (std::size_t waiting = bytesWaiting(); waiting > 0 && m_handle; waiting = bytesWaiting()) {
        const std::size_t before = bytes.size();
        bytes.resize(before + waiting);
        DWORD read = 0;
        if (!ReadFile(static_cast<HANDLE>(m_handle), bytes.data() + before,
                      static_cast<DWORD>(waiting), &read, nullptr)) {
            bytes.resize(before);
            lose(GetLastError());
            break;
        }
        bytes.resize(before + read);
        if (read == 0)
            break;
    }
    return bytes;
}

bool Win32SerialPort::write(std::string_view bytes) {
    if (!m_handle)
        return false;
    DWORD written = 0;
    if (!WriteFile(static_cast<HANDLE>(m_handle), bytes.data(), static_cast<DWORD>(bytes.size()),
                   &written, nullptr)) {
        lose(GetLastError());
        return false;
    }
    return written == bytes.size();
}

std::optional<std::string> Win32SerialPort::takeFailure() {
    return std::exchange(m_failure, std::nullopt);
}

std::vector<SerialDevice> Win32SerialPort::systemDevices() const {
    std::map<int, SerialDevice> ports;
    addRegisteredPorts(ports);
    addDosDevicePorts(ports);
    std::vector<SerialDevice> devices;
    devices.reserve(ports.size());
    for (auto& [number, device] : ports)
        devices.push_back(std::move(device));
    return devices;
}

} // namespace lumetra
