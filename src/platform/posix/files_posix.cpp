// The file layer on POSIX: paths are bytes, durability comes from fsync and rename.
#include "platform/files.h"
#include "platform/process.h"

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

namespace {

enum class Names { Any, One };

// Opens the regular file at the name and nothing else: never through a link planted there,
// never blocking on a FIFO, and with Names::One never a file that has other names too
// (what is written through a hard link changes another folder's file). Anything else
// gives -1 with errno EINVAL.
int openRegular(const std::string& nativePath, int flags, Names names) {
    const int fd = ::open(nativePath.c_str(), flags | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd < 0)
        return -1;
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode) ||
        (names == Names::One && status.st_nlink != 1) ||
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
        ::close(fd);
        errno = EINVAL;
        return -1;
    }
    return fd;
}

std::string openFailure(const std::string& nativePath, int error) {
    if (error == EINVAL || error == ELOOP || error == ENXIO) // ENXIO: a FIFO nobody reads
        return "cannot open " + nativePath +
               ": a link, a FIFO or another file than a regular one stands at its name";
    return describe("cannot open " + nativePath, error);
}

} // namespace

std::FILE* openFile(const std::string& nativePath, const char* mode) {
    const std::string_view how(mode);
    const int flags = how.front() == 'r'   ? O_RDONLY
                      : how.front() == 'a' ? O_WRONLY | O_CREAT | O_APPEND
                                           : O_WRONLY | O_CREAT | O_TRUNC;
    const int fd = openRegular(nativePath, flags, Names::Any);
    if (fd < 0)
        return nullptr;
    std::FILE* file = ::fdopen(fd, mode);
    if (file == nullptr)
        ::close(fd);
    return file;
}

namespace {

FileIdentity identityOf(const struct stat& status) {
    return {static_cast<std::uint64_t>(status.st_dev), static_cast<std::uint64_t>(status.st_ino)};
}

// A new file beside `nativePath` that only this call created (never through a link).
int createTemporary(const std::string& nativePath, std::string& temporary) {
    for (int attempt = 0; attempt < 16; ++attempt) {
        temporary = temporaryPathBeside(nativePath);
        const int fd =
            ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

} // namespace

std::optional<std::uint64_t> nameCount(std::FILE* file) {
    struct stat status {};
    if (file == nullptr || ::fstat(::fileno(file), &status) != 0)
        return std::nullopt;
    return static_cast<std::uint64_t>(status.st_nlink);
}

std::optional<FileStamp> fileStamp(const std::string& nativePath) {
    struct stat status {};
    if (::stat(nativePath.c_str(), &status) != 0)
        return std::nullopt;
    const auto sinceEpoch = std::chrono::seconds(status.st_mtim.tv_sec) +
                            std::chrono::nanoseconds(status.st_mtim.tv_nsec);
    return FileStamp{
        identityOf(status), static_cast<std::uint64_t>(status.st_size),
        std::chrono::system_clock::time_point(
            std::chrono::duration_cast<std::chrono::system_clock::duration>(sinceEpoch))};
}

std::optional<FileIdentity> createFreshFile(const std::string& nativePath, std::string& error) {
    if (::unlink(nativePath.c_str()) != 0 && errno != ENOENT) {
        error = describe("cannot remove " + nativePath, errno);
        return std::nullopt;
    }
    const int fd =
        ::open(nativePath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) {
        error = describe("cannot create " + nativePath, errno);
        return std::nullopt;
    }
    struct stat status {};
    const bool known = ::fstat(fd, &status) == 0;
    ::close(fd);
    if (!known) {
        error = describe("cannot read the identity of " + nativePath, errno);
        return std::nullopt;
    }
    return identityOf(status);
}

std::optional<std::string> readSameFile(const std::string& nativePath,
                                        const FileIdentity& identity) {
    const int fd = ::open(nativePath.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    struct stat status {};
    std::optional<std::string> bytes;
    if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && identityOf(status) == identity) {
        bytes.emplace();
        char buffer[65536];
        ssize_t n = 0;
        while ((n = ::read(fd, buffer, sizeof buffer)) > 0 || (n < 0 && errno == EINTR))
            if (n > 0)
                bytes->append(buffer, static_cast<std::size_t>(n));
        if (n < 0)
            bytes.reset();
    }
    ::close(fd);
    return bytes;
}

WriteOutcome replaceFile(const std::string& nativePath, std::string_view bytes) {
    // The permissions of the file itself; a link in its place is replaced, never followed.
    struct stat old {};
    const bool exists = ::lstat(nativePath.c_str(), &old) == 0 && S_ISREG(old.st_mode);
    std::string temporary;
    const int fd = createTemporary(nativePath, temporary);
    if (fd < 0)
        return {describe("cannot create a temporary file beside " + nativePath, errno)};
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
    const int fd = openRegular(nativePath, O_WRONLY | O_CREAT | O_APPEND, Names::One);
    if (fd < 0)
        return {openFailure(nativePath, errno)};
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

WriteOutcome cutBack(const std::string& nativePath, std::uint64_t length) {
    const int fd = openRegular(nativePath, O_WRONLY, Names::One);
    if (fd < 0)
        return {openFailure(nativePath, errno)};
    std::string failure;
    if (::ftruncate(fd, static_cast<off_t>(length)) != 0)
        failure = describe("cannot cut back " + nativePath, errno);
    else if (::fsync(fd) != 0)
        failure = describe("cannot flush " + nativePath, errno);
    if (::close(fd) != 0 && failure.empty())
        failure = describe("cannot close " + nativePath, errno);
    return {failure};
}

std::optional<std::uint64_t> regularFileLength(const std::string& nativePath) {
    const int fd = openRegular(nativePath, O_RDONLY, Names::One);
    if (fd < 0)
        return std::nullopt;
    struct stat status {};
    const bool known = ::fstat(fd, &status) == 0;
    ::close(fd);
    return known ? std::optional<std::uint64_t>(static_cast<std::uint64_t>(status.st_size))
                 : std::nullopt;
}

} // namespace lumetra
