// Whether a file exists, telling disk errors apart from a plain "no".
#pragma once

#include <string>

namespace lumetra {

enum class ProbeResult {
    Exists,
    Missing,     // no such file, folder or device
    DeviceError, // the device reports an input/output error
    NotReady,    // no medium in the drive
    OtherError,
};

struct Probe {
    ProbeResult result = ProbeResult::Missing;
    int errorNumber = 0;
    std::string description;
};

class FileProbe {
public:
    virtual ~FileProbe() = default;
    virtual Probe probe(const std::string& nativePath) = 0;
};

} // namespace lumetra
