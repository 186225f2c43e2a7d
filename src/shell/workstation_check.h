// `lumetra --check`: reads the configuration exactly as start-up does and tells, item by
// item, whether the workstation will work: where ORX.INI is, every value and where it came
// from, the scanner's device, the folders, the editor and what only the platform knows.
// It creates no host object and writes no file; the port is opened and closed only when
// no other program holds it.
#pragma once

#include "base/configuration.h"
#include "base/ini_file.h"
#include "platform/file_probe.h"
#include "platform/paths.h"
#include "platform/serial_port.h"
#include "platform/workstation_probe.h"

#include <string>
#include <vector>

namespace lumetra {

class WorkstationCheck {
public:
    // `ini` is pointed at the file found; the port reads its device through it.
    WorkstationCheck(Paths& paths, IniFile& ini, FileProbe& files, WorkstationProbe& probe,
                     SerialPort& port, std::string logPath);

    std::vector<Finding> run();

private:
    void checkScanner(const Configuration& config, std::vector<Finding>& findings);
    void checkFolders(const Configuration& config, std::vector<Finding>& findings);
    void checkFolder(const std::string& item, const std::string& folder,
                     std::vector<Finding>& findings);

    Paths& m_paths;
    IniFile& m_ini;
    FileProbe& m_files;
    WorkstationProbe& m_probe;
    SerialPort& m_port;
    std::string m_logPath;
};

// One line per item ("ok      ", "warning ", "error   "), what to do after a warning or an
// error, and a last line that sums up; UTF-8.
std::string checkReportText(const std::vector<Finding>& findings);
// {"ready": …, "errors": n, "warnings": n, "items": [{"status", "item", "text", "remedy"}]}
std::string checkReportJson(const std::vector<Finding>& findings);
// 0 when nothing stops the workstation (warnings aside), else 1.
int checkExitStatus(const std::vector<Finding>& findings);

} // namespace lumetra
