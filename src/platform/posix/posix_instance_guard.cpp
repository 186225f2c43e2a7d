#include "platform/posix/posix_instance_guard.h"

#include "common/text.h"

#include <cstdint>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <unistd.h>

namespace lumetra {

PosixInstanceGuard::PosixInstanceGuard(std::string lockFolder, std::string programFolder) {
    std::error_code error;
    auto canonical = std::filesystem::weakly_canonical(programFolder, error);
    const std::string key = error ? programFolder : canonical.string();
    char name[64];
    std::snprintf(name, sizeof name, "lumetra-%u-%016llx.lock", static_cast<unsigned>(::getuid()),
                  static_cast<unsigned long long>(textHash(key)));
    m_lockPath = (std::filesystem::path(lockFolder) / name).string();
}

PosixInstanceGuard::~PosixInstanceGuard() {
    if (m_fd >= 0) {
        ::unlink(m_lockPath.c_str()); // only the holder removes it
        ::close(m_fd);
    }
}

bool PosixInstanceGuard::acquire() {
    if (m_fd >= 0)
        return true;
    const int fd = ::open(m_lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return true; // without a lock file no second instance can be told apart; run on
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    m_fd = fd;
    return true;
}

} // namespace lumetra
