#include "platform/posix/posix_workstation_probe.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lumetra {

namespace {

std::string processName(const std::string& pid) {
    std::ifstream comm("/proc/" + pid + "/comm");
    std::string name;
    std::getline(comm, name);
    return (name.empty() ? "a program" : name) + " (pid " + pid + ")";
}

// The processes this user may see that hold `device` open. The other end of a
// pseudo-terminal (a scanner simulator) holds its slave too, to keep what it sent: it holds
// the multiplexer as well, and is no competing reader.
std::string holdersOf(const std::string& device) {
    char resolved[PATH_MAX];
    if (::realpath(device.c_str(), resolved) == nullptr)
        return {};
    const std::string wanted = resolved;
    const std::string self = std::to_string(::getpid());
    std::string holders;
    DIR* processes = ::opendir("/proc");
    if (processes == nullptr)
        return {};
    while (const dirent* process = ::readdir(processes)) {
        const std::string pid = process->d_name;
        if (pid.empty() || pid.find_first_not_of("0123456789") != std::string::npos || pid == self)
            continue;
        const std::string fds = "/proc/" + pid + "/fd";
        DIR* open = ::opendir(fds.c_str());
        if (open == nullptr)
            continue;
        bool holds = false;
        bool otherEnd = false;
        while (const dirent* fd = ::readdir(open)) {
            char target[PATH_MAX];
            const std::string link = fds + "/" + fd->d_name;
            const ssize_t length = ::readlink(link.c_str(), target, sizeof target - 1);
            const std::string held =
                length > 0 ? std::string(target, static_cast<std::size_t>(length)) : std::string();
            holds = holds || held == wanted;
            otherEnd = otherEnd || (held == "/dev/ptmx" && wanted.rfind("/dev/pts/", 0) == 0);
        }
        ::closedir(open);
        if (holds && !otherEnd)
            holders += (holders.empty() ? "" : ", ") + processName(pid);
    }
    ::closedir(processes);
    return holders;
}

// A UUCP lock file of another program (/var/lock/LCK..ttyUSB0 holding its pid).
std::string lockHolder(const std::string& device) {
    const std::string name = device.substr(device.rfind('/') + 1);
    for (const char* folder : {"/var/lock", "/run/lock"}) {
        std::ifstream lock(std::string(folder) + "/LCK.." + name);
        std::string pid;
        if (lock >> pid && pid != std::to_string(::getpid()) &&
            ::access(("/proc/" + pid).c_str(), F_OK) == 0)
            return processName(pid) + ", by its lock file";
    }
    return {};
}

std::string userName() {
    const passwd* user = ::getpwuid(::geteuid());
    return user != nullptr ? user->pw_name : std::to_string(::geteuid());
}

} // namespace

DeviceState PosixWorkstationProbe::scannerDevice(const std::string& device) {
    DeviceState state;
    state.userName = userName();
    struct stat status {};
    if (::stat(device.c_str(), &status) != 0)
        return state;
    state.present = true;
    state.serial = S_ISCHR(status.st_mode);
    if (!state.serial)
        return state;
    if (::access(device.c_str(), R_OK | W_OK) != 0 && errno == EACCES) {
        const group* owner = ::getgrgid(status.st_gid);
        state.groupToJoin = owner != nullptr ? owner->gr_name : std::to_string(status.st_gid);
        return state;
    }
    state.heldBy = holdersOf(device);
    if (state.heldBy.empty())
        state.heldBy = lockHolder(device);
    return state;
}

std::optional<std::string> PosixWorkstationProbe::folderProblem(const std::string& nativeFolder) {
    struct stat status {};
    if (::stat(nativeFolder.c_str(), &status) != 0)
        return errno == ENOENT ? std::string("it does not exist") : std::strerror(errno);
    if (!S_ISDIR(status.st_mode))
        return std::string("it is not a folder");
    if (::access(nativeFolder.c_str(), W_OK | X_OK) != 0)
        return "user " + userName() + " cannot write into it (" + std::strerror(errno) + ")";
    return std::nullopt;
}

std::optional<std::string> PosixWorkstationProbe::fileWriteProblem(const std::string& nativeFile) {
    // A file is replaced through a new one beside it: its folder must take new files.
    const std::string folder = nativeFile.substr(0, nativeFile.rfind('/') + 1);
    if (auto problem = folderProblem(folder.empty() ? "." : folder))
        return "its folder: " + *problem;
    struct stat status {};
    if (::stat(nativeFile.c_str(), &status) == 0 && ::access(nativeFile.c_str(), W_OK) != 0)
        return "user " + userName() + " may not write it (" + std::strerror(errno) + ")";
    return std::nullopt;
}

std::optional<std::string> PosixWorkstationProbe::programProblem(const std::string& nativeFile) {
    struct stat status {};
    if (::stat(nativeFile.c_str(), &status) != 0)
        return errno == ENOENT ? std::string("it does not exist") : std::strerror(errno);
    if (!S_ISREG(status.st_mode))
        return std::string("it is not a file");
    if (::access(nativeFile.c_str(), X_OK) != 0)
        return std::string("it cannot be run (no execute permission)");
    return std::nullopt;
}

std::vector<Finding> PosixWorkstationProbe::platformFindings(const std::vector<std::string>&) {
    return {
        {Verdict::Ok, "host application", "the built-in host simulator stands in on Linux", {}},
        {Verdict::Ok, "compressed scans", "expanded as raw DEFLATE, the stand-in on Linux", {}}};
}

} // namespace lumetra
