// The adapters behind the platform interfaces. This and its two implementations (one
// per platform, chosen by the build) are the only code that knows which platform the
// program runs on.
#pragma once

#include "common/environment.h"
#include "platform/automation.h"
#include "platform/compression.h"
#include "platform/desktop.h"
#include "platform/file_probe.h"
#include "platform/instance_guard.h"
#include "platform/paths.h"
#include "platform/platform_log.h"
#include "platform/profile.h"
#include "platform/serial_port.h"
#include "platform/workstation_probe.h"

#include <functional>
#include <memory>
#include <string>

namespace lumetra {

class PlatformAdapters {
public:
    PlatformAdapters(Environment environment, std::string executableFolder);
    ~PlatformAdapters();
    PlatformAdapters(const PlatformAdapters&) = delete;
    PlatformAdapters& operator=(const PlatformAdapters&) = delete;

    Paths& paths() { return *m_paths; }
    Profile& profile() { return *m_profile; }
    FileProbe& fileProbe() { return *m_probe; }
    InstanceGuard& instanceGuard() { return *m_guard; }

    // Whether the host is the built-in simulator: always on Linux; on Windows only when
    // LUMETRA_HOST is "simulator".
    bool hostIsSimulated() const;
    // The host application's automation when it is not simulated (COM); else none.
    // `onBusy` is told when a call waits for a host that is busy for a moment.
    std::unique_ptr<Automation> hostAutomation(const std::function<void()>& onBusy);
    std::unique_ptr<Desktop> desktop(PlatformLog& log);
    // The compression library when it loads (Windows), else the DEFLATE stand-in; the
    // log is told which, and why.
    std::unique_ptr<CompressionLibrary> compression(PlatformLog& log);
    // The device of COM<port> when the INI names none.
    std::string defaultScannerDevice(int port) const;
    // What keeps the scanner's device from being opened that the operator can act on,
    // told before the port is tried; none when the port itself is to tell.
    std::optional<DeviceFault> scannerDeviceProblem(const std::string& device) const;
    // What the workstation check asks the system.
    std::unique_ptr<WorkstationProbe> workstationProbe() const;

private:
    Environment m_environment;
    std::unique_ptr<Paths> m_paths;
    std::unique_ptr<Profile> m_profile;
    std::unique_ptr<FileProbe> m_probe;
    std::unique_ptr<InstanceGuard> m_guard;
};

// The folder of the running executable.
std::string executableFolder();

} // namespace lumetra
