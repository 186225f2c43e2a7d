// The scanner's port of the platform: Qt SerialPort on a device named in the INI file on
// Linux, the system's COM ports on Windows.
#pragma once

#include "app/platform_adapters.h"
#include "platform/serial_port.h"

#include <functional>
#include <memory>

namespace lumetra {

using DeviceForPort = std::function<std::string(int portNumber)>;
std::unique_ptr<SerialPort> makeScannerPort(const PlatformAdapters& platform,
                                            DeviceForPort deviceForPort);

} // namespace lumetra
