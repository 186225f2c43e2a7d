#include "labels/list_file.h"
#include "platform/portable/portable_profile.h"
#include "platform/posix/posix_paths.h"
#include "platform/sim/simulated_automation.h"
#include "support/fakes.h"
#include "support/temp_dir.h"
#include "support/workspace.h"

#include <functional>
#include <gtest/gtest.h>
#include <sstream>

namespace lumetra {
namespace {

using namespace lumetra::testing;

class ListFiles : public ::testing::Test {
protected:
    ListFiles()
        : paths(driveEnvironment(dir), "/exe"), automation({dir.file("journal.tsv"), absent, 0}),
          profile(dir.str()), ini(profile, dir.file("ORX.INI")), status(panel, log, pump),
          host(automation, config.host), workList(state, host, ini, config, status, log),
          calls(host, status),
          loader(state, config, paths, dialogs, calls, workList, status, panel, log) {
        config.gcodePath = "C:\\PRODUCT\\";
        std::filesystem::create_directories(dir.file("PRODUCT"));
        fillFieldCodeTable(state.fieldCodeTable);
        resetLabelData(state, config.host);
        host.createHostApplication();
        host.connectWorkList();
        panel.options[Option::AutoStart] = 0;
    }

    std::vector<std::string> members() { return journalMembers(dir.file("journal.tsv")); }

    // A loader of the same state whose host cannot be reached: every host call fails.
    struct Unreachable {
        explicit Unreachable(ListFiles& rig)
            : none({"", true, 0}), host(none, rig.config.host),
              list(rig.state, host, rig.ini, rig.config, rig.status, rig.log),
              calls(host, rig.status), loader(rig.state, rig.config, rig.paths, rig.dialogs, calls,
                                              list, rig.status, rig.panel, rig.log) {}
        SimulatedAutomation none;
        HostLink host;
        WorkList list;
        HostCalls calls;
        ListFileLoader loader;
    };

