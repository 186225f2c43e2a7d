// Linux: the portable profile functions, the POSIX stand-ins and the host simulator.
#include "app/platform_adapters.h"
#include "platform/portable/portable_profile.h"
#include "platform/posix/posix_desktop.h"
#include "platform/posix/posix_file_probe.h"
#include "platform/posix/posix_instance_guard.h"
#include "platform/posix/posix_paths.h"
#include "platform/posix/posix_serial_device.h"
#include "platform/posix/posix_workstation_probe.h"
#include "platform/sim/deflate_codec.h"

namespace lumetra {

PlatformAdapters::PlatformAdapters(Environment environment, std::string executableFolder)
    : m_environment(std::move(environment)),
      m_paths(std::make_unique<PosixPaths>(m_environment, std::move(executableFolder))),
      m_profile(std::make_unique<PortableProfile>(m_paths->windowsDirectory())),
      m_probe(std::make_unique<PosixFileProbe>()),
      m_guard(std::make_unique<PosixInstanceGuard>(
          m_environment("XDG_RUNTIME_DIR").value_or("/tmp"),
          m_environment("XDG_CACHE_HOME")
                  .value_or(m_environment("HOME").value_or("/tmp") + "/.cache") +
              "/lumetra",
          m_paths->programFolder())) {}

PlatformAdapters::~PlatformAdapters() = default;

bool PlatformAdapters::hostIsSimulated() const {
    return true;
}

std::unique_ptr<Automation> PlatformAdapters::hostAutomation(const std::function<void()>&) {
    return nullptr;
}

std::unique_ptr<Desktop> PlatformAdapters::desktop(PlatformLog& log) {
    return std::make_unique<PosixDesktop>(*m_paths, log, m_environment("DISPLAY").value_or(""));
}

std::unique_ptr<CompressionLibrary> PlatformAdapters::compression(PlatformLog&) {
    return std::make_unique<DeflateLibrary>();
}

std::string PlatformAdapters::defaultScannerDevice(int port) const {
    return "/dev/ttyS" + std::to_string(port - 1);
}

std::optional<DeviceFault> PlatformAdapters::scannerDeviceProblem(const std::string& device) const {
    return serialDeviceProblem(device);
}

std::string executableFolder() {
    return posixExecutableFolder();
}

std::unique_ptr<WorkstationProbe> PlatformAdapters::workstationProbe() const {
    return std::make_unique<PosixWorkstationProbe>();
}

} // namespace lumetra
