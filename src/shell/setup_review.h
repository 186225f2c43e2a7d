// What is wrong with a workstation's setup, item by item: start-up tells the problems in
// the log and on standard error, and `lumetra --check` prints every item.
#pragma once

#include "base/configuration.h"
#include "base/ini_file.h"
#include "platform/panel.h"
#include "platform/paths.h"
#include "platform/profile.h"
#include "platform/workstation_probe.h"

#include <string>
#include <vector>

namespace lumetra {

// One key the program reads, as it reads it: the value it gets and whether the file holds it.
struct SettingUse {
    std::string section;
    std::string key;
    std::string value;
    bool fromFile = false;
};

// Every key the program reads (start-up's and those read later), each once, from the file
// `ini` names, whose `outline` says which keys it holds. Nothing is written.
std::vector<SettingUse> everySettingUse(const IniFile& ini, const ProfileOutline& outline,
                                        const Paths& paths, const Configuration& config);

// The file itself: unreadable, no section VOZEZIZO, sections and keys the program does not
// know, a section that is never read because another of its name comes first.
std::vector<Finding> reviewIniFile(const std::string& iniPath, const ProfileOutline& outline,
                                   const std::vector<SettingUse>& uses);

// GCodePath is a prefix of the program name: without a trailing backslash the files land
// beside the folder; a folder that does not exist takes no program (told as `missing`: a
// warning at start-up, where the road goes on, an error to the workstation check).
std::vector<Finding> reviewProgramFolder(const Configuration& config, const Paths& paths,
                                         Verdict missing);

// The problems start-up tells the integrator (warnings and errors of the two above).
std::vector<Finding> reviewAtStartUp(const IniFile& ini, const Paths& paths,
                                     const Configuration& config);

// The setup is read without a window: what would go to it is dropped.
class WindowlessPanel final : public Panel {
public:
    void setStatusText(std::string_view) override {}
    void setProblem(std::string_view, std::string_view) override {}
    void setPortCaption(std::string_view, std::string_view) override {}
    void setScanDisplay(std::string_view) override {}
    void setActivity(bool, std::string_view) override {}
    void setEntryText(std::string_view) override {}
    void setIndicatorVisible(int, bool) override {}
    void setAutoFieldVisible(bool) override {}
    void setListProgress(std::size_t, std::size_t) override {}
    void setExclusionCaption(std::optional<std::string_view>) override {}
    int optionValue(Option) const override { return 0; }
    void setOptionValue(Option, int) override {}
    void useSuffixVariantLayout() override {}
    void setPollInterval(int) override {}
    void centre() override {}
};

// "warning: <item>: <text> (<remedy>)"
std::string findingText(const Finding& finding);

} // namespace lumetra
