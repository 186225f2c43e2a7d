#include "shell/application.h"

#include "common/errors.h"
#include "common/status_texts.h"
#include "common/text.h"
#include "labels/exclusion.h"
#include "shell/setup_review.h"

namespace lumetra {

namespace {

constexpr int kHighestOptionValue = 2;

} // namespace

std::string_view optionKey(Option option) {
    switch (option) {
    case Option::AClear:
        return "AutoClear";
    case Option::Overwrite:
        return "Overwrite";
    case Option::ShowEd:
    case Option::AutoStart:
        break;
    }
    return {};
}

Application::Application(InstanceGuard& guard, Paths& paths, FileChecker& files, Dialogs& dialogs,
                         ErrorReporter& errors, Panel& panel, StatusLine& status, OperatorLog& log,
                         IniFile& ini, Configuration& config, Subsystems& subsystems,
                         LabelEntry& labels, BusyGate& busy)
    : m_guard(guard), m_paths(paths), m_files(files), m_dialogs(dialogs), m_errors(errors),
      m_panel(panel), m_status(status), m_log(log), m_ini(ini), m_config(config),
      m_subsystems(subsystems), m_labels(labels), m_busy(busy) {}

StartupResult Application::start() {
    // A scan that arrives during start-up's pause waits until the host list is there.
    const BusyGate::Scope busy(m_busy);
    if (!m_guard.acquire()) {
        m_dialogs.message(texts::kAlreadyRunning, Icon::Exclamation, Buttons::Ok);
        return StartupResult::EndNow;
    }
    m_errors.guarded([&] {
        m_config.host.consolePresent =
            m_files.fileExists(m_paths.programFolder() + "\\pultano.exe");
    });

    bool loaded = false;
    if (!m_errors.guarded([&] {
            loaded = ConfigurationLoader(m_paths, m_files, m_dialogs, m_panel, m_log)
                         .loadConfiguration(m_config, m_ini);
        }) ||
        !loaded)
        return StartupResult::EndNow;
    m_log.write(LogKind::Info, "configuration read from " + m_config.iniPath);
    m_log.setRotation(m_config.logRotation);
    // What the message boxes do not say, for the integrator: the log and standard error,
    // before start-up writes its first key.
    m_errors.guarded([&] {
        for (const Finding& finding : reviewAtStartUp(m_ini, m_paths, m_config)) {
            const bool error = finding.verdict == Verdict::Error;
            m_log.writeAndTell(error ? LogKind::Error : LogKind::Info, findingText(finding));
            if (error)
                m_status.problems().report(ProblemStep::Configuration, findingText(finding));
        }
    });

    m_errors.guarded([&] { m_subsystems.openScannerPort(); });
    m_errors.guarded([&] { m_subsystems.fillFieldCodeTable(); });
    m_errors.guarded([&] { m_subsystems.createHostApplication(); });
    m_status.pauseSeconds(1.0f);
    m_errors.guarded([&] { m_subsystems.connectHostWorkList(); });
    m_errors.guarded([&] { m_subsystems.setListResetPending(); });
    m_errors.guarded([&] { m_panel.centre(); });
    m_errors.guarded([&] { m_subsystems.loadFieldSelectionDialog(); });
    m_errors.guarded([&] { applyStoredOption(Option::Overwrite); });
    m_errors.guarded([&] { applyStoredOption(Option::AClear); });
    m_errors.guarded([&] {
        m_config.exclusionSetting = m_ini.readIniText(kMainSection, "Exclusion");
        const auto caption = startupExclusionCaption(m_config.exclusionSetting);
        m_panel.setExclusionCaption(caption ? std::optional<std::string_view>(*caption)
                                            : std::nullopt);
    });
    m_log.write(LogKind::Info,
                "configuration: Settings=" + m_config.serialSettings +
                    " CommPort=" + std::to_string(m_config.commPort) + " poll interval=" +
                    std::to_string(m_config.pollInterval) + " GCodePath=" + m_config.gcodePath +
                    " CSVInPath=" + m_config.csvInPath + " CSVOutPath=" + m_config.csvOutPath +
                    " AutoClear=" + std::to_string(m_panel.optionValue(Option::AClear)) +
                    " Overwrite=" + std::to_string(m_panel.optionValue(Option::Overwrite)) +
                    " Exclusion=" + m_config.exclusionSetting +
                    (m_config.host.consolePresent ? " console present" : " console absent") +
                    (m_config.host.cncSuffixMode ? ", .CNC suffix" : ""));
    return StartupResult::Running;
}

void Application::applyStoredOption(Option option) {
    const auto value = static_cast<std::int32_t>(m_ini.readInt(kMainSection, optionKey(option), 1));
    if (value < 0 || value > kHighestOptionValue)
        throw UnexpectedError(error_number::kInvalidPropertyValue, "Invalid property value");
    if (m_panel.optionValue(option) != value) {
        m_panel.setOptionValue(option, value);
        optionClicked(option);
    }
}

void Application::optionClicked(Option option) {
    const std::string_view key = optionKey(option);
    if (key.empty())
        return;
    m_ini.write(kMainSection, key, " " + std::to_string(m_panel.optionValue(option)));
}

void Application::openEntry() {
    m_status.show(texts::kTypeLabel);
}

EntryOutcome Application::finishEntry(const std::string& typed) {
    const std::string text = toUpper(typed);
    m_panel.setEntryText(text);
    if (text.empty()) {
        m_status.show(texts::kReady);
        return EntryOutcome::ClosedEmpty;
    }
    if (m_busy.busy()) {
        m_log.write(LogKind::Info, "a scan is being handled; the typed label waits: " + text);
        return EntryOutcome::Refused;
    }
    const BusyGate::Scope busy(m_busy);
    m_log.write(LogKind::Scan, text + " (typed)");
    return m_labels.processLabelScan(text) ? EntryOutcome::Accepted : EntryOutcome::Refused;
}

void Application::closeRequested() {
    m_errors.guarded([&] { m_subsystems.unloadFieldSelectionDialog(); });
}

void Application::unload() {
    m_errors.guarded([&] { m_subsystems.closeScannerPort(); });
    m_errors.guarded([&] { m_subsystems.releaseHostObjects(); });
}

} // namespace lumetra
