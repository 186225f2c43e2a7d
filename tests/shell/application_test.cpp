#include "common/errors.h"
#include "platform/portable/portable_profile.h"
#include "platform/posix/posix_paths.h"
#include "scanner/scan_receiver.h"
#include "shell/application.h"
#include "support/fakes.h"
#include "support/native_file_probe.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace lumetra {
namespace {

using namespace lumetra::testing;

struct RecordingSubsystems : Subsystems {
    std::vector<std::string> calls;
    std::string failing; // this call raises
    void record(const std::string& call) {
        calls.push_back(call);
        if (call == failing)
            throw UnexpectedError(429, "ActiveX component can't create object");
    }
    void openScannerPort() override { record("openScannerPort"); }
    void fillFieldCodeTable() override { record("fillFieldCodeTable"); }
    void createHostApplication() override { record("createHostApplication"); }
    void connectHostWorkList() override { record("connectHostWorkList"); }
    void setListResetPending() override { record("setListResetPending"); }
    void loadFieldSelectionDialog() override { record("loadFieldSelectionDialog"); }
    void unloadFieldSelectionDialog() override { record("unloadFieldSelectionDialog"); }
    void closeScannerPort() override { record("closeScannerPort"); }
    void releaseHostObjects() override { record("releaseHostObjects"); }
};

struct ScriptedLabels : LabelEntry {
    bool result = true;
    std::vector<std::string> received;
    bool processLabelScan(const std::string& text) override {
        received.push_back(text);
        return result;
    }
};

class Startup : public ::testing::Test {
protected:
    Startup()
        : paths(
              [this](const std::string& name) -> std::optional<std::string> {
                  if (name == "LUMETRA_PROGRAM_DIR")
                      return programFolder;
                  if (name == "LUMETRA_WINDOWS_DIR")
                      return dir.file("windows");
#ifdef _WIN32
                  // The temporary folder is on drive C: itself.
                  if (name == "LUMETRA_DRIVE_C")
                      return std::string("C:\\");
#endif
                  return std::nullopt;
              },
              "/nonexistent"),
          profile(dir.file("windows")), files(probe, paths, dialogs), ini(profile),
          errors(dialogs, log), status(panel, log, pump),
          app(guard, paths, files, dialogs, errors, panel, status, log, ini, config, subsystems,
              labels, busy) {
        std::filesystem::create_directories(dir.file("windows"));
        std::filesystem::create_directories(programFolder);
    }

    void writeIni(const std::string& text) {
        writeFile(programFolder + "/ORX.INI", text);
    }
    std::string iniText() {
        return readFile(programFolder + "/ORX.INI");
    }

    TempDir dir;
    std::string programFolder = dir.file("program");
    PosixPaths paths;
    PortableProfile profile;
    NativeFileProbe probe;
    FakeDialogs dialogs;
    FakePanel panel;
    FakePump pump;
    FakeGuard guard;
    OperatorLog log;
    FileChecker files;
    IniFile ini;
    Configuration config;
    RecordingSubsystems subsystems;
    ScriptedLabels labels;
    BusyGate busy;
    ErrorReporter errors;
    StatusLine status;
    Application app;
};

TEST_F(Startup, WithoutAnIniFileTellsAndEnds) {
    EXPECT_EQ(app.start(), StartupResult::EndNow);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, "File ORX.INI Not Found");
    EXPECT_EQ(dialogs.shown[0].icon, Icon::Critical);
    EXPECT_TRUE(subsystems.calls.empty());
}

TEST_F(Startup, ASecondInstanceTellsAndEnds) {
    writeIni("");
    guard.alone = false;
    EXPECT_EQ(app.start(), StartupResult::EndNow);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, "the Program is already running!");
    EXPECT_EQ(dialogs.shown[0].icon, Icon::Exclamation);
    EXPECT_EQ(iniText(), "");
}

