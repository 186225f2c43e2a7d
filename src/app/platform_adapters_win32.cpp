// Windows: the system's profile functions, COM automation, SendInput and crush32.dll.
// The host simulator answers only when asked for (LUMETRA_HOST=simulator).
#include "app/platform_adapters.h"
#include "platform/files.h"
#include "platform/sim/deflate_codec.h"
#include "platform/win32/com_automation.h"
#include "platform/win32/crush32_library.h"
#include "platform/win32/helper_compression.h"
#include "platform/win32/win32_desktop.h"
#include "platform/win32/win32_file_probe.h"
#include "platform/win32/win32_instance_guard.h"
#include "platform/win32/win32_paths.h"
#include "platform/win32/win32_profile.h"
#include "platform/win32/win32_workstation_probe.h"
#include "programs/payload_expander.h"

#include <windows.h>

namespace lumetra {

namespace {

std::string compressionDll(const Environment& environment) {
    return environment("LUMETRA_COMPRESSION_DLL").value_or("crush32.dll");
}

// The helper of the 32-bit library's width, beside the program.
std::string expandHelper() {
    return win32ExecutableFolder() + "\\lumetra-expand32.exe";
}

} // namespace

PlatformAdapters::PlatformAdapters(Environment environment, std::string executableFolder)
    : m_environment(std::move(environment)),
      m_paths(std::make_unique<Win32Paths>(m_environment, std::move(executableFolder))),
      m_profile(std::make_unique<Win32Profile>()), m_probe(std::make_unique<Win32FileProbe>()),
      m_guard(std::make_unique<Win32InstanceGuard>(m_paths->programFolder())) {}

PlatformAdapters::~PlatformAdapters() = default;

bool PlatformAdapters::hostIsSimulated() const {
    return m_environment("LUMETRA_HOST").value_or("") == "simulator";
}

std::unique_ptr<Automation> PlatformAdapters::hostAutomation(const std::function<void()>& onBusy) {
    if (hostIsSimulated())
        return nullptr;
    return std::make_unique<ComAutomation>(onBusy);
}

std::unique_ptr<Desktop> PlatformAdapters::desktop(PlatformLog& log) {
    return std::make_unique<Win32Desktop>(log);
}

std::unique_ptr<CompressionLibrary> PlatformAdapters::compression(PlatformLog& log) {
    const std::string name = compressionDll(m_environment);
    LoadedCompression loaded = loadCrush32(name);
    if (loaded.library) {
        log.info("compression library loaded in process: " + name);
        return std::move(loaded.library);
    }
    if (loaded.otherWidth) {
        // The workstation's library is most likely a 32-bit DLL: a helper of its width
        // expands the payloads, through the compressed scans' own temporary folder.
        const std::string helper = expandHelper();
        if (GetFileAttributesW(fileSystemPath(helper).c_str()) != INVALID_FILE_ATTRIBUTES) {
            log.info(loaded.failure + "; compressed scans are expanded through " + helper);
            const std::string folder = m_paths->map(kCompressedTempPath);
            return std::make_unique<HelperCompression>(
                helper, loaded.file, nativePathText(fileSystemPath(folder).parent_path()), log);
        }
        log.error(loaded.failure + ", and " + helper + " is missing");
    }
    log.error(loaded.failure + "; compressed scans are expanded as raw DEFLATE");
    return std::make_unique<DeflateLibrary>();
}

std::string PlatformAdapters::defaultScannerDevice(int port) const {
    return "COM" + std::to_string(port);
}

std::optional<DeviceFault> PlatformAdapters::scannerDeviceProblem(const std::string&) const {
    return std::nullopt; // COM ports are opened by name; the system's error tells
}

std::unique_ptr<WorkstationProbe> PlatformAdapters::workstationProbe() const {
    return std::make_unique<Win32WorkstationProbe>(compressionDll(m_environment), expandHelper());
}

std::string executableFolder() {
    return win32ExecutableFolder();
}

} // namespace lumetra
