// An operator who scans a sheet of labels quickly: scans that arrive while a label is
// handled (its pauses) stay apart and are each handled in turn.
#include "e2e/harness.h"
#include "support/pty_pair.h"
#include "support/workspace.h"

#include <gtest/gtest.h>
#include <thread>

namespace lumetra::e2e {
namespace {

using namespace std::chrono_literals;
using testing::PtyPair;

class Pace : public ::testing::Test {
protected:
    void start(int pollMilliseconds) {
        if (!pty.valid())
            GTEST_SKIP() << "no pseudo-terminal could be opened";
        std::filesystem::create_directories(workspace.drive('c') + "/PRODUCT");
        workspace.writeIni("[VOZEZIZO]\r\nCommPollTime=" + std::to_string(pollMilliseconds) +
                           "\r\nCom1Device=" + pty.path() +
                           "\r\nGCodePath=C:\\PRODUCT\\\r\nAutoClear= 0\r\nFieldCode_DFN=N\r\n");
        run = std::make_unique<ProgramRun>(workspace);
        ASSERT_TRUE(waitForText(workspace.logPath(), "\tinfo\tstart-up complete"))
            << workspace.log();
    }
    // Sends each text after the gap, as the scanner delivers a scan.
    void scanAll(const std::vector<std::string>& texts, std::chrono::milliseconds gap) {
        for (const std::string& text : texts) {
            pty.send(text);
            std::this_thread::sleep_for(gap);
        }
    }
    std::vector<std::string> waitForLines(std::size_t count, std::chrono::seconds timeout = 40s) {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        std::vector<std::string> lines;
        while ((lines = testing::linesAdded(workspace.journalPath())).size() < count &&
               std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(100ms);
        std::this_thread::sleep_for(1500ms); // nothing more comes after them
        return testing::linesAdded(workspace.journalPath());
    }
    // The first line is made before any reset of the label data: its fields are empty.
    static std::vector<std::string> plainLines(int count) {
        std::vector<std::string> lines = {"P00000;1;N;1;0;0;0;;;;;;;;;;;;;"};
        for (int i = 1; i < count; ++i)
            lines.push_back("P0000" + std::to_string(i) + ";1;N;1;0;0;0; ; ; ; ; ; ; ; ; ; ; ; ;");
        return lines;
    }

    Workspace workspace;
    PtyPair pty;
    std::unique_ptr<ProgramRun> run;
};

TEST_F(Pace, SixLabelsScannedFastGiveSixLinesAndSixAcknowledgements) {
    start(100);
    scanAll({"P00000", "P00001", "P00002", "P00003", "P00004", "P00005"}, 400ms);
    EXPECT_EQ(waitForLines(6), plainLines(6)) << workspace.log();
    EXPECT_EQ(pty.receive(5s, 24), "ACK\rACK\rACK\rACK\rACK\rACK\r");
}

TEST_F(Pace, AScannerSuffixKeepsScansApartAtAnyPace) {
    start(1000);
    scanAll({"P00000\r\n", "P00001\r\n", "P00002\r\n", "P00003\r\n", "P00004\r\n", "P00005\r\n"},
            300ms);
    EXPECT_EQ(waitForLines(6, 60s), plainLines(6)) << workspace.log();
}

TEST_F(Pace, AThreeRecordLabelScannedDuringTheLabelBeforeCompletes) {
    start(100);
    pty.send("P00000");
    ASSERT_TRUE(waitForText(workspace.logPath(), "\tstatus\tAdding to Barcode data to List.\n"));
    // The label's pauses have begun: the three records arrive meanwhile.
    scanAll({"%13P7!N!13!%", "%23600!400!18!%", "%331!2!3!4!%"}, 350ms);
    const auto lines = waitForLines(2);
    ASSERT_EQ(lines.size(), 2u) << workspace.log();
    EXPECT_EQ(lines[1], "P7;1;N;1;600;400;18;; ;13; ;1;2;3;4; ; ; ; ;");
    EXPECT_EQ(workspace.log().find("Barcode Formating Error."), std::string::npos)
        << workspace.log();
}

} // namespace
} // namespace lumetra::e2e
