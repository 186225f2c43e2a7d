#include "faults/fault_shim.h"

#include <cerrno>
#include <csignal>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <string>
#include <sys/types.h>
#include <unistd.h>

namespace {

struct Fault {
    std::string operation;
    int n = 0;
    int error = 0;
    std::string pathText;
    bool sticky = false;
    int seen = 0;
    int hits = 0;
};

Fault g_fault;
bool g_fromEnvironment = false;
std::string g_lastOpenPath;
int g_lastOpenFlags = -1;

void readEnvironment() {
    if (g_fromEnvironment)
        return;
    g_fromEnvironment = true;
    const char* spec = std::getenv("LUMETRA_FAULT");
    if (spec == nullptr)
        return;
    char operation[16] = {};
    int n = 0;
    int error = 0;
    char path[256] = {};
    if (std::sscanf(spec, "%15[^:]:%d:%d:%255s", operation, &n, &error, path) == 4)
        lumetraFaultSet(operation, n, error, path, 1);
}

std::string pathOf(int fd) {
    char link[64];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    char target[4096];
    const ssize_t length = ::readlink(link, target, sizeof target - 1);
    return length > 0 ? std::string(target, static_cast<std::size_t>(length)) : std::string{};
}

// True when this call is to fail (errno is then set).
bool strikes(const char* operation, const std::string& path) {
    readEnvironment();
    if (g_fault.operation != operation || g_fault.pathText.empty() ||
        path.find(g_fault.pathText) == std::string::npos)
        return false;
    ++g_fault.seen;
    if (g_fault.seen == g_fault.n || (g_fault.sticky && g_fault.seen > g_fault.n)) {
        ++g_fault.hits;
        if (g_fault.error == 0)
            ::kill(::getpid(), SIGKILL);
        errno = g_fault.error;
        return true;
    }
    return false;
}

template <typename Function> Function real(const char* name) {
    return reinterpret_cast<Function>(::dlsym(RTLD_NEXT, name));
}

} // namespace

extern "C" {

void lumetraFaultSet(const char* operation, int n, int error, const char* pathText, int sticky) {
    g_fromEnvironment = true;
    g_fault = Fault{operation, n, error, pathText, sticky != 0, 0, 0};
}

void lumetraFaultClear() {
    g_fromEnvironment = true;
    g_fault = Fault{};
}

int lumetraFaultHits() {
    return g_fault.hits;
}

int lumetraOpenFlags(const char* pathText) {
    return g_lastOpenPath.find(pathText) != std::string::npos ? g_lastOpenFlags : -1;
}

int open(const char* path, int flags, ...) {
    mode_t mode = 0;
    if ((flags & O_CREAT) != 0) {
        va_list arguments;
        va_start(arguments, flags);
        mode = static_cast<mode_t>(va_arg(arguments, int));
        va_end(arguments);
    }
    if ((flags & (O_WRONLY | O_RDWR)) != 0) {
        g_lastOpenPath = path;
        g_lastOpenFlags = flags;
        if (strikes("open", path))
            return -1;
    }
    return real<int (*)(const char*, int, ...)>("open")(path, flags, mode);
}

ssize_t write(int fd, const void* data, size_t size) {
    if (fd > 2 && strikes("write", pathOf(fd))) {
        // A full disk takes part of the data before it refuses the rest.
        if (g_fault.error == ENOSPC && size > 1) {
            const ssize_t part =
                real<ssize_t (*)(int, const void*, size_t)>("write")(fd, data, size / 2);
            if (part > 0)
                return part;
            errno = ENOSPC;
        }
        return -1;
    }
    return real<ssize_t (*)(int, const void*, size_t)>("write")(fd, data, size);
}

int fsync(int fd) {
    if (strikes("fsync", pathOf(fd)))
        return -1;
    return real<int (*)(int)>("fsync")(fd);
}

int close(int fd) {
    const bool fail = fd > 2 && strikes("close", pathOf(fd));
    const int result = real<int (*)(int)>("close")(fd);
    if (fail) {
        errno = g_fault.error;
        return -1;
    }
    return result;
}

int rename(const char* from, const char* to) {
    if (strikes("rename", std::string(from) + "\n" + to))
        return -1;
    return real<int (*)(const char*, const char*)>("rename")(from, to);
}

int unlink(const char* path) {
    if (strikes("unlink", path))
        return -1;
    return real<int (*)(const char*)>("unlink")(path);
}

int ftruncate(int fd, off_t length) {
    if (strikes("ftruncate", pathOf(fd)))
        return -1;
    return real<int (*)(int, off_t)>("ftruncate")(fd, length);
}
}
