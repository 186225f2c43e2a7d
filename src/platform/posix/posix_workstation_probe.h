#pragma once

#include "platform/workstation_probe.h"

namespace lumetra {

// Linux: permissions by the process's own rights, the holders of a device from /proc and
// the lock files; the host and the compression library are stand-ins here.
class PosixWorkstationProbe final : public WorkstationProbe {
public:
    DeviceState scannerDevice(const std::string& device) override;
    std::optional<std::string> folderProblem(const std::string& nativeFolder) override;
    std::optional<std::string> fileWriteProblem(const std::string& nativeFile) override;
    std::optional<std::string> programProblem(const std::string& nativeFile) override;
    std::vector<Finding> platformFindings(const std::vector<std::string>& hostClasses) override;
};

} // namespace lumetra
