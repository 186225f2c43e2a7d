#include "shell/configuration_loader.h"

#include "common/errors.h"
#include "common/status_texts.h"
#include "common/text.h"
#include "platform/files.h"

#include <cstdint>
#include <filesystem>

namespace lumetra {

namespace {

constexpr unsigned kWindowsDirBuffer = 144;
constexpr const char* kIniFolders =
    "the program folder, then the Windows directory; set LUMETRA_PROGRAM_DIR or "
    "LUMETRA_WINDOWS_DIR to name others";

// The profile function's result as the original's signed 32-bit number, put into the
// 16-bit port number: a value that does not fit overflows, never wraps to another port.
std::int16_t toPortNumber(std::uint32_t profileValue) {
    const auto value = static_cast<std::int32_t>(profileValue);
    if (value < INT16_MIN || value > INT16_MAX)
        throw UnexpectedError(error_number::kOverflow, "Overflow");
    return static_cast<std::int16_t>(value);
}

} // namespace

static std::string folderValue(const IniFile& ini, std::string_view key,
                               std::string_view defaultValue) {
    std::string value = normaliseFolderValue(ini.readString(kMainSection, key, defaultValue));
    // An empty value would put the files at the root of the file system: keep the default.
    return value.empty() ? normaliseFolderValue(defaultValue) : value;
}

std::string normaliseFolderValue(std::string_view value) {
    std::string text = trim(value);
    if (!text.empty() && text.back() == '\\')
        text.pop_back();
    return text;
}

ConfigurationLoader::ConfigurationLoader(Paths& paths, FileChecker& files, Dialogs& dialogs,
                                         Panel& panel, OperatorLog& log)
    : m_paths(paths), m_files(files), m_dialogs(dialogs), m_panel(panel), m_log(log) {}

// A place where ORX.INI was looked for, and what stands there when it is not a file.
std::string ConfigurationLoader::lookedFor(const std::string& path) const {
    std::string native = m_paths.map(path);
    std::error_code error;
    if (std::filesystem::is_directory(fileSystemPath(native), error))
        return native + " (a folder stands there, not a file)";
    return native;
}

bool ConfigurationLoader::loadConfiguration(Configuration& config, IniFile& ini) {
    config.windowsDir = m_paths.windowsDirectory().substr(0, kWindowsDirBuffer - 1);

    config.iniPath = m_paths.programFolder() + "\\ORX.INI";
    if (!m_files.fileExists(config.iniPath)) {
        config.iniPath = config.windowsDir + "\\ORX.INI";
        if (!m_files.fileExists(config.iniPath)) {
            m_log.writeAndTell(LogKind::Error,
                               "ORX.INI not found: looked for " +
                                   lookedFor(m_paths.programFolder() + "\\ORX.INI") + " and " +
                                   lookedFor(config.iniPath) + " (" + kIniFolders + ")");
            m_dialogs.message(texts::kIniNotFound, Icon::Critical, Buttons::Ok);
            return false;
        }
    }
    ini.setPath(m_paths.map(config.iniPath));
    readConfigurationSettings(config, ini, m_paths, m_panel);
    return true;
}

void readConfigurationSettings(Configuration& config, const IniFile& ini, const Paths& paths,
                               Panel& panel) {
    std::string defaultProgramFolder = "C:\\VELMORA\\PRODUCT\\";
    config.host.cncSuffixMode =
        contains(toUpper(paths.programFolder()), "VIRK") || config.host.consolePresent;
    if (config.host.cncSuffixMode) {
        defaultProgramFolder = "C:\\VIRK\\PRODUCT\\";
        panel.useSuffixVariantLayout();
    }

    config.serialSettings = ini.readString(kMainSection, "Settings", "9600,N,8,1");
    config.gcodePath = trim(ini.readString(kMainSection, "GCodePath", defaultProgramFolder));
    // An empty value would put program files into the working folder: keep the default.
    if (config.gcodePath.empty())
        config.gcodePath = defaultProgramFolder;
    const std::uint32_t port = ini.readInt(kMainSection, "CommPort", 1);

    const auto interval =
        static_cast<std::int32_t>(ini.readInt(kMainSection, "CommPollTime", kDefaultPollInterval));
    config.pollInterval = interval >= kSmallestPollInterval ? interval : kDefaultPollInterval;
    panel.setPollInterval(config.pollInterval);

    config.csvInPath = folderValue(ini, "CSVInPath", "C:\\");
    config.csvOutPath = folderValue(ini, "CSVOutPath", "C:\\Lumetra.csv");

    // Negative values and values beyond the int's range count as their defaults.
    const auto sizeKB = static_cast<std::int32_t>(
        ini.readInt(kMainSection, "LogSizeKB", static_cast<std::int32_t>(kDefaultLogSizeKB)));
    const auto kept =
        static_cast<std::int32_t>(ini.readInt(kMainSection, "LogFilesKept", kDefaultLogFilesKept));
    config.logRotation.sizeLimit =
        static_cast<std::uint64_t>(sizeKB >= 0 ? sizeKB
                                               : static_cast<std::int32_t>(kDefaultLogSizeKB)) *
        1024;
    config.logRotation.filesKept =
        kept >= 1 ? std::min<std::int32_t>(kept, kLargestLogFilesKept) : kDefaultLogFilesKept;
    // Raised once every key was read, so that a review of the setup sees them all.
    config.commPort = toPortNumber(port);
}

} // namespace lumetra
