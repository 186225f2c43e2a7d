#pragma once

#include "platform/workstation_probe.h"

#include <string>

namespace lumetra {

// Windows: a COM port looked for and asked for by name, write rights by the user's access
// check against the file's security, the host's classes by their ProgIDs (nothing is
// created) and the compression library by its file's header (it is not loaded).
class Win32WorkstationProbe final : public WorkstationProbe {
public:
    // `compressionDll` as the program loads it; `helper` is the 32-bit helper's path.
    Win32WorkstationProbe(std::string compressionDll, std::string helper);

    DeviceState scannerDevice(const std::string& device) override;
    std::optional<std::string> folderProblem(const std::string& nativeFolder) override;
    std::optional<std::string> fileWriteProblem(const std::string& nativeFile) override;
    std::optional<std::string> programProblem(const std::string& nativeFile) override;
    std::vector<Finding> platformFindings(const std::vector<std::string>& hostClasses) override;

private:
    std::string m_compressionDll;
    std::string m_helper;
};

} // namespace lumetra
