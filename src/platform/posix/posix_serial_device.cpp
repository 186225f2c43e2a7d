#include "platform/posix/posix_serial_device.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace lumetra {

std::optional<DeviceFault> serialDeviceProblem(const std::string& device) {
    struct stat status {};
    if (::stat(device.c_str(), &status) != 0) {
        if (errno == ENOENT)
            return DeviceFault{PortProblem::DeviceMissing, "device missing (plugged in?)"};
        return DeviceFault{PortProblem::Other, std::strerror(errno)};
    }
    if (!S_ISCHR(status.st_mode))
        return DeviceFault{PortProblem::NotSerial, "not a serial device"};
    if (::access(device.c_str(), R_OK | W_OK) != 0 && errno == EACCES)
        return DeviceFault{PortProblem::NoPermission,
                           "no permission (the user needs to be in the dialout group)"};
    return std::nullopt;
}

} // namespace lumetra
