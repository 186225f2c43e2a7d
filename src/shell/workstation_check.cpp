#include "shell/workstation_check.h"

#include "base/file_checker.h"
#include "base/logged_dialogs.h"
#include "common/code_page.h"
#include "common/errors.h"
#include "platform/automation.h"
#include "platform/files.h"
#include "programs/editor_launcher.h"
#include "programs/payload_expander.h"
#include "scanner/serial_settings.h"
#include "shell/configuration_loader.h"
#include "shell/setup_review.h"

#include <algorithm>
#include <cstdio>

namespace lumetra {

namespace {

std::string folderOf(const std::string& nativePath) {
    return nativePathText(fileSystemPath(nativePath).parent_path());
}

std::string jsonText(std::string_view codePageText) {
    std::string text = "\"";
    for (const char c : codePageToUtf8(codePageText)) {
        if (c == '"' || c == '\\') {
            text += '\\';
            text += c;
        } else if (c >= 0 && c < ' ') {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            text += escaped;
        } else {
            text += c;
        }
    }
    return text + "\"";
}

std::size_t countOf(const std::vector<Finding>& findings, Verdict verdict) {
    return static_cast<std::size_t>(std::count_if(
        findings.begin(), findings.end(), [&](const Finding& f) { return f.verdict == verdict; }));
}

} // namespace

WorkstationCheck::WorkstationCheck(Paths& paths, IniFile& ini, FileProbe& files,
                                   WorkstationProbe& probe, SerialPort& port, std::string logPath)
    : m_paths(paths), m_ini(ini), m_files(files), m_probe(probe), m_port(port),
      m_logPath(std::move(logPath)) {}

std::vector<Finding> WorkstationCheck::run() {
    std::vector<Finding> findings;
    UnattendedDialogs dialogs;
    FileChecker files(m_files, m_paths, dialogs);
    WindowlessPanel panel;
    OperatorLog noLog;
    Configuration config;
    config.host.consolePresent = files.fileExists(m_paths.programFolder() + "\\pultano.exe");
    bool loaded = false;
    try {
        loaded = ConfigurationLoader(m_paths, files, dialogs, panel, noLog)
                     .loadConfiguration(config, m_ini);
    } catch (const UnexpectedError& error) {
        loaded = true; // every key was read; the value that start-up refuses is told below
        findings.push_back(
            {Verdict::Error, "CommPort",
             "start-up ends with \"" + unexpectedErrorText(error.number(), error.what()) + "\"",
             "give a port number from 1 to 16"});
    }
    if (!loaded) {
        findings.push_back({Verdict::Error, "ORX.INI",
                            "not found: looked for " +
                                m_paths.map(m_paths.programFolder() + "\\ORX.INI") + " and " +
                                m_paths.map(config.windowsDir + "\\ORX.INI"),
                            "copy ORX.INI.sample to the program folder as ORX.INI and set it"});
        return findings;
    }
    const ProfileOutline outline = m_ini.outline();
    const std::vector<SettingUse> uses = everySettingUse(m_ini, outline, m_paths, config);
    for (Finding& finding : reviewIniFile(m_ini.path(), outline, uses))
        findings.push_back(std::move(finding));
    for (const SettingUse& use : uses)
        findings.push_back(
            {Verdict::Ok,
             use.section == kMainSection ? use.key : use.key + " [" + use.section + "]",
             (use.value.empty() ? "(empty)" : use.value) +
                 (use.fromFile ? " (from ORX.INI)" : " (default)"),
             {}});
    if (auto problem = m_probe.fileWriteProblem(m_ini.path()))
        findings.push_back({Verdict::Warning, "ORX.INI",
                            m_ini.path() + " cannot be written: " + *problem +
                                "; option clicks and the dialogs' settings are not kept",
                            "let the operator's user write the file and its folder"});
    checkScanner(config, findings);
    checkFolders(config, findings);

    const std::string editor = m_paths.map(kEditorPath);
    if (config.host.cncSuffixMode)
        findings.push_back({Verdict::Ok, "editor", "not used in the .CNC variant", {}});
    else if (auto problem = m_probe.programProblem(editor))
        findings.push_back({Verdict::Error, "editor",
                            std::string(kEditorPath) + " (" + editor + "): " + *problem,
                            "install the program editor there"});
    else
        findings.push_back({Verdict::Ok, "editor", editor + " can be started", {}});

    std::vector<std::string> classes{std::string(host_class::kApplication)};
    if (config.host.consolePresent) {
        classes.emplace_back(host_class::kConsoleApplication);
        classes.emplace_back(host_class::kConsoleWorkList);
    } else {
        classes.emplace_back(host_class::kWorkList);
    }
    for (Finding& finding : m_probe.platformFindings(classes))
        findings.push_back(std::move(finding));
    return findings;
}

void WorkstationCheck::checkScanner(const Configuration& config, std::vector<Finding>& findings) {
    const auto settings = parseLineSettings(config.serialSettings);
    if (!settings)
        findings.push_back({Verdict::Error, "Settings",
                            config.serialSettings +
                                " is refused by the port: \"Unexpected error # 380 occured: "
                                "Invalid property value\" at start-up",
                            std::string(kLineSettingsForm)});
    const std::string port = "COM" + std::to_string(config.commPort);
    const std::string key = scannerDeviceKey(config.commPort);
    const std::string device = m_port.deviceOf(config.commPort);
    const DeviceState state = m_probe.scannerDevice(device);
    const std::string item = "scanner device";
    if (!state.present) {
        findings.push_back(
            {Verdict::Error, item, device + " (" + port + ") is missing",
             "plug the scanner in, or set " + key + "= to its device (ls -l /dev/serial/by-id/)"});
    } else if (!state.serial) {
        findings.push_back({Verdict::Error, item, device + " (" + port + ") is not a serial device",
                            "set " + key + "= to the scanner's device"});
    } else if (!state.groupToJoin.empty()) {
        findings.push_back(
            {Verdict::Error, item,
             "user " + state.userName + " may not open " + device + " (" + port + ")",
             "sudo adduser " + state.userName + " " + state.groupToJoin + ", then log in again"});
    } else if (!state.heldBy.empty()) {
        findings.push_back({Verdict::Error, item,
                            device + " (" + port + ") is busy: held by " + state.heldBy,
                            "end that program, or give the scanner a port of its own"});
    } else if (settings) {
        try {
            m_port.open(config.commPort, *settings);
            m_port.close();
            findings.push_back(
                {Verdict::Ok,
                 item,
                 device + " (" + port + ") opened and closed with " + config.serialSettings,
                 {}});
        } catch (const UnexpectedError& error) {
            findings.push_back({Verdict::Error, item, port + " cannot be opened: " + error.what(),
                                "set " + key + "= to the scanner's device"});
        }
    } else {
        findings.push_back({Verdict::Ok, item, device + " (" + port + ") is present", {}});
    }
}

void WorkstationCheck::checkFolder(const std::string& item, const std::string& folder,
                                   std::vector<Finding>& findings) {
    if (auto problem = m_probe.folderProblem(folder))
        findings.push_back({Verdict::Error, item, folder + ": " + *problem,
                            "create it and let the operator's user write into it"});
    else
        findings.push_back({Verdict::Ok, item, folder + " takes new files", {}});
}

void WorkstationCheck::checkFolders(const Configuration& config, std::vector<Finding>& findings) {
    const auto programFolder = reviewProgramFolder(config, m_paths, Verdict::Error);
    findings.insert(findings.end(), programFolder.begin(), programFolder.end());
    if (programFolder.empty())
        checkFolder("GCodePath", m_paths.map(config.gcodePath), findings);
    checkFolder("CSVInPath", m_paths.map(config.csvInPath), findings);
    checkFolder("CSVOutPath", folderOf(m_paths.map(config.csvOutPath)), findings);
    checkFolder("operator log", folderOf(m_logPath), findings);
    // The compressed scans' folder is made when it is first needed.
    std::string temporary = folderOf(m_paths.map(kCompressedTempPath));
    std::error_code error;
    while (!std::filesystem::exists(fileSystemPath(temporary), error) &&
           folderOf(temporary) != temporary)
        temporary = folderOf(temporary);
    checkFolder("compressed scans", temporary, findings);
}

std::string checkReportText(const std::vector<Finding>& findings) {
    std::string text;
    for (const Finding& finding : findings) {
        std::string line = verdictName(finding.verdict);
        line.resize(8, ' ');
        line += finding.item + ": " + finding.text;
        if (!finding.remedy.empty())
            line += "; to do: " + finding.remedy;
        text += codePageToUtf8(line) + "\n";
    }
    const std::size_t errors = countOf(findings, Verdict::Error);
    const std::size_t warnings = countOf(findings, Verdict::Warning);
    text += std::to_string(errors) + " error(s), " + std::to_string(warnings) + " warning(s): " +
            (errors == 0 ? "the workstation is ready" : "the workstation is not ready") + "\n";
    return text;
}

std::string checkReportJson(const std::vector<Finding>& findings) {
    const std::size_t errors = countOf(findings, Verdict::Error);
    std::string json = std::string("{\"ready\": ") + (errors == 0 ? "true" : "false") +
                       ", \"errors\": " + std::to_string(errors) +
                       ", \"warnings\": " + std::to_string(countOf(findings, Verdict::Warning)) +
                       ", \"items\": [";
    for (std::size_t i = 0; i < findings.size(); ++i) {
        const Finding& finding = findings[i];
        json += std::string(i == 0 ? "\n" : ",\n") +
                "  {\"status\": " + jsonText(verdictName(finding.verdict)) +
                ", \"item\": " + jsonText(finding.item) + ", \"text\": " + jsonText(finding.text) +
                ", \"remedy\": " + jsonText(finding.remedy) + "}";
    }
    return json + "\n]}\n";
}

int checkExitStatus(const std::vector<Finding>& findings) {
    return countOf(findings, Verdict::Error) == 0 ? 0 : 1;
}

} // namespace lumetra
