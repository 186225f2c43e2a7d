#pragma once

#include "platform/instance_guard.h"

#include <string>

namespace lumetra {

// An advisory lock on a file named after the program folder, so that copies in
// different folders run side by side. The kernel drops it when the process ends.
class PosixInstanceGuard final : public InstanceGuard {
public:
    // The lock lives in `lockFolder` (a shared one such as /tmp will do) unless what stands
    // at its name there is not the user's own regular file: another local user could hold
    // that. It then lives in `privateFolder`, which is made when missing and used only when
    // no one else can write into it.
    PosixInstanceGuard(std::string lockFolder, std::string privateFolder,
                       const std::string& programFolder);
    ~PosixInstanceGuard() override;
    PosixInstanceGuard(const PosixInstanceGuard&) = delete;
    PosixInstanceGuard& operator=(const PosixInstanceGuard&) = delete;

    bool acquire() override;

private:
    std::string m_lockFolder;
    std::string m_privateFolder;
    std::string m_name;
    std::string m_lockPath; // the lock held
    int m_fd = -1;
};

} // namespace lumetra