    TempDir dir;
    bool absent = false;
    PosixPaths paths;
    SimulatedAutomation automation;
    PortableProfile profile;
    IniFile ini;
    Configuration config;
    LabelState state;
    FakePanel panel;
    FakePump pump;
    FakeDialogs dialogs;
    OperatorLog log{dir.file("operator.log")};
    StatusLine status;
    HostLink host;
    WorkList workList;
    HostCalls calls;
    ListFileLoader loader;
};

TEST_F(ListFiles, LoadsEveryEntryAfterTheHeader) {
    writeFile(dir.file("PRODUCT/LISTA.LST"),
              "HEADER LINE\r\nP100.CNC;2;A;1;600;400;18;DOOR;;13;\r\nEND\r\n\r\n"
              "P200;1;N;1;1;2;3\r\n");
    panel.indicators[0] = true;
    EXPECT_TRUE(loader.loadListFile("LISTA"));
    ASSERT_EQ(automation.state().lines.size(), 2u);
    EXPECT_EQ(automation.state().lines[0], "P100.CNC;2;A;1;600;400;18;DOOR;;13;;;;;;;;;;");
    EXPECT_EQ(automation.state().lines[1], "P200;1;N;1;1;2;3;;;;;;;;;;;;;");
    const auto journal = members();
    EXPECT_EQ(std::count(journal.begin(), journal.end(),
                         "Pelitrax.Application#1\tSetDeviceStatus\tKESTRAVIL.MAIN.AddProg\t1"),
              2);
    EXPECT_EQ(panel.status(), "Ready.");
    EXPECT_FALSE(panel.indicators[0]);
    EXPECT_EQ(state.data.programName, " ") << "reset after loading";
    EXPECT_EQ(pump.sleeps, (std::vector<int>{600, 600}));
}

TEST_F(ListFiles, StartsTheListOnceWithAutoStart) {
    panel.options[Option::AutoStart] = 1;
    writeFile(dir.file("PRODUCT/L.LST"), "HEADER\r\nP1;1;N;1\r\nP2;1;N;1\r\nP3;1;N;1\r\n");
    EXPECT_TRUE(loader.loadListFile("L"));
    const auto journal = members();
    EXPECT_EQ(std::count(journal.begin(), journal.end(), "Velmora.ExeList#1\tStart"), 1);
    EXPECT_EQ(journal.back(), "Velmora.ExeList#1\tStart");
}

TEST_F(ListFiles, AnEmptyListIsReported) {
    for (const std::string text :
         {"", "ONLY A HEADER\r\n", "abc\r\n12345\r\n  x  \r\n", "HEADER\r\nEND\r\n"}) {
        writeFile(dir.file("PRODUCT/E.LST"), text);
        dialogs.shown.clear();
        EXPECT_FALSE(loader.loadListFile("E"));
        ASSERT_EQ(dialogs.shown.size(), 1u);
        EXPECT_EQ(dialogs.shown[0].text, "List File C:\\PRODUCT\\E.LST Empty");
        EXPECT_EQ(dialogs.shown[0].icon, Icon::Exclamation);
        EXPECT_EQ(panel.status(), "Ready.");
    }
    EXPECT_TRUE(automation.state().lines.empty());
}

TEST_F(ListFiles, ALongListShowsItsProgressAndLetsTheWindowPaint) {
    std::string list = "HEADER LINE\r\nshort\r\n";
    for (int i = 0; i < 120; ++i)
        list += "P" + std::to_string(i) + ";1;N;1\r\n";
    writeFile(dir.file("PRODUCT/LONG.LST"), list);
    const int before = pump.processed;
    EXPECT_TRUE(loader.loadListFile("LONG"));
    EXPECT_EQ(automation.state().lines.size(), 120u);
    const std::vector<std::pair<std::size_t, std::size_t>> progress = {
        {50, 120}, {100, 120}, {0, 0}};
    EXPECT_EQ(panel.progress, progress);
    EXPECT_GE(pump.processed - before, 2) << "events ran during the load";
    EXPECT_EQ(panel.status(), "Ready.");
}

TEST_F(ListFiles, AMissingListIsReportedWithoutReady) {
    panel.statuses.clear();
    EXPECT_FALSE(loader.loadListFile("NOPE%"));
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, "List File C:\\PRODUCT\\NOPE%.LST Not Found");
    EXPECT_TRUE(panel.statuses.empty());
}

TEST_F(ListFiles, NamesThatLeaveTheFolderAreRefused) {
    writeFile(dir.file("OUT.LST"), "HEADER\r\nP1;1;N;1\r\n");
    panel.statuses.clear();
    EXPECT_FALSE(loader.loadListFile("..\\OUT"));
    EXPECT_TRUE(panel.statuses.empty()) << "the scan that named it is refused by its handler";
    EXPECT_TRUE(automation.state().lines.empty());
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(ListFiles, OddLinesAndFieldsAreTakenAsTheyStand) {
    std::string many = "HEADER\nQ";
    for (int i = 0; i < 3000; ++i)
        many += ";";
    many += "\rP;1;N;1;2;3;4;5;6;7;8;9;10;11;12;13;14;15;16;17;18;19;20\r";
    writeFile(dir.file("PRODUCT/ODD.LST"), many);
    EXPECT_TRUE(loader.loadListFile("ODD"));
    ASSERT_EQ(automation.state().lines.size(), 2u);
    EXPECT_EQ(automation.state().lines[0], "Q;;;;;;;;;;;;;;;;;;;");
    EXPECT_EQ(automation.state().lines[1], "P;1;N;1;2;3;4;5;6;7;8;9;10;11;12;13;14;15;16;");
}

TEST_F(ListFiles, AnEntryWhoseNameAScanCouldNotGiveIsSkipped) {
    const std::string refused[] = {
        "../../x;1;N;1",  "/etc/passwd;1;N;1", "C:\\WINDOWS\\x;1;N;1",           "P\x1B[2J;1;N;1",
        "P\x01;1;N;1",    "     ;1;N;1",       std::string(300, 'L') + ";1;N;1", "CON;1;N;1",
        "lpt1.cnc;1;N;1",
    };
    std::string text = "HEADER LINE\r\nGOOD1;1;N;1\r\n";
    for (const std::string& entry : refused)
        text += entry + "\r\n";
    text += "GOOD2;1;N;1\r\n";
    writeFile(dir.file("PRODUCT/MIXED.LST"), text);
    EXPECT_TRUE(loader.loadListFile("MIXED"));
    EXPECT_EQ(automation.state().lines, (std::vector<std::string>{"GOOD1;1;N;1;;;;;;;;;;;;;;;;",
                                                                  "GOOD2;1;N;1;;;;;;;;;;;;;;;;"}));
    const std::string logged = readFile(log.path());
    EXPECT_NE(logged.find("line 3 skipped: the program name cannot be used: ../../x"),
              std::string::npos)
        << logged;
    EXPECT_NE(logged.find("line 11 skipped"), std::string::npos) << logged;
    EXPECT_NE(logged.find(": 2 entries added, 9 skipped"), std::string::npos) << logged;
}

TEST_F(ListFiles, OnlyUnusableEntriesAddNothingAndSaySo) {
    writeFile(dir.file("PRODUCT/BAD.LST"), "HEADER LINE\r\n../x;1;N;1\r\n");
    EXPECT_FALSE(loader.loadListFile("BAD"));
    EXPECT_TRUE(automation.state().lines.empty());
    EXPECT_EQ(panel.status(), "List File C:\\PRODUCT\\BAD.LST has no usable entry: 1 skipped");
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(ListFiles, AFileThatIsNotTextIsRefusedWhole) {
    writeFile(dir.file("PRODUCT/BIN.LST"),
              std::string("HEADER LINE\r\nP1;1;N;1\r\nBIN\0ARY;1;N;1\r\nP2;1;N;1\r\n", 43));
    panel.indicators[0] = true;
    EXPECT_FALSE(loader.loadListFile("BIN"));
    EXPECT_TRUE(automation.state().lines.empty()) << "not even the entries before the NUL";
    EXPECT_EQ(panel.status(),
              "List File C:\\PRODUCT\\BIN.LST is not a text file: nothing was added");
    EXPECT_FALSE(panel.indicators[0]);
}

TEST_F(ListFiles, AnEndAskedForStopsTheLoadWithinOneEntry) {
    std::string text = "HEADER LINE\r\n";
    for (int i = 0; i < 1000; ++i)
        text += "P" + std::to_string(i) + ";1;N;1\r\n";
    writeFile(dir.file("PRODUCT/LONG.LST"), text);
    pump.duringEvents = [&] { pump.ended = automation.state().lines.size() == 7; };
    EXPECT_FALSE(loader.loadListFile("LONG"));
    EXPECT_EQ(automation.state().lines.size(), 7u);
    const std::string logged = readFile(log.path());
    EXPECT_NE(logged.find("stopped because the program is ending after 7 of 1000 entries"),
              std::string::npos)
        << logged;
}

TEST_F(ListFiles, AFailingHostStopsTheLoadWithoutAMessage) {
    writeFile(dir.file("PRODUCT/L.LST"), "HEADER\r\nP1;1;N;1\r\nP2;1;N;1\r\n");
    Unreachable unreachable(*this);
    ListFileLoader& failing = unreachable.loader;
    EXPECT_FALSE(failing.loadListFile("L"));
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(state.data.programName, "P1") << "the entry being added stays";
}

// Whatever ends a load, the indicators of the label go off with it.
TEST_F(ListFiles, EveryFailedLoadHidesTheIndicators) {
    writeFile(dir.file("PRODUCT/EMPTY.LST"), "HEADER LINE\r\nEND\r\n");
    writeFile(dir.file("PRODUCT/BIN.LST"), std::string("HEADER LINE\r\nP\0;1\r\n", 22));
    writeFile(dir.file("PRODUCT/BAD.LST"), "HEADER LINE\r\n../x;1;N;1\r\n");
    writeFile(dir.file("PRODUCT/LONG.LST"), "HEADER LINE\r\nP1;1;N;1\r\nP2;1;N;1\r\n");
    std::filesystem::create_directories(dir.file("PRODUCT/DIR.LST"));
    const std::pair<std::string, std::function<void()>> cases[] = {
        {"MISSING", [] {}},
        {"DIR", [] {}},
        {"EMPTY", [] {}},
        {"BIN", [] {}},
        {"BAD", [] {}},
        {"..\\OUT", [] {}},
        {"LONG", [this] { pump.duringEvents = [this] { pump.ended = true; }; }},
    };
    for (const auto& [name, arrange] : cases) {
        arrange();
        panel.indicators.fill(true);
        EXPECT_FALSE(loader.loadListFile(name)) << name;
        EXPECT_EQ(panel.indicators, (std::array<bool, 5>{})) << name;
        pump.duringEvents = nullptr;
        pump.ended = false;
    }
    Unreachable unreachable(*this);
    ListFileLoader& failing = unreachable.loader;
    panel.indicators.fill(true);
    EXPECT_FALSE(failing.loadListFile("LONG"));
    EXPECT_EQ(panel.indicators, (std::array<bool, 5>{})) << "a host that fails";
}

TEST_F(ListFiles, TenThousandEntriesLoad) {
    std::string text = "HEADER LINE\r\n";
    for (int i = 0; i < 10000; ++i)
        text += "P" + std::to_string(i) + ";1;N;1;600;400;18\r\n";
    writeFile(dir.file("PRODUCT/BIG.LST"), text);
    EXPECT_TRUE(loader.loadListFile("BIG"));
    EXPECT_EQ(automation.state().lines.size(), 10000u);
}

} // namespace
} // namespace lumetra
