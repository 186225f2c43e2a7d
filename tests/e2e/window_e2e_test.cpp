// The program in a real window on a real X server, driven by keys as an operator would.
#include "e2e/harness.h"
#include "e2e/x_display.h"
#include "support/pty_pair.h"
#include "support/workspace.h"

#include <csignal>
#include <gtest/gtest.h>
#include <thread>

namespace lumetra::e2e {
namespace {

using namespace std::chrono_literals;
using testing::PtyPair;

std::size_t lockFiles(const std::string& folder) {
    std::size_t n = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        n += entry.path().extension() == ".lock";
    return n;
}

class WindowE2E : public ::testing::Test {
protected:
    void SetUp() override {
        if (!x.installed())
            GTEST_SKIP() << "Xvfb, matchbox-window-manager or xdotool is not installed";
        ASSERT_TRUE(x.valid()) << x.failure();
        if (!pty.valid())
            GTEST_SKIP() << "no pseudo-terminal could be opened";
        workspace.writeIni("[VOZEZIZO]\r\nCommPollTime=100\r\nCom1Device=" + pty.path() +
                           "\r\nAutoClear= 0\r\nFieldCode_DFN=N\r\n");
        run = std::make_unique<ProgramRun>(
            workspace,
            std::map<std::string, std::string>{{"QT_QPA_PLATFORM", "xcb"}, {"DISPLAY", x.name()}});
        ASSERT_TRUE(waitForText(workspace.logPath(), "\tinfo\tstart-up complete", 40s))
            << workspace.log()
            << "\nexit: " << run->waitForExit(std::chrono::milliseconds(0)).value_or(-1);
        window = x.findWindow("^Lumetra$");
        ASSERT_FALSE(window.empty());
        x.xdotool({"windowactivate", "--sync", window});
    }
    // Opens the entry from the keyboard: the focus starts on the first option box and
    // the Edit button follows the four boxes.
    void openEntry() {
        for (int attempt = 0; attempt < 3; ++attempt) {
            x.xdotool({"windowactivate", "--sync", window});
            std::this_thread::sleep_for(300ms);
            x.xdotool({"key", "--delay", "50", "Tab", "Tab", "Tab", "Tab", "space"});
            if (waitForText(workspace.logPath(), "\tstatus\tType the Barcode-Label.\n", 5s))
                return;
        }
        FAIL() << "the entry did not open\n" << workspace.log();
    }
    std::vector<std::string> journal() { return testing::journalMembers(workspace.journalPath()); }

    XDisplay x;
    Workspace workspace;
    PtyPair pty;
    std::unique_ptr<ProgramRun> run;
    std::string window;
};

TEST_F(WindowE2E, AScanDuringATypedLabelReachesTheHostAfterIt) {
    ASSERT_NO_FATAL_FAILURE(openEntry());
    x.xdotool({"type", "--delay", "20", "p1"});
    // Enter from an option box, not the text box: OK is the window's default button.
    x.xdotool({"key", "shift+Tab", "shift+Tab", "Return"});
    ASSERT_TRUE(waitForText(workspace.logPath(), "\tstatus\tAdding to Barcode data to List.\n"))
        << workspace.log();
    pty.send("%STOP%");
    ASSERT_TRUE(waitForText(workspace.journalPath(), "\tStop")) << workspace.log();
    const auto entries = journal();
    const auto line = std::find_if(entries.begin(), entries.end(), [](const std::string& e) {
        return e.find("\tAddLine\tP1;1;N;") != std::string::npos;
    });
    const auto stop = std::find(entries.begin(), entries.end(), "Velmora.ExeList#1\tStop");
    ASSERT_NE(line, entries.end()) << workspace.log();
    EXPECT_LT(line - entries.begin(), stop - entries.begin());
    const std::string log = workspace.log();
    EXPECT_NE(log.find("\tscan\tP1 (typed)\n"), std::string::npos) << log;
    EXPECT_EQ(log.find("refused"), std::string::npos) << log;
}

TEST_F(WindowE2E, ClosingTheMainWindowEndsTheProgramInOrder) {
    ASSERT_TRUE(x.askToClose(window));
    const auto code = run->waitForExit(10s);
    ASSERT_TRUE(code.has_value()) << "the host simulator's window must not keep it alive";
    EXPECT_EQ(*code, 0);
    EXPECT_TRUE(waitForText(workspace.logPath(),
                            "\tinfo\tshutdown: scanner port closed, host objects released\n", 1s));
    EXPECT_EQ(lockFiles(workspace.programDir()), 0u);
}

TEST_F(WindowE2E, ClosingDuringAPauseFinishesTheLabelThenEnds) {
    pty.send("%11P2 N 1 %");
    ASSERT_TRUE(waitForText(workspace.logPath(), "\tstatus\tAdding to Barcode data to List.\n"));
    ASSERT_TRUE(x.askToClose(window));
    const auto code = run->waitForExit(20s);
    ASSERT_TRUE(code.has_value());
    EXPECT_EQ(*code, 0) << workspace.log();
    EXPECT_NE(testing::readFile(workspace.journalPath()).find("\tAddLine\tP2;1;N;"),
              std::string::npos);
    EXPECT_TRUE(waitForText(workspace.logPath(), "\tinfo\tshutdown: ", 1s));
}

TEST(SignalE2E, TermAndIntShutDownInOrder) {
    for (const int signal : {SIGTERM, SIGINT}) {
        Workspace workspace;
        workspace.writeIni("[VOZEZIZO]\r\nCommPollTime=100\r\n");
        ProgramRun run(workspace);
        ASSERT_TRUE(waitForText(workspace.logPath(), "\tinfo\tstart-up complete"));
        EXPECT_EQ(lockFiles(workspace.programDir()), 1u);
        run.signal(signal);
        const auto code = run.waitForExit(10s);
        ASSERT_TRUE(code.has_value());
        EXPECT_EQ(*code, 0);
        const std::string log = workspace.log();
        EXPECT_NE(log.find("\tinfo\tsignal " + std::to_string(signal) + ": shutting down\n"),
                  std::string::npos)
            << log;
        EXPECT_NE(log.find("\tinfo\tshutdown: scanner port closed, host objects released\n"),
                  std::string::npos);
        EXPECT_EQ(lockFiles(workspace.programDir()), 0u);
    }
}

} // namespace
} // namespace lumetra::e2e