TEST_F(Startup, AnEmptyFileGivesTheDefaults) {
    writeIni("");
    ASSERT_EQ(app.start(), StartupResult::Running);
    EXPECT_EQ(config.serialSettings, "9600,N,8,1");
    EXPECT_EQ(config.commPort, 1);
    EXPECT_EQ(config.pollInterval, 1000);
    EXPECT_EQ(config.gcodePath, "C:\\VELMORA\\PRODUCT\\");
    EXPECT_EQ(config.csvInPath, "C:");
    EXPECT_EQ(config.csvOutPath, "C:\\Lumetra.csv");
    EXPECT_FALSE(config.host.cncSuffixMode);
    EXPECT_FALSE(config.host.consolePresent);
    EXPECT_EQ(panel.options[Option::AClear], 1);
    EXPECT_EQ(panel.options[Option::Overwrite], 1);
    EXPECT_FALSE(panel.exclusion.has_value());
    EXPECT_EQ(panel.pollInterval, 1000);
    // AutoClear changed from the window's unticked start, so it is written; Overwrite is not.
    EXPECT_EQ(iniText(), "[VOZEZIZO]\r\nAutoClear= 1\r\n");
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(subsystems.calls,
              (std::vector<std::string>{"openScannerPort", "fillFieldCodeTable",
                                        "createHostApplication", "connectHostWorkList",
                                        "setListResetPending", "loadFieldSelectionDialog"}));
    EXPECT_EQ(pump.sleeps, (std::vector<int>{1000}));
    EXPECT_EQ(panel.centred, 1);
}

TEST_F(Startup, TheProgramFolderFileWinsOverTheWindowsDirectory) {
    writeIni("[VOZEZIZO]\nCommPort=3\n");
    writeFile(dir.file("windows") + "/ORX.INI", "[VOZEZIZO]\nCommPort=4\n");
    ASSERT_EQ(app.start(), StartupResult::Running);
    EXPECT_EQ(config.commPort, 3);
    std::filesystem::remove(programFolder + "/ORX.INI");
    Configuration second;
    ConfigurationLoader loader(paths, files, dialogs, panel, log);
    ASSERT_TRUE(loader.loadConfiguration(second, ini));
    EXPECT_EQ(second.commPort, 4);
}

struct ValueCase {
    std::string lines;
    std::string Configuration::*field;
    std::string expected;
};

TEST_F(Startup, NormalisesTextValues) {
    const ValueCase cases[] = {
        {"GCodePath=  D:\\PROGS\\  ", &Configuration::gcodePath, "D:\\PROGS\\"},
        {"CSVInPath=D:\\CSV\\", &Configuration::csvInPath, "D:\\CSV"},
        {"CSVInPath=  D:\\CSV\\\\  ", &Configuration::csvInPath, "D:\\CSV\\"},
        {"CSVOutPath=", &Configuration::csvOutPath, "C:\\Lumetra.csv"},
        {"CSVInPath=   ", &Configuration::csvInPath, "C:"},
        {"GCodePath=", &Configuration::gcodePath, "C:\\VELMORA\\PRODUCT\\"},
        {"GCodePath=    ", &Configuration::gcodePath, "C:\\VELMORA\\PRODUCT\\"},
        {"GCodePath=\"\"", &Configuration::gcodePath, "C:\\VELMORA\\PRODUCT\\"},
        {"Settings=19200,E,7,2", &Configuration::serialSettings, "19200,E,7,2"},
        {"Settings=" + std::string(300, '9'), &Configuration::serialSettings,
         std::string(127, '9')},
    };
    for (const ValueCase& c : cases) {
        writeIni("[VOZEZIZO]\r\n" + c.lines + "\r\n");
        Configuration loaded;
        ASSERT_TRUE(
            ConfigurationLoader(paths, files, dialogs, panel, log).loadConfiguration(loaded, ini));
        EXPECT_EQ(loaded.*(c.field), c.expected) << c.lines;
    }
}

TEST_F(Startup, APortNumberBeyondSixteenBitsOverflowsAndEnds) {
    const std::pair<std::string, std::optional<std::int16_t>> cases[] = {
        {"CommPort=65537", std::nullopt},
        {"CommPort=32768", std::nullopt},
        {"CommPort=-32769", std::nullopt},
        {"CommPort=99999999999", std::nullopt},
        {"CommPort=32767", 32767},
        {"CommPort=-1", -1},
        {"CommPort=abc", 0},
        {"CommPort=3", 3},
    };
    for (const auto& [line, port] : cases) {
        writeIni("[VOZEZIZO]\r\n" + line + "\r\n");
        dialogs.shown.clear();
        subsystems.calls.clear();
        Configuration loaded;
        Application fresh(guard, paths, files, dialogs, errors, panel, status, log, ini, loaded,
                          subsystems, labels, busy);
        if (port) {
            EXPECT_EQ(fresh.start(), StartupResult::Running) << line;
            EXPECT_EQ(loaded.commPort, *port) << line;
        } else {
            EXPECT_EQ(fresh.start(), StartupResult::EndNow) << line;
            ASSERT_EQ(dialogs.shown.size(), 1u) << line;
            EXPECT_EQ(dialogs.shown[0].text, "Unexpected error # 6 occured: Overflow");
            EXPECT_TRUE(subsystems.calls.empty()) << "no port is opened: " << line;
        }
    }
}

