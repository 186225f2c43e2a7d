#include "shell/setup_review.h"

#include "common/errors.h"
#include "common/text.h"
#include "fields/field_settings_store.h"
#include "labels/work_list.h"
#include "platform/files.h"
#include "scanner/serial_settings.h"
#include "shell/application.h"
#include "shell/configuration_loader.h"

#include <algorithm>
#include <filesystem>
#include <set>

namespace lumetra {

namespace {

// The profile functions compare names without regard to case.
std::string folded(std::string_view name) {
    return toUpper(trim(name));
}

// The reads of the program, recorded; the values come from the profile underneath.
class RecordingProfile final : public Profile {
public:
    explicit RecordingProfile(Profile& profile) : m_profile(profile) {}

    std::string readString(const std::string& file, std::string_view section, std::string_view key,
                           std::optional<std::string_view> defaultValue, unsigned size) override {
        std::string value = m_profile.readString(file, section, key, defaultValue, size);
        record(section, key, value);
        return value;
    }
    std::uint32_t readInt(const std::string& file, std::string_view section, std::string_view key,
                          std::int32_t defaultValue) override {
        const std::uint32_t value = m_profile.readInt(file, section, key, defaultValue);
        record(section, key, std::to_string(static_cast<std::int32_t>(value)));
        return value;
    }
    bool writeString(const std::string&, std::string_view, std::optional<std::string_view>,
                     std::optional<std::string_view>) override {
        return false; // a review writes nothing
    }
    std::string lastWriteError() const override { return "not written: the setup is only read"; }
    ProfileOutline outline(const std::string& file) override { return m_profile.outline(file); }

    std::vector<SettingUse> uses;

private:
    void record(std::string_view section, std::string_view key, const std::string& value) {
        const std::string name = folded(section) + "/" + folded(key);
        if (!m_seen.insert(name).second)
            return;
        uses.push_back({std::string(section), std::string(key), value, false});
    }
    Profile& m_profile;
    std::set<std::string> m_seen;
};

// The edit distance of two names, to suggest the key a misspelt one was meant to be.
std::size_t distance(std::string_view a, std::string_view b) {
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j)
        row[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] != b[j - 1])});
            diagonal = above;
        }
    }
    return row[b.size()];
}

std::string suggestion(std::string_view name, const std::vector<std::string>& known) {
    const std::string wanted = folded(name);
    for (const std::string& candidate : known)
        if (distance(wanted, folded(candidate)) <= 2)
            return "did you mean " + candidate + "?";
    return {};
}

bool holds(const ProfileSection& section, std::string_view key) {
    const std::string wanted = folded(key);
    return std::any_of(section.keys.begin(), section.keys.end(),
                       [&](const std::string& k) { return folded(k) == wanted; });
}

const ProfileSection* firstSection(const ProfileOutline& outline, std::string_view name) {
    const std::string wanted = folded(name);
    for (const ProfileSection& section : outline.sections)
        if (section.line != 0 || !section.name.empty())
            if (folded(section.name) == wanted)
                return &section;
    return nullptr;
}

} // namespace

std::vector<SettingUse> everySettingUse(const IniFile& ini, const ProfileOutline& outline,
                                        const Paths& paths, const Configuration& config) {
    RecordingProfile recorder(ini.profile());
    const IniFile recorded(recorder, ini.path());
    WindowlessPanel panel;
    Configuration read = config;
    // The same readers as the program's, in its order.
    try {
        readConfigurationSettings(read, recorded, paths, panel);
    } catch (const UnexpectedError&) {
        // A value start-up refuses (a port number beyond 16 bits) is told where it is used.
    }
    for (const Option option : {Option::Overwrite, Option::AClear})
        recorded.readInt(kMainSection, optionKey(option), 1);
    recorded.readIniText(kMainSection, "Exclusion");
    FieldSelectionSettings fields;
    TriggerDisplay display;
    loadFieldSelectionSettings(recorded, fields, display);
    recorded.readString(kMainSection, scannerDeviceKey(read.commPort), "");
    listColumnsSetting(recorded);

    for (SettingUse& use : recorder.uses) {
        if (const ProfileSection* section = firstSection(outline, use.section))
            use.fromFile = holds(*section, use.key);
        if (!use.fromFile && use.value == kIniTextMissing)
            use.value.clear();
    }
    return recorder.uses;
}

