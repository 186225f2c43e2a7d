// Start-up's reading of ORX.INI into the configuration record.
#pragma once

#include "base/configuration.h"
#include "base/file_checker.h"
#include "base/ini_file.h"
#include "platform/panel.h"

#include <string>

namespace lumetra {

// Reads every key into `config` (whose console presence is already settled) and points
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