TEST_F(Startup, NumericKeysOutOfRangeNegativeOrTextNeverOpenAnUnnamedPort) {
    writeIni("[VOZEZIZO]\r\nCommPort=-3\r\nCommPollTime=-1\r\nAutoClear=abc\r\n"
             "Overwrite=-1\r\nHalfLimitX=1e999\r\nAutoSelSetting=99999999999\r\n"
             "PNameNandMCPos=-70000\r\nFieldFlag_SFS=x\r\n");
    EXPECT_EQ(app.start(), StartupResult::Running);
    EXPECT_EQ(config.commPort, -3) << "a port no device answers to; it fails to open";
    EXPECT_EQ(config.pollInterval, 1000);
    EXPECT_EQ(panel.options[Option::AClear], 0);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, "Unexpected error # 380 occured: Invalid property value")
        << "Overwrite=-1 is no check-box value";
}

TEST_F(Startup, PollIntervalNeedsAtLeastOneHundred) {
    const std::pair<std::string, int> cases[] = {
        {"CommPollTime=50", 1000},   {"CommPollTime=100", 100},   {"CommPollTime=250ms", 250},
        {"CommPollTime=fast", 1000}, {"CommPollTime=-500", 1000}, {"CommPollTime=", 1000},
    };
    for (const auto& [line, expected] : cases) {
        writeIni("[VOZEZIZO]\n" + line + "\n");
        Configuration loaded;
        ASSERT_TRUE(
            ConfigurationLoader(paths, files, dialogs, panel, log).loadConfiguration(loaded, ini));
        EXPECT_EQ(loaded.pollInterval, expected) << line;
        EXPECT_EQ(panel.pollInterval, expected) << line;
    }
}

TEST_F(Startup, AFolderNamedVirkSelectsTheSuffixVariant) {
    programFolder = dir.file("Virk Station/bin");
    std::filesystem::create_directories(programFolder);
    writeIni("");
    ASSERT_EQ(app.start(), StartupResult::Running);
    EXPECT_TRUE(config.host.cncSuffixMode);
    EXPECT_TRUE(panel.suffixLayout);
    EXPECT_EQ(config.gcodePath, "C:\\VIRK\\PRODUCT\\");
}

TEST_F(Startup, TheConsoleSelectsTheSuffixVariant) {
    writeIni("");
    writeFile(programFolder + "/PULTANO.EXE", "");
    ASSERT_EQ(app.start(), StartupResult::Running);
    EXPECT_TRUE(config.host.consolePresent);
    EXPECT_TRUE(config.host.cncSuffixMode);
}

TEST_F(Startup, ShowsTheExclusionLabel) {
    const std::pair<std::string, std::optional<std::string>> cases[] = {
        {"Exclusion=00000000", std::nullopt},
        {"Exclusion=01000001", " Exclusion Number 28  for insertion."},
        {"Exclusion=10100000", " Exclusion Number 13  for insertion."},
        {"Exclusion=", std::nullopt},
        {"Exclusion=END.-", std::nullopt},
    };
    for (const auto& [line, expected] : cases) {
        writeIni("[VOZEZIZO]\n" + line + "\n");
        panel.exclusion = "stale";
        ASSERT_EQ(app.start(), StartupResult::Running);
        EXPECT_EQ(panel.exclusion, expected) << line;
    }
}

TEST_F(Startup, AFailingStepIsReportedAndStartUpGoesOn) {
    writeIni("");
    subsystems.failing = "createHostApplication";
    ASSERT_EQ(app.start(), StartupResult::Running);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text,
              "Unexpected error # 429 occured: ActiveX component can't create object");
    EXPECT_EQ(subsystems.calls.back(), "loadFieldSelectionDialog");
}

TEST_F(Startup, AnOptionValueOutOfRangeIsAnUnexpectedError) {
    writeIni("[VOZEZIZO]\nAutoClear=5\nOverwrite=0\n");
    ASSERT_EQ(app.start(), StartupResult::Running);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, "Unexpected error # 380 occured: Invalid property value");
    EXPECT_EQ(panel.options[Option::Overwrite], 0);
    EXPECT_EQ(panel.options[Option::AClear], 0);
}

