// The program under what a shop's first day brings: noise on the line, a scanner pulled
// out in the middle of a scan, and a list of ten thousand entries.
#include "e2e/harness.h"
#include "support/pty_pair.h"
#include "support/workspace.h"

#include <gtest/gtest.h>
#include <random>
#include <thread>

namespace lumetra::e2e {
namespace {

using namespace std::chrono_literals;
using testing::PtyPair;

// The largest resident size the process has had, in kB.
long peakResidentKilobytes(int pid) {
    const std::string status = testing::readFile("/proc/" + std::to_string(pid) + "/status");
    const auto at = status.find("VmHWM:");
    return at == std::string::npos ? -1 : std::atol(status.c_str() + at + 6);
}

class Stress : public ::testing::Test {
protected:
    void start(const std::string& keys = {}) {
        if (!pty.valid())
            GTEST_SKIP() << "no pseudo-terminal could be opened";
        std::filesystem::create_directories(workspace.drive('c') + "/PRODUCT");
        workspace.writeIni("[VOZEZIZO]\r\nCommPollTime=100\r\nCom1Device=" + pty.path() +
                           "\r\nGCodePath=C:\\PRODUCT\\\r\nAutoClear= 0\r\n" + keys);
        run = std::make_unique<ProgramRun>(workspace);
        ASSERT_TRUE(waitForText(workspace.logPath(), "\tinfo\tstart-up complete"));
    }
    std::vector<std::string> linesAdded() { return testing::linesAdded(workspace.journalPath()); }

    Workspace workspace;
    PtyPair pty;
    std::unique_ptr<ProgramRun> run;
};

TEST_F(Stress, NoiseKeepsMemorySmallAndTheNextScanIsHandled) {
    start();
    std::mt19937 random(7);
    std::string noise(2 * 1024 * 1024, '\0');
    for (char& c : noise)
        c = static_cast<char>(random() % 256);
    for (std::size_t at = 0; at < noise.size(); at += 64 * 1024) // no quiet gap
        pty.send(noise.substr(at, 64 * 1024));
    ASSERT_TRUE(
        waitForText(workspace.logPath(), "\tstatus\tScan dropped: longer than the scan", 30s))
        << "the noise overflowed the scan buffer and was dropped whole";
    std::this_thread::sleep_for(400ms);
    pty.send("%START%");
    ASSERT_TRUE(waitForText(workspace.journalPath(), "\tStart\n", 15s)) << workspace.log();
    EXPECT_LT(peakResidentKilobytes(run->pid()), 100 * 1024);
    EXPECT_TRUE(linesAdded().empty());
    EXPECT_LT(std::filesystem::file_size(workspace.logPath()), 64u * 1024);
}

TEST_F(Stress, AScannerLostMidScanAddsNoLine) {
    start("FieldCode_DFN=N\r\n");
    pty.send("%11P1");
    std::this_thread::sleep_for(50ms);
    pty.closeMaster();
    ASSERT_TRUE(waitForText(workspace.logPath(), "\tstatus\tScanner port lost: "))
        << workspace.log();
    ASSERT_TRUE(waitForText(workspace.logPath(), " bytes of an unfinished scan discarded: %11P1"));
    std::this_thread::sleep_for(500ms);
    EXPECT_TRUE(linesAdded().empty());
    EXPECT_EQ(workspace.log().find("\tscan\t%11P1"), std::string::npos);
}

TEST_F(Stress, TenThousandListEntriesAndAScanDuringTheLoad) {
    std::string list = "NAME;REP;FIELD\r\n";
    for (int i = 0; i < 10000; ++i)
        list += "L" + std::to_string(i) + ";1;N;1;100;200;18\r\n";
    std::filesystem::create_directories(workspace.drive('c') + "/PRODUCT");
    testing::writeFile(workspace.drive('c') + "/PRODUCT/BIG.LST", list);
    start();
    const auto began = std::chrono::steady_clock::now();
    pty.send("%01BIG");
    ASSERT_TRUE(waitForText(workspace.journalPath(), "AddLine\tL100;", 20s));
    pty.send("%11AFTER N %");
    ASSERT_TRUE(waitForText(workspace.journalPath(), "AddLine\tAFTER;", 120s)) << workspace.log();
    const auto seconds =
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - began)
            .count();
    const auto lines = linesAdded();
    ASSERT_EQ(lines.size(), 10001u);
    EXPECT_EQ(lines[9999].substr(0, 6), "L9999;");
    EXPECT_EQ(lines.back().substr(0, 6), "AFTER;") << "the scan waited for the list";
    EXPECT_EQ(workspace.log().find("refused"), std::string::npos);
    RecordProperty("seconds", static_cast<int>(seconds));
}

} // namespace
} // namespace lumetra::e2e
