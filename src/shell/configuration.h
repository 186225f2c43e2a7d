// The configuration read at start-up from ORX.INI.
#pragma once

#include "shell/file_checker.h"
#include "shell/ini_file.h"
#include "shell/panel.h"

#include <cstdint>
#include <string>

namespace lumetra {

struct Configuration {
    std::string iniPath;
    std::string windowsDir;
    bool consolePresent = false;
    bool cncSuffixMode = false;
    std::string serialSettings;
    std::string gcodePath;
    std::int16_t commPort = 1;
    int pollInterval = 1000;
    std::string csvInPath;
    std::string csvOutPath;
    std::string exclusionSetting;
};

inline constexpr int kDefaultPollInterval = 1000;
inline constexpr int kSmallestPollInterval = 100;

// Reads every key into `config` (whose consolePresent is already settled) and points
// `ini` at the file found. False when there is no ORX.INI (after telling the operator).
class ConfigurationLoader {
public:
    ConfigurationLoader(Paths& paths, FileChecker& files, Dialogs& dialogs, Panel& panel);
    bool loadConfiguration(Configuration& config, IniFile& ini);

private:
    static std::string folderValue(const IniFile& ini, std::string_view key,
                                   std::string_view defaultValue);
    Paths& m_paths;
    FileChecker& m_files;
    Dialogs& m_dialogs;
    Panel& m_panel;
};

// Surrounding spaces removed, then one trailing backslash; an empty value stays empty.
std::string normaliseFolderValue(std::string_view value);

} // namespace lumetra
