#pragma once

#include "platform/instance_guard.h"

#include <string>

namespace lumetra {

// An advisory lock on a file named after the program folder, so that copies in
// different folders run side by side. The kernel drops it when the process ends.
class PosixInstanceGuard final : public InstanceGuard {
public:
    PosixInstanceGuard(std::string lockFolder, std::string programFolder);
    ~PosixInstanceGuard() override;
    PosixInstanceGuard(const PosixInstanceGuard&) = delete;
    PosixInstanceGuard& operator=(const PosixInstanceGuard&) = delete;

    bool acquire() override;

private:
    std::string m_lockPath;
    int m_fd = -1;
};

} // namespace lumetra
