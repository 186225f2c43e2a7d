// What the workstation check asks the system, changing nothing: the scanner's device,
// folders and files that must take writes, programs that must run, and what only one
// platform can tell (the host's classes, the compression library).
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace lumetra {

enum class Verdict { Ok, Warning, Error };

// "ok", "warning" or "error", as the check's report and the operator log write it.
constexpr const char* verdictName(Verdict verdict) {
    return verdict == Verdict::Error ? "error" : verdict == Verdict::Warning ? "warning" : "ok";
}

// One line of the check: what it is about, what was found, and for a warning or an error
// what to do.
struct Finding {
    Verdict verdict = Verdict::Ok;
    std::string item;
    std::string text;
    std::string remedy;
};

struct DeviceState {
    bool present = false;
    bool serial = false;     // a character device (Linux) or a port the system knows
    std::string groupToJoin; // the user may not open it; the device's group ("dialout")
    std::string heldBy;      // another program holds it, as far as the system tells
    std::string userName;    // who runs the check
};

class WorkstationProbe {
public:
    virtual ~WorkstationProbe() = default;
    // Looked at without being opened.
    virtual DeviceState scannerDevice(const std::string& device) = 0;
    // Why the folder cannot take new files (missing, not a folder, not writable).
    virtual std::optional<std::string> folderProblem(const std::string& nativeFolder) = 0;
    // Why the file cannot be replaced by a new one beside it.
    virtual std::optional<std::string> fileWriteProblem(const std::string& nativeFile) = 0;
    // Why the program cannot be started (missing, not a program).
    virtual std::optional<std::string> programProblem(const std::string& nativeFile) = 0;
    // The host application's classes (registered, nothing created) and the compression
    // library, as this platform has them.
    virtual std::vector<Finding> platformFindings(const std::vector<std::string>& hostClasses) = 0;
};

} // namespace lumetra
