#include "app/check_command.h"

#include "app/scanner_port.h"
#include "scanner/serial_settings.h"
#include "shell/workstation_check.h"

#include <cstdio>

#ifdef _WIN32
#include <windows.h>
#endif

namespace lumetra {

int runWorkstationCheck(const ProgramEnvironment& setup, bool json) {
#ifdef _WIN32
    // A program without a console of its own answers in the console it was started from.
    if (AttachConsole(ATTACH_PARENT_PROCESS)) {
        std::freopen("CONOUT$", "w", stdout);
        std::freopen("CONOUT$", "w", stderr);
    }
#endif
    PlatformAdapters platform(setup.environment, setup.executableFolder);
    IniFile ini(platform.profile());
    const auto port = makeScannerPort(platform, [&](int number) {
        return ini.readString(kMainSection, scannerDeviceKey(number),
                              platform.defaultScannerDevice(number));
    });
    const auto probe = platform.workstationProbe();
    WorkstationCheck check(platform.paths(), ini, platform.fileProbe(), *probe, *port,
                           operatorLogPath(setup.environment, platform.paths()));
    const std::vector<Finding> findings = check.run();
    const std::string report = json ? checkReportJson(findings) : checkReportText(findings);
    std::fputs(report.c_str(), stdout);
    std::fflush(stdout);
    return checkExitStatus(findings);
}

} // namespace lumetra
