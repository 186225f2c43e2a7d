// Start-up's reading of ORX.INI into the configuration record.
#pragma once

#include "base/configuration.h"
#include "base/file_checker.h"
#include "base/ini_file.h"
#include "platform/panel.h"

#include <string>

namespace lumetra {

// Reads every key into `config` (whose console presence is already settled) and points
// `ini` at the file found. False when there is no ORX.INI (after telling the operator, and
// the integrator in the log and on standard error where it was looked for).
class ConfigurationLoader {
public:
    ConfigurationLoader(Paths& paths, FileChecker& files, Dialogs& dialogs, Panel& panel,
                        OperatorLog& log);
    bool loadConfiguration(Configuration& config, IniFile& ini);

private:
    std::string lookedFor(const std::string& path) const;
    Paths& m_paths;
    FileChecker& m_files;
    Dialogs& m_dialogs;
    Panel& m_panel;
    OperatorLog& m_log;
};

// The reading of the keys alone, from the file `ini` names (the variant's layout and the
// poll interval go to `panel`).
void readConfigurationSettings(Configuration& config, const IniFile& ini, const Paths& paths,
                               Panel& panel);

// Surrounding spaces removed, then one trailing backslash; an empty value stays empty.
std::string normaliseFolderValue(std::string_view value);

} // namespace lumetra
