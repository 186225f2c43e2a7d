// The file layer on POSIX: paths are bytes, durability comes from fsync and rename.
#include "common/files.h"
#include "common/process.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lumetra {

namespace {

std::string describe(const std::string& step, int error) {
    return step + ": " + std::strerror(error);
}

// Writes everything, going on after short writes and interruptions.
bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// The folder's entry of a renamed file reaches the disk only with the folder itself.
void syncFolder(const std::string& nativePath) {
    const std::string folder = std::filesystem::path(nativePath).parent_path().string();
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

long currentProcessId() {
    return static_cast<long>(::getpid());
}

bool processRuns(long pid) {
    return pid > 0 && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM);
}

std::filesystem::path fileSystemPath(const std::string& nativePath) {
    return std::filesystem::path(nativePath);
}

std::string nativePathText(const std::filesystem::path& path) {
    return path.string();
}

std::FILE* openFile(const std::string& nativePath, const char* mode) {
    return std::fopen(nativePath.c_str(), mode);
}

WriteOutcome replaceFile(const std::string& nativePath, std::string_view bytes) {
    struct stat old {};
    const bool exists = ::stat(nativePath.c_str(), &old) == 0;
    const std::string temporary = temporaryFileName(nativePath);
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0)
        return {describe("cannot create " + temporary, errno)};
    std::string failure;
    if (exists && ::fchmod(fd, old.st_mode & 07777) != 0)
        failure = describe("cannot keep the permissions of " + nativePath, errno);
    else if (!writeAll(fd, bytes))
        failure = describe("cannot write " + temporary, errno);
    else if (::fsync(fd) != 0)
        failure = describe("cannot flush " + temporary, errno);
    if (::close(fd) != 0 && failure.empty())
        failure = describe("cannot close " + temporary, errno);
    if (failure.empty() && ::rename(temporary.c_str(), nativePath.c_str()) != 0)
        failure = describe("cannot rename " + temporary + " to " + nativePath, errno);
    if (!failure.empty()) {
        ::unlink(temporary.c_str());
        return {failure};
    }
    syncFolder(nativePath);
    return {};
}

WriteOutcome appendToFile(const std::string& nativePath, std::string_view bytes) {
    const int fd = ::open(nativePath.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
    if (fd < 0)
        return {describe("cannot open " + nativePath, errno)};
    struct stat before {};
    if (::fstat(fd, &before) != 0) {
        const int error = errno;
        ::close(fd);
        return {describe("cannot read the length of " + nativePath, error)};
    }
    std::string failure;
    if (!writeAll(fd, bytes))
        failure = describe("cannot append to " + nativePath, errno);
    else if (::fsync(fd) != 0)
        failure = describe("cannot flush " + nativePath, errno);
    if (!failure.empty() && ::ftruncate(fd, before.st_size) == 0)
        ::fsync(fd);
    if (::close(fd) != 0 && failure.empty())
        failure = describe("cannot close " + nativePath, errno);
    return {failure};
}

} // namespace lumetra
