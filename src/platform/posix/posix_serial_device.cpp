#include "platform/posix/posix_serial_device.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace lumetra {

std::optional<std::string> serialDeviceProblem(const std::string& device) {
    struct stat status {};
    if (::stat(device.c_str(), &status) != 0)
        return errno == ENOENT ? "device missing (plugged in?)" : std::strerror(errno);
    if (!S_ISCHR(status.st_mode))
        return std::string("not a serial device");
    if (::access(device.c_str(), R_OK | W_OK) != 0 && errno == EACCES)
        return std::string("no permission (the user needs to be in the dialout group)");
    return std::nullopt;
}

} // namespace lumetra
