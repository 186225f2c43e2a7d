// The configuration read at start-up from ORX.INI.
#pragma once

#include "base/host_setup.h"
#include "base/operator_log.h"

#include <cstdint>
#include <string>

namespace lumetra {

struct Configuration {
    std::string iniPath;
    std::string windowsDir;
    HostSetup host;
    std::string serialSettings;
    std::string gcodePath;
    std::int16_t commPort = 1;
    int pollInterval = 1000;
    std::string csvInPath;
    std::string csvOutPath;
    std::string exclusionSetting;
    LogRotation logRotation;
};

inline constexpr int kDefaultPollInterval = 1000;
inline constexpr int kSmallestPollInterval = 100;

} // namespace lumetra
