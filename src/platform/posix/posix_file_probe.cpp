#include "platform/posix/posix_file_probe.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace lumetra {

Probe PosixFileProbe::probe(const std::string& nativePath) {
    struct stat info {};
    if (::stat(nativePath.c_str(), &info) == 0)
        return {S_ISDIR(info.st_mode) ? ProbeResult::Missing : ProbeResult::Exists, 0, {}};
    const int error = errno;
    ProbeResult result = ProbeResult::OtherError;
    switch (error) {
    case ENOENT:
    case ENOTDIR:
    case ENXIO:
    case ENODEV:
    case ENAMETOOLONG:
        result = ProbeResult::Missing;
        break;
    case EIO:
        result = ProbeResult::DeviceError;
        break;
    case ENOMEDIUM:
        result = ProbeResult::NotReady;
        break;
    default:
        break;
    }
    return {result, error, std::strerror(error)};
}

} // namespace lumetra
