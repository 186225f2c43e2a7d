#include "app/scanner_port.h"

#ifdef _WIN32
#include "platform/win32/win32_serial_port.h"
#else
#include "platform/qt/qt_serial_port.h"
#endif

namespace lumetra {

std::unique_ptr<SerialPort> makeScannerPort(const PlatformAdapters& platform,
                                            DeviceForPort deviceForPort) {
#ifdef _WIN32
    (void)platform;
    return std::make_unique<Win32SerialPort>(std::move(deviceForPort));
#else
    return std::make_unique<QtSerialPort>(
        std::move(deviceForPort),
        [&platform](const std::string& device) { return platform.scannerDeviceProblem(device); });
#endif
}

} // namespace lumetra
