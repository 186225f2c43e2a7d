#include "platform/posix/posix_instance_guard.h"

#include "common/text.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lumetra {

namespace {

constexpr int kUntrusted = -2;

// The lock file, when it is the user's own regular file (never through a link); -1 when it
// cannot be opened at all, kUntrusted when what stands there is someone else's.
int openOwnLock(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return errno == ELOOP ? kUntrusted : -1;
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode) || status.st_uid != ::getuid()) {
        ::close(fd);
        return kUntrusted;
    }
    return fd;
}

// A folder that is the user's own and that no one else can write into, made when missing.
bool isPrivateFolder(const std::string& folder) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    ::chmod(folder.c_str(), 0700);
    struct stat status {};
    return ::lstat(folder.c_str(), &status) == 0 && S_ISDIR(status.st_mode) &&
           status.st_uid == ::getuid() && (status.st_mode & 022) == 0;
}

} // namespace

PosixInstanceGuard::PosixInstanceGuard(std::string lockFolder, std::string privateFolder,
                                       const std::string& programFolder)
    : m_lockFolder(std::move(lockFolder)), m_privateFolder(std::move(privateFolder)) {
    std::error_code error;
    auto canonical = std::filesystem::weakly_canonical(programFolder, error);
    const std::string key = error ? programFolder : canonical.string();
    char name[64];
    std::snprintf(name, sizeof name, "lumetra-%u-%016llx.lock", static_cast<unsigned>(::getuid()),
                  static_cast<unsigned long long>(textHash(key)));
    m_name = name;
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
    std::string path = (std::filesystem::path(m_lockFolder) / m_name).string();
    int fd = openOwnLock(path);
    if (fd == kUntrusted) {
        if (!isPrivateFolder(m_privateFolder))
            return true; // no lock to be had: run on, as without a lock folder
        path = (std::filesystem::path(m_privateFolder) / m_name).string();
        fd = openOwnLock(path);
    }
    if (fd < 0)
        return true; // without a lock file no second instance can be told apart; run on
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    m_fd = fd;
    m_lockPath = path;
    return true;
}

} // namespace lumetra