std::vector<Finding> reviewIniFile(const std::string& iniPath, const ProfileOutline& outline,
                                   const std::vector<SettingUse>& uses) {
    std::vector<Finding> findings;
    if (!outline.failure.empty()) {
        findings.push_back(
            {Verdict::Error, "ORX.INI",
             iniPath + " cannot be read (" + outline.failure + "): every setting takes its default",
             "make it a file the operator's user can read"});
        return findings;
    }
    findings.push_back({Verdict::Ok, "ORX.INI", "read from " + iniPath, {}});
    std::vector<std::string> knownSections;
    for (const SettingUse& use : uses)
        if (std::none_of(knownSections.begin(), knownSections.end(),
                         [&](const std::string& s) { return folded(s) == folded(use.section); }))
            knownSections.push_back(use.section);
    std::set<std::string> seenSections;
    for (const ProfileSection& section : outline.sections) {
        const std::string where =
            section.line > 0 ? " (line " + std::to_string(section.line) + ")" : "";
        if (section.line == 0 && section.name.empty()) {
            findings.push_back({Verdict::Warning, "ORX.INI",
                                std::to_string(section.keys.size()) +
                                    " key(s) before the first section are not read",
                                "put them under [VOZEZIZO]"});
            continue;
        }
        const bool known =
            std::any_of(knownSections.begin(), knownSections.end(),
                        [&](const std::string& s) { return folded(s) == folded(section.name); });
        if (!known) {
            const std::string hint = suggestion(section.name, knownSections);
            findings.push_back({Verdict::Warning, "[" + section.name + "]",
                                "section" + where + " is not known: it is not read",
                                hint.empty() ? "remove it" : hint});
            continue;
        }
        if (!seenSections.insert(folded(section.name)).second) {
            findings.push_back({Verdict::Warning, "[" + section.name + "]",
                                "section" + where + " comes again: only the first one is read",
                                "move its keys into the first one"});
            continue;
        }
        std::vector<std::string> knownKeys;
        for (const SettingUse& use : uses)
            if (folded(use.section) == folded(section.name))
                knownKeys.push_back(use.key);
        for (const std::string& key : section.keys) {
            const bool read =
                isScannerDeviceKey(key) ||
                std::any_of(knownKeys.begin(), knownKeys.end(),
                            [&](const std::string& k) { return folded(k) == folded(key); });
            if (read)
                continue;
            const std::string hint = suggestion(key, knownKeys);
            findings.push_back({Verdict::Warning, key,
                                "key in [" + section.name + "] is not known: it is not read",
                                hint.empty() ? "remove it" : hint});
        }
    }
    if (firstSection(outline, kMainSection) == nullptr) {
        std::string found;
        for (const ProfileSection& section : outline.sections)
            if (!section.name.empty())
                found += (found.empty() ? "" : ", ") + ("[" + section.name + "]");
        findings.push_back({Verdict::Warning, "[VOZEZIZO]",
                            "no such section in " + iniPath + ": every setting takes its default" +
                                (found.empty() ? "" : "; the file has " + found),
                            "name the section [VOZEZIZO]"});
    }
    for (const SettingUse& use : uses)
        if (use.fromFile && use.section == kMainSection &&
            folded(use.key) == folded("LogFilesKept") &&
            leadingNumber(use.value) > kLargestLogFilesKept)
            findings.push_back({Verdict::Warning, "LogFilesKept",
                                use.value + " is more than " +
                                    std::to_string(kLargestLogFilesKept) + ": " +
                                    std::to_string(kLargestLogFilesKept) + " old logs are kept",
                                "give a number from 1 to " + std::to_string(kLargestLogFilesKept)});
    return findings;
}

std::vector<Finding> reviewProgramFolder(const Configuration& config, const Paths& paths,
                                         Verdict missing) {
    std::vector<Finding> findings;
    const std::string& folder = config.gcodePath;
    if (folder.empty() || folder.back() != '\\') {
        findings.push_back({Verdict::Warning, "GCodePath",
                            folder + " has no trailing backslash: a program file is named " +
                                folder + "PRODUCTNAME, beside the folder",
                            "end it with \\ (" + folder + "\\)"});
        return findings;
    }
    std::error_code error;
    if (!std::filesystem::is_directory(fileSystemPath(paths.map(folder)), error))
        findings.push_back({missing, "GCodePath",
                            folder + " (" + paths.map(folder) + ") is not a folder that exists",
                            "create it, or name the program folder that holds the programs"});
    return findings;
}

std::vector<Finding> reviewAtStartUp(const IniFile& ini, const Paths& paths,
                                     const Configuration& config) {
    const ProfileOutline outline = ini.outline();
    std::vector<Finding> findings =
        reviewIniFile(ini.path(), outline, everySettingUse(ini, outline, paths, config));
    for (Finding& finding : reviewProgramFolder(config, paths, Verdict::Warning))
        findings.push_back(std::move(finding));
    std::erase_if(findings, [](const Finding& f) { return f.verdict == Verdict::Ok; });
    return findings;
}

std::string findingText(const Finding& finding) {
    return std::string(verdictName(finding.verdict)) + ": " + finding.item + ": " + finding.text +
           (finding.remedy.empty() ? "" : " (" + finding.remedy + ")");
}

} // namespace lumetra
