#pragma once

#include "platform/serial_port.h"

#include <optional>
#include <string>

namespace lumetra {

// What keeps a serial device from being opened that a person can act on, told before
// the port is tried: missing, not a serial device, no rights (the dialout group).
std::optional<DeviceFault> serialDeviceProblem(const std::string& device);

} // namespace lumetra
