// `lumetra --check` on a workstation set up well and on each typical mistake, and the
// start-up diagnostics of the same mistakes in the log and on standard error.
#include "e2e/harness.h"
#include "support/pty_pair.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <filesystem>
#include <gtest/gtest.h>
#include <thread>

namespace lumetra::e2e {
namespace {

using namespace std::chrono_literals;
using testing::PtyPair;

// A workstation where everything is in its place: the scanner's device (a pseudo-terminal
// nobody holds), the program folder, the CSV folders and the editor.
class Workstation {
public:
    explicit Workstation(const std::string& device) {
        for (const char* folder : {"VELMORA/PRODUCT", "CSV", "velmora/bin"})
            std::filesystem::create_directories(workspace.drive('c') + "/" + folder);
        const std::string editor = workspace.drive('c') + "/velmora/bin/Scrivon.exe";
        testing::writeFile(editor, "#!/bin/sh\n");
        std::filesystem::permissions(editor, std::filesystem::perms::owner_all);
        keys = {{"CommPollTime", "100"},
                {"Com1Device", device},
                {"GCodePath", "C:\\VELMORA\\PRODUCT\\"},
                {"CSVInPath", "C:\\CSV\\"},
                {"CSVOutPath", "C:\\CSV\\Lumetra.csv"}};
    }
    std::string ini() const {
        std::string text = "[" + section + "]\r\n";
        for (const auto& [key, value] : keys)
            text += key + "=" + value + "\r\n";
        return text;
    }
    CommandResult check(const std::vector<std::string>& extra = {}) const {
        if (written)
            workspace.writeIni(ini());
        std::vector<std::string> argv{binary("lumetra"), "--check"};
        argv.insert(argv.end(), extra.begin(), extra.end());
        return runCommand(argv, workspace.environment());
    }
    void rename(const std::string& key, const std::string& to) {
        for (auto& entry : keys)
            if (entry.first == key)
                entry.first = to;
    }
    void set(const std::string& key, const std::string& value) {
        for (auto& entry : keys)
            if (entry.first == key) {
                entry.second = value;
                return;
            }
        keys.emplace_back(key, value);
    }
    Workspace workspace;
    std::string section = "VOZEZIZO";
    std::vector<std::pair<std::string, std::string>> keys;
    bool written = true;
};

std::string lineWith(const std::string& text, const std::string& needle) {
    const auto at = text.find(needle);
    if (at == std::string::npos)
        return {};
    const auto start = text.rfind('\n', at) + 1;
    return text.substr(start, text.find('\n', at) - start);
}

// The scanner's device is a pseudo-terminal whose other end is free: the check may open it.
class CheckE2E : public ::testing::Test {
protected:
    void SetUp() override {
        if (!pty.valid())
            GTEST_SKIP() << "no pseudo-terminal could be opened";
        pty.closeSlave();
    }
    PtyPair pty;
};

TEST_F(CheckE2E, AGoodWorkstationIsReadyAndNothingIsWritten) {
    Workstation station(pty.path());
    const auto result = station.check();
    EXPECT_EQ(result.exitCode, 0) << result.out << result.err;
    EXPECT_NE(result.out.find("ok      ORX.INI: read from " + station.workspace.iniPath()),
              std::string::npos)
        << result.out;
    EXPECT_NE(result.out.find("ok      CommPollTime: 100 (from ORX.INI)"), std::string::npos);
    EXPECT_NE(result.out.find("ok      Settings: 9600,N,8,1 (default)"), std::string::npos);
    EXPECT_NE(result.out.find("opened and closed with 9600,N,8,1"), std::string::npos);
    EXPECT_NE(result.out.find("0 error(s)"), std::string::npos);
    EXPECT_EQ(testing::readFile(station.workspace.iniPath()), station.ini()) << "no key written";
    EXPECT_FALSE(std::filesystem::exists(station.workspace.logPath())) << "no log written";
    EXPECT_FALSE(std::filesystem::exists(station.workspace.journalPath())) << "no host object";
}

TEST_F(CheckE2E, EachMistakeIsNamedWithWhatToDo) {
    struct Case {
        const char* name;
        std::function<void(Workstation&)> mistake;
        int exitCode;
        const char* line;
    };
    const Case cases[] = {
        {"no ORX.INI", [](Workstation& s) { s.written = false; }, 1, "error   ORX.INI: not found"},
        {"a misspelt section", [](Workstation& s) { s.section = "VOZEZlZO"; }, 0,
         "warning [VOZEZIZO]: no such section"},
        {"a misspelt key", [](Workstation& s) { s.rename("CommPollTime", "CommPolTime"); }, 0,
         "warning CommPolTime: key in [VOZEZIZO] is not known: it is not read; to do: did you "
         "mean CommPollTime?"},
        {"settings the port refuses", [](Workstation& s) { s.set("Settings", "9600,X,8,1"); }, 1,
         "error   Settings: 9600,X,8,1 is refused by the port"},
        {"GCodePath without a backslash",
         [](Workstation& s) { s.set("GCodePath", "C:\\VELMORA\\PRODUCT"); }, 0,
         "warning GCodePath: C:\\VELMORA\\PRODUCT has no trailing backslash"},
        {"GCodePath that does not exist",
         [](Workstation& s) { s.set("GCodePath", "C:\\NOWHERE\\"); }, 1,
         "error   GCodePath: C:\\NOWHERE\\"},
        {"an unreadable ORX.INI",
         [](Workstation& s) {
             s.written = false;
             std::filesystem::create_directories(s.workspace.iniPath());
         },
         1, "ORX.INI"},
        {"a missing device", [](Workstation& s) { s.set("Com1Device", "/dev/no-such-scanner"); }, 1,
         "error   scanner device: /dev/no-such-scanner (COM1) is missing"},
        {"a missing CSV folder",
         [](Workstation& s) { std::filesystem::remove_all(s.workspace.drive('c') + "/CSV"); }, 1,
         "error   CSVInPath: "},
        {"a missing editor",
         [](Workstation& s) {
             std::filesystem::remove(s.workspace.drive('c') + "/velmora/bin/Scrivon.exe");
         },
         1, "error   editor: c:\\velmora\\bin\\Scrivon.exe"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Workstation station(pty.path());
        c.mistake(station);
        const auto result = station.check();
        EXPECT_EQ(result.exitCode, c.exitCode) << result.out;
        EXPECT_FALSE(lineWith(result.out, c.line).empty()) << result.out;
    }
}

TEST_F(CheckE2E, ABusyDeviceIsNamedWithItsHolderAndNotOpened) {
    Workspace first;
    first.writeIni("[VOZEZIZO]\r\nCommPollTime=100\r\nCom1Device=" + pty.path() + "\r\n");
    ProgramRun holder(first);
    ASSERT_TRUE(waitForText(first.logPath(), "scanner port open: "));
    Workstation station(pty.path());
    const auto result = station.check();
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_FALSE(lineWith(result.out, "(COM1) is busy: held by lumetra (pid " +
                                          std::to_string(holder.pid()) + ")")
                     .empty())
        << result.out;
    // The check did not take the port from the program: a scan still reaches it.
    pty.send("%START%");
    EXPECT_TRUE(waitForText(first.logPath(), "\tstatus\tReading Barcode-Label.%START%\n"));
}

TEST_F(CheckE2E, AFolderThatCannotTakeFilesIsAnError) {
    Workstation station(pty.path());
    // A file where the folder should be cannot take files, whoever asks.
    std::filesystem::remove_all(station.workspace.drive('c') + "/CSV");
    testing::writeFile(station.workspace.drive('c') + "/CSV", "not a folder");
    const auto result = station.check();
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(lineWith(result.out, "error   CSVInPath: ").find("it is not a folder"),
              std::string::npos)
        << result.out;
}

TEST_F(CheckE2E, TheJsonFormParses) {
    Workstation station(pty.path());
    station.rename("CommPollTime", "CommPolTime");
    station.set("Com1Device", "/dev/no-such-scanner");
    const auto result = station.check({"--json"});
    EXPECT_EQ(result.exitCode, 1);
    QJsonParseError error{};
    const QJsonDocument document =
        QJsonDocument::fromJson(QByteArray::fromStdString(result.out), &error);
    ASSERT_EQ(error.error, QJsonParseError::NoError) << result.out;
    const QJsonObject root = document.object();
    EXPECT_FALSE(root.value(QStringLiteral("ready")).toBool());
    EXPECT_GE(root.value(QStringLiteral("errors")).toInt(), 0);
    EXPECT_GE(root.value(QStringLiteral("warnings")).toInt(), 1);
    bool misspelt = false;
    for (const QJsonValue& item : root.value(QStringLiteral("items")).toArray()) {
        const QJsonObject object = item.toObject();
        if (object.value(QStringLiteral("item")).toString() == QStringLiteral("CommPolTime")) {
            misspelt = true;
            EXPECT_EQ(object.value(QStringLiteral("status")).toString(), QStringLiteral("warning"));
            EXPECT_EQ(object.value(QStringLiteral("remedy")).toString(),
                      QStringLiteral("did you mean CommPollTime?"));
        }
    }
    EXPECT_TRUE(misspelt);
}

// Every program of the package ends a usage error with status 2, which scripts rely on.
TEST(CommandLineE2E, UsageErrorsEndWithStatusTwoInEveryProgram) {
    for (const std::vector<std::string>& argv :
         {std::vector<std::string>{binary("lumetra"), "--json"},
          std::vector<std::string>{binary("lumetra"), "--no-such-option"},
          std::vector<std::string>{binary("lumetra"), "--check", "extra"},
          std::vector<std::string>{binary("lumetra"), "--check", "--no-such-option"},
          std::vector<std::string>{binary("lumetra-editor"), "--no-such-option"},
          std::vector<std::string>{binary("lumetra-editor"), "--show-after", "soon"},
          std::vector<std::string>{binary("lumetra-scan"), "--no-such-option"},
          std::vector<std::string>{binary("lumetra-ini"), "--no-such-option"},
          std::vector<std::string>{binary("lumetra-ini")}}) {
        const auto result = runCommand(argv, {{"QT_QPA_PLATFORM", "offscreen"}});
        EXPECT_EQ(result.exitCode, 2) << argv[0] << " " << argv[1] << "\n" << result.err;
    }
}

// The same mistakes at start-up: the message boxes keep their texts, the log and standard
// error name the cause.
TEST(StartupDiagnosticsE2E, MistakesAreNamedInTheLogAndOnStandardError) {
    struct Case {
        std::string ini;
        const char* told;
    };
    const Case cases[] = {
        {"[VOZEZlZO]\r\nCommPollTime=100\r\n", "warning: [VOZEZIZO]: no such section"},
        {"[VOZEZIZO]\r\nCommPolTime=100\r\n",
         "warning: CommPolTime: key in [VOZEZIZO] is not known: it is not read (did you mean "
         "CommPollTime?)"},
        {"[VOZEZIZO]\r\nSettings=9600,X,8,1\r\n", "Settings=9600,X,8,1 in "},
        {"[VOZEZIZO]\r\nGCodePath=C:\\VELMORA\\PRODUCT\r\n",
         "warning: GCodePath: C:\\VELMORA\\PRODUCT has no trailing backslash"},
        {"[VOZEZIZO]\r\nGCodePath=C:\\NOWHERE\\\r\n", "warning: GCodePath: C:\\NOWHERE\\ ("},
        {"", "ORX.INI not found: looked for "},
        {"folder", "ORX.INI (a folder stands there, not a file)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.told);
        Workspace workspace;
        if (c.ini == "folder")
            std::filesystem::create_directories(workspace.iniPath());
        else if (!c.ini.empty())
            workspace.writeIni(c.ini);
        // Ended once start-up (with its pause of a second) is over.
        const auto result = runCommand({"/usr/bin/timeout", "-s", "TERM", "2.5", binary("lumetra")},
                                       workspace.environment());
        EXPECT_NE(result.err.find(c.told), std::string::npos) << result.err;
        std::string logged = c.told; // the log writes a backslash as two
        for (std::size_t at = 0; (at = logged.find('\\', at)) != std::string::npos; at += 2)
            logged.insert(at, 1, '\\');
        EXPECT_NE(workspace.log().find(logged), std::string::npos) << workspace.log();
    }
}

} // namespace
} // namespace lumetra::e2e
