#include "e2e/harness.h"

#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace lumetra::e2e {

namespace {

std::vector<std::string> mergedEnvironment(const std::map<std::string, std::string>& overrides) {
    std::map<std::string, std::string> values;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string text(*entry);
        const auto equals = text.find('=');
        if (equals != std::string::npos)
            values[text.substr(0, equals)] = text.substr(equals + 1);
    }
    for (const auto& [name, value] : overrides)
        values[name] = value;
    std::vector<std::string> result;
    for (const auto& [name, value] : values)
        result.push_back(name + "=" + value);
    return result;
}

int spawn(const std::vector<std::string>& argv, const std::map<std::string, std::string>& env,
          int stdoutFd, int stderrFd = -1) {
    std::vector<std::string> environment = mergedEnvironment(env);
    std::vector<char*> args;
    for (const auto& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    std::vector<char*> envp;
    for (auto& entry : environment)
        envp.push_back(entry.data());
    envp.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int devnull = ::open("/dev/null", O_RDWR);
        ::dup2(devnull, STDIN_FILENO);
        ::dup2(stdoutFd >= 0 ? stdoutFd : devnull, STDOUT_FILENO);
        ::dup2(stderrFd >= 0 ? stderrFd : devnull, STDERR_FILENO);
        // The test's own descriptors (pseudo-terminals above all) stay with the test.
        for (int fd = STDERR_FILENO + 1; fd < 1024; ++fd)
            ::close(fd);
        ::execve(args[0], args.data(), envp.data());
        ::_exit(127);
    }
    return pid;
}

} // namespace

std::string binary(const std::string& name) {
    return std::string(LUMETRA_BIN_DIR) + "/" + name;
}

CommandResult runCommand(const std::vector<std::string>& argv,
                         const std::map<std::string, std::string>& environment) {
    int fds[2];
    if (::pipe(fds) != 0)
        return {};
    int errors[2];
    if (::pipe(errors) != 0)
        return {};
    const int pid = spawn(argv, environment, fds[1], errors[1]);
    ::close(fds[1]);
    ::close(errors[1]);
    CommandResult result;
    char buffer[4096];
    ssize_t n = 0;
    while ((n = ::read(fds[0], buffer, sizeof buffer)) > 0)
        result.out.append(buffer, static_cast<std::size_t>(n));
    while ((n = ::read(errors[0], buffer, sizeof buffer)) > 0)
        result.err.append(buffer, static_cast<std::size_t>(n));
    ::close(fds[0]);
    ::close(errors[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

Workspace::Workspace() {
    std::filesystem::create_directories(programDir());
    std::filesystem::create_directories(windowsDir());
    for (char letter : std::string("cd"))
        std::filesystem::create_directories(drive(letter));
}

void Workspace::writeIni(const std::string& text) const {
    testing::writeFile(iniPath(), text);
}

std::string Workspace::log() const {
    return testing::readFile(logPath());
}

std::map<std::string, std::string> Workspace::environment() const {
    return {{"LUMETRA_PROGRAM_DIR", programDir()},
            {"LUMETRA_WINDOWS_DIR", windowsDir()},
            {"LUMETRA_LOG", logPath()},
            {"LUMETRA_HOST_JOURNAL", journalPath()},
            {"LUMETRA_DRIVE_C", drive('c')},
            {"LUMETRA_DRIVE_D", drive('d')},
            {"LUMETRA_UNATTENDED", "1"},
            {"QT_QPA_PLATFORM", "offscreen"},
            {"XDG_RUNTIME_DIR", programDir()}};
}

ProgramRun::ProgramRun(const Workspace& workspace,
                       const std::map<std::string, std::string>& extra) {
    auto env = workspace.environment();
    for (const auto& [name, value] : extra)
        env[name] = value;
    m_pid = spawn({binary("lumetra")}, env, -1);
}

ProgramRun::~ProgramRun() {
    stop();
}

std::optional<int> ProgramRun::waitForExit(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!m_exitCode && std::chrono::steady_clock::now() < deadline) {
        if (!running())
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return m_exitCode;
}

bool ProgramRun::running() {
    if (m_exitCode || m_pid <= 0)
        return false;
    int status = 0;
    if (::waitpid(m_pid, &status, WNOHANG) == m_pid) {
        m_exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        return false;
    }
    return true;
}

void ProgramRun::signal(int number) {
    if (running())
        ::kill(m_pid, number);
}

void ProgramRun::stop() {
    if (!running())
        return;
    ::kill(m_pid, SIGTERM);
    if (!waitForExit(std::chrono::seconds(5))) {
        ::kill(m_pid, SIGKILL);
        waitForExit(std::chrono::seconds(5));
    }
}

bool waitForText(const std::string& file, const std::string& needle,
                 std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    do {
        if (testing::readFile(file).find(needle) != std::string::npos)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    } while (std::chrono::steady_clock::now() < deadline);
    return false;
}

namespace {

// Milliseconds since midnight of the log line that holds `text`.
std::optional<long> timeOfLine(const std::string& log, const std::string& text) {
    const auto at = log.find(text);
    if (at == std::string::npos)
        return std::nullopt;
    const auto start = log.rfind('\n', at);
    const std::string stamp = log.substr(start == std::string::npos ? 0 : start + 1, 23);
    if (stamp.size() < 23)
        return std::nullopt; // 2026-12-08T22:19:40.760
    return ((std::stol(stamp.substr(11, 2)) * 60 + std::stol(stamp.substr(14, 2))) * 60 +
            std::stol(stamp.substr(17, 2))) *
               1000 +
           std::stol(stamp.substr(20, 3));
}

} // namespace

std::optional<long> millisecondsBetween(const std::string& log, const std::string& first,
                                        const std::string& second) {
    const auto from = timeOfLine(log, first);
    const auto to = timeOfLine(log, second);
    if (!from || !to)
        return std::nullopt;
    return *to - *from;
}

} // namespace lumetra::e2e
