// Runs the built programs as an operator's machine would: unattended, offscreen, in a
// temporary program folder, and reads what they leave behind.
#pragma once

#include "support/temp_dir.h"

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace lumetra::e2e {

std::string binary(const std::string& name);

struct CommandResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Runs a command to its end and returns its exit code and standard output.
CommandResult runCommand(const std::vector<std::string>& argv,
                         const std::map<std::string, std::string>& environment = {});

class Workspace {
public:
    Workspace();
    std::string programDir() const { return m_dir.file("program"); }
    std::string windowsDir() const { return m_dir.file("windows"); }
    std::string logPath() const { return m_dir.file("operator.log"); }
    std::string journalPath() const { return m_dir.file("journal.tsv"); }
    std::string drive(char letter) const { return m_dir.file(std::string("drive_") + letter); }
    std::string iniPath() const { return programDir() + "/ORX.INI"; }
    void writeIni(const std::string& text) const;
    std::string log() const;
    std::map<std::string, std::string> environment() const;

private:
    testing::TempDir m_dir;
};

class ProgramRun {
public:
    explicit ProgramRun(const Workspace& workspace,
                        const std::map<std::string, std::string>& extra = {});
    ~ProgramRun();
    ProgramRun(const ProgramRun&) = delete;
    ProgramRun& operator=(const ProgramRun&) = delete;

    // The exit code once the program ended by itself within the time, else none.
    std::optional<int> waitForExit(std::chrono::milliseconds timeout);
    bool running();
    int pid() const { return m_pid; }
    void signal(int number);
    void stop();

private:
    int m_pid = -1;
    std::optional<int> m_exitCode;
};

// Waits until `file` contains `needle` (true) or the time runs out (false).
bool waitForText(const std::string& file, const std::string& needle,
                 std::chrono::milliseconds timeout = std::chrono::seconds(15));

// The milliseconds between the operator log's lines that hold `first` and `second`, by the
// times the program wrote on them (a loaded test machine does not stretch it); none when
// either is missing.
std::optional<long> millisecondsBetween(const std::string& log, const std::string& first,
                                        const std::string& second);

} // namespace lumetra::e2e