TEST_F(Startup, OptionClicksPersistForTheNextStart) {
    writeIni("");
    ASSERT_EQ(app.start(), StartupResult::Running);
    panel.options[Option::AClear] = 0;
    app.optionClicked(Option::AClear);
    panel.options[Option::Overwrite] = 0;
    app.optionClicked(Option::Overwrite);
    app.optionClicked(Option::ShowEd);
    EXPECT_EQ(iniText(), "[VOZEZIZO]\r\nAutoClear= 0\r\nOverwrite= 0\r\n");

    FakePanel next;
    StatusLine nextStatus(next, log, pump);
    Configuration nextConfig;
    Application restarted(guard, paths, files, dialogs, errors, next, nextStatus, log, ini,
                          nextConfig, subsystems, labels, busy);
    ASSERT_EQ(restarted.start(), StartupResult::Running);
    EXPECT_EQ(next.options[Option::AClear], 0);
    EXPECT_EQ(next.options[Option::Overwrite], 0);
}

TEST_F(Startup, ADamagedFileNeverStopsStartUp) {
    std::string noise = "[VOZEZIZO]\nCommPort=\xFF\xFE\nCommPollTime=99999999999999\n";
    for (int i = 0; i < 5000; ++i)
        noise += static_cast<char>(i % 251);
    writeIni(noise);
    EXPECT_EQ(app.start(), StartupResult::Running);
    EXPECT_EQ(config.commPort, 0) << "non-digits read as 0, as the profile functions do";
}

TEST_F(Startup, ShutdownUnloadsClosesAndReleases) {
    writeIni("");
    ASSERT_EQ(app.start(), StartupResult::Running);
    subsystems.calls.clear();
    app.closeRequested();
    app.unload();
    EXPECT_EQ(subsystems.calls,
              (std::vector<std::string>{"unloadFieldSelectionDialog", "closeScannerPort",
                                        "releaseHostObjects"}));
}

TEST_F(Startup, ManualEntryUpperCasesAndReportsTheOutcome) {
    app.openEntry();
    EXPECT_EQ(panel.status(), "Type the Barcode-Label.");
    EXPECT_EQ(app.finishEntry(""), EntryOutcome::ClosedEmpty);
    EXPECT_EQ(panel.status(), "Ready.");
    EXPECT_EQ(app.finishEntry("%start%"), EntryOutcome::Accepted);
    EXPECT_EQ(panel.entryText, "%START%");
    labels.result = false;
    EXPECT_EQ(app.finishEntry("%12p100!n%"), EntryOutcome::Refused);
    EXPECT_EQ(labels.received, (std::vector<std::string>{"%START%", "%12P100!N%"}));
}

// Label processing that, while it runs, lets the poll tick fall due and the operator press
// OK again, as its pauses and message boxes do.
struct PausingLabels : LabelEntry {
    ScanReceiver* receiver = nullptr;
    Application* app = nullptr;
    FakePanel* panel = nullptr;
    std::vector<std::string> received;
    std::vector<std::string> entryDuringCall;
    std::vector<EntryOutcome> nested;
    bool processLabelScan(const std::string& text) override {
        received.push_back(text);
        entryDuringCall.push_back(panel->entryText);
        if (received.size() == 1) {
            for (int i = 0; i < 5; ++i)
                receiver->tick();
            nested.push_back(app->finishEntry("%end%"));
        }
        return true;
    }
};

TEST_F(Startup, AScanWaitsForItsDispatchWhileATypedLabelIsFinished) {
    PausingLabels typed;
    FakeSerialPort port;
    port.open_ = true;
    RecordingHandlers scans;
    ScanReceiver receiver(port, panel, status, log, scans, busy);
    Application manual(guard, paths, files, dialogs, errors, panel, status, log, ini, config,
                       subsystems, typed, busy);
    typed.receiver = &receiver;
    typed.app = &manual;
    typed.panel = &panel;
    port.pending = "%STOP%";

    EXPECT_EQ(manual.finishEntry("%13p1 n 1 %"), EntryOutcome::Accepted);
    EXPECT_EQ(typed.entryDuringCall.front(), "%13P1 N 1 %") << "upper-cased before processing";
    EXPECT_TRUE(port.pending.empty()) << "ticks read the port meanwhile";
    EXPECT_TRUE(receiver.scanText().empty()) << "framed, and waiting for its dispatch";
    EXPECT_TRUE(scans.calls.empty());
    EXPECT_EQ(typed.nested, std::vector<EntryOutcome>{EntryOutcome::Refused});
    EXPECT_EQ(typed.received, std::vector<std::string>{"%13P1 N 1 %"});

    receiver.tick();
    EXPECT_EQ(scans.calls, std::vector<std::string>{"label:%STOP%"})
        << "the scan is handled after the typed label";
}

} // namespace
} // namespace lumetra
