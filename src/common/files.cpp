#include "common/files.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>

namespace lumetra {

namespace {

constexpr std::string_view kTemporaryMark = ".lumetra-tmp-";

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

bool processRuns(long pid) {
    return pid > 0 && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM);
}

} // namespace

std::optional<std::string> readWholeFile(const std::string& nativePath) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(nativePath, error))
        return std::nullopt;
    std::ifstream in(nativePath, std::ios::binary);
    if (!in)
        return std::nullopt;
    try {
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (in.bad())
            return std::nullopt;
        return bytes;
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

std::string temporaryFileName(const std::string& nativePath) {
    return nativePath + std::string(kTemporaryMark) + std::to_string(::getpid());
}

bool isTemporaryFileName(std::string_view fileName) {
    const auto mark = fileName.rfind(kTemporaryMark);
    if (mark == std::string_view::npos)
        return false;
    const std::string_view pid = fileName.substr(mark + kTemporaryMark.size());
    return !pid.empty() && pid.find_first_not_of("0123456789") == std::string_view::npos;
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

std::vector<std::string> removeStaleTemporaryFiles(const std::string& nativeFolder) {
    std::vector<std::string> removed;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(nativeFolder, error)) {
        const std::string name = entry.path().filename().string();
        if (!isTemporaryFileName(name))
            continue;
        const long pid = std::strtol(
            name.c_str() + name.rfind(kTemporaryMark) + kTemporaryMark.size(), nullptr, 10);
        std::error_code ignored;
        if (!processRuns(pid) && std::filesystem::remove(entry.path(), ignored))
            removed.push_back(name);
    }
    return removed;
}

} // namespace lumetra
