#include "e2e/harness.h"

#include <csignal>
#include <gtest/gtest.h>

namespace lumetra::e2e {
namespace {

using namespace std::chrono_literals;

TEST(StartupE2E, WithoutOrxIniLogsAndExits) {
    Workspace workspace;
    ProgramRun run(workspace);
    EXPECT_EQ(run.waitForExit(20s), 1);
    EXPECT_NE(workspace.log().find("\tmessage\tFile ORX.INI Not Found"), std::string::npos)
        << workspace.log();
}

TEST(StartupE2E, AnEmptyIniStartsWithDefaultsAndASecondCopyEnds) {
    Workspace workspace;
    workspace.writeIni("");
    ProgramRun first(workspace);
    ASSERT_TRUE(waitForText(workspace.logPath(), "configuration read from"));
    ASSERT_TRUE(waitForText(workspace.iniPath(), "AutoClear= 1"));
    EXPECT_EQ(testing::readFile(workspace.iniPath()), "[VOZEZIZO]\r\nAutoClear= 1\r\n");
    ASSERT_TRUE(waitForText(workspace.logPath(), "\tinfo\tconfiguration: "));
    EXPECT_NE(
        workspace.log().find(
            "configuration: Settings=9600,N,8,1 CommPort=1 poll interval=1000 "
            "GCodePath=C:\\\\VELMORA\\\\PRODUCT\\\\ CSVInPath=C: "
            "CSVOutPath=C:\\\\Lumetra.csv AutoClear=1 Overwrite=1 Exclusion= console absent\n"),
        std::string::npos)
        << workspace.log();

    ProgramRun second(workspace);
    EXPECT_EQ(second.waitForExit(20s), 1);
    EXPECT_TRUE(waitForText(workspace.logPath(), "the Program is already running!"));
    EXPECT_TRUE(first.running()) << "the first copy runs on";
}

TEST(StartupE2E, CopiesInDifferentFoldersRunSideBySide) {
    Workspace one;
    Workspace two;
    one.writeIni("");
    two.writeIni("");
    ProgramRun first(one);
    ProgramRun second(two);
    EXPECT_TRUE(waitForText(one.logPath(), "configuration read from"));
    EXPECT_TRUE(waitForText(two.logPath(), "configuration read from"));
    EXPECT_TRUE(first.running());
    EXPECT_TRUE(second.running());
}

// An ORX.INI of 10 MB: a section of the integrator's own beside the program's keys.
std::string bigIni() {
    std::string text = "[VOZEZIZO]\r\nCommPollTime=100\r\nAutoClear= 1\r\n[NOTES]\r\n";
    for (int i = 0; text.size() < 10 * 1024 * 1024; ++i)
        text += "Note" + std::to_string(i) + "=" + std::string(60, 'n') + "\r\n";
    return text + "[VOZEZIZO]\r\nAutoClear= 0\r\n"; // a later duplicate is never read
}

TEST(StartupE2E, ABigOrxIniIsReadAsTheProfileFunctionsReadIt) {
    Workspace workspace;
    workspace.writeIni(bigIni());
    ProgramRun run(workspace);
    ASSERT_TRUE(waitForText(workspace.logPath(), "\tinfo\tstart-up complete", 20s))
        << workspace.log();
    EXPECT_NE(workspace.log().find(" poll interval=100 "), std::string::npos);
    EXPECT_NE(workspace.log().find(" AutoClear=1 "), std::string::npos);
}

TEST(StartupE2E, SigtermDuringStartUpEndsTheProgramInOrderAtOnce) {
    Workspace workspace;
    workspace.writeIni(bigIni());
    ProgramRun run(workspace);
    ASSERT_TRUE(waitForText(workspace.logPath(), "\tinfo\tstart-up in ", 20s));
    run.signal(SIGTERM);
    ASSERT_TRUE(run.waitForExit(20s));
    const std::string log = workspace.log();
    const auto took = millisecondsBetween(log, "\tinfo\tsignal 15: shutting down",
                                          "\tinfo\tshutdown: scanner port closed");
    ASSERT_TRUE(took) << log;
    // Whether the signal comes while the file is read, during start-up's pause or after
    // it, nothing waits once it is seen: what is left takes less than that pause.
    EXPECT_LT(*took, 1000) << log;
}

} // namespace
} // namespace lumetra::e2e
