#include "e2e/harness.h"
#include "support/pty_pair.h"
#include "support/workspace.h"

#include <gtest/gtest.h>
#include <thread>

namespace lumetra::e2e {
namespace {

using namespace std::chrono_literals;
using testing::PtyPair;

std::size_t count(const std::string& text, const std::string& needle) {
    return testing::occurrences(text, needle);
}

class ScannerE2E : public ::testing::Test {
protected:
    void SetUp() override {
        if (!pty.valid())
            GTEST_SKIP() << "no pseudo-terminal could be opened";
        workspace.writeIni("[VOZEZIZO]\r\nCommPollTime=100\r\nCom1Device=" + pty.path() + "\r\n");
        run = std::make_unique<ProgramRun>(workspace);
        ASSERT_TRUE(waitForText(workspace.logPath(), "scanner port open: COM1:9600,N,8,1"))
            << workspace.log();
    }
    // The scan reached label processing: its status line was shown.
    bool handled(const std::string& text) {
        return waitForText(workspace.logPath(), "\tstatus\tReading Barcode-Label." + text + "\n");
    }

    Workspace workspace;
    PtyPair pty;
    std::unique_ptr<ProgramRun> run;
};

TEST_F(ScannerE2E, ChunksAreJoinedAndFramedOnce) {
    for (const std::string chunk : {"%13P1", "00!N", "!13!", "%"}) {
        pty.send(chunk);
        std::this_thread::sleep_for(40ms);
    }
    ASSERT_TRUE(handled("%13P100 N 13 %")) << workspace.log();
    const std::string log = workspace.log();
    EXPECT_EQ(count(log, "\tscan\t"), 1u);
    EXPECT_NE(log.find("\tscan\t%13P100!N!13!%\n"), std::string::npos);
    EXPECT_NE(log.find("\tstatus\tReading Barcode-Label.%13P100 N 13 %\n"), std::string::npos);
}

TEST_F(ScannerE2E, RemaindersAndFormsAreDispatchedInOrder) {
    pty.send("%A%%B%");
    ASSERT_TRUE(handled("%B%")) << workspace.log();
    pty.send("'P100$xyz");
    ASSERT_TRUE(handled("P100")) << workspace.log();
    ASSERT_TRUE(waitForText(workspace.journalPath(), "AddLine\tP100;1;N;"))
        << "the apostrophe form selected field N for the label";
    pty.send("NAME^X800!body");
    ASSERT_TRUE(waitForText(workspace.logPath(), "\tscan\tNAME^X800!body"));
    const std::string log = workspace.log();
    const auto a = log.find("Reading Barcode-Label.%A%%B%");
    const auto b = log.find("Reading Barcode-Label.%B%\n");
    const auto p = log.find("Reading Barcode-Label.P100\n");
    EXPECT_LT(a, b);
    EXPECT_LT(b, p);
    EXPECT_EQ(log.find("Reading Barcode-Label.NAME"), std::string::npos)
        << "a scan with ^ goes to program import, not label processing";
}

TEST_F(ScannerE2E, BinaryNoiseAndLongBurstsDoNotStopTheProgram) {
    std::string noise;
    for (int i = 0; i < 20000; ++i)
        noise += static_cast<char>((i * 7919 + 13) % 256);
    pty.send(noise);
    std::this_thread::sleep_for(600ms);
    pty.send("%START%");
    ASSERT_TRUE(handled("%START%")) << "the program went on after the noise";
    EXPECT_TRUE(run->running());
}

TEST_F(ScannerE2E, APulledDeviceIsReportedAndTheProgramRunsOn) {
    pty.closeSlave();
    pty.closeMaster();
    ASSERT_TRUE(waitForText(workspace.logPath(), "\tstatus\tScanner port lost: "))
        << workspace.log();
    std::this_thread::sleep_for(300ms);
    EXPECT_TRUE(run->running());
}

TEST(ScannerStartupE2E, APortThatCannotOpenLeadsIntoTheDialogBeforeTheHost) {
    Workspace workspace;
    workspace.writeIni("[VOZEZIZO]\r\nCommPollTime=100\r\nCom1Device=/nonexistent/ttyLumetra\r\n");
    ProgramRun run(workspace);
    ASSERT_TRUE(waitForText(workspace.logPath(), "Settings [dialog; Cancel]")) << workspace.log();
    ASSERT_TRUE(waitForText(workspace.journalPath(), "Pelitrax.Application#1"));
    const std::string log = workspace.log();
    const auto error =
        log.find("\tmessage\tUnexpected error # 8002 occured: /nonexistent/ttyLumetra");
    const auto dialog = log.find("Settings [dialog; Cancel]");
    EXPECT_NE(error, std::string::npos) << log;
    EXPECT_LT(error, dialog);
    // Both files carry the same clock: the dialog came before the host was first called.
    const std::string dialogTime = log.substr(log.rfind('\n', dialog) + 1, 23);
    const std::string hostTime = testing::readFile(workspace.journalPath()).substr(0, 23);
    EXPECT_LE(dialogTime, hostTime);
    EXPECT_TRUE(run.running());
}

} // namespace
} // namespace lumetra::e2e

namespace lumetra::e2e {
namespace {

// The integrator names a stable path (as /dev/serial/by-id/ gives); behind it the device
// goes and comes as a USB scanner pulled out and plugged in again.
TEST(ScannerReconnectE2E, ARemovedDeviceIsReopenedByItselfWhenItComesBack) {
    Workspace workspace;
    auto pty = std::make_unique<PtyPair>();
    if (!pty->valid())
        GTEST_SKIP() << "no pseudo-terminal could be opened";
    const std::string stable = workspace.programDir() + "/scanner";
    std::filesystem::create_symlink(pty->path(), stable);
    workspace.writeIni("[VOZEZIZO]\r\nCommPollTime=100\r\nCom1Device=" + stable + "\r\n");
    ProgramRun run(workspace);
    ASSERT_TRUE(
        waitForText(workspace.logPath(), "scanner port open: COM1:9600,N,8,1 on " + stable));
    for (int round = 1; round <= 3; ++round) {
        pty->closeMaster(); // pulled out
        std::filesystem::remove(stable);
        ASSERT_TRUE(waitForText(workspace.logPath(), "\tstatus\tScanner port lost: ", 10s));
        pty = std::make_unique<PtyPair>(); // plugged in again
        std::filesystem::create_symlink(pty->path(), stable);
        std::size_t opened = 0;
        for (int i = 0; i < 100 && opened < static_cast<std::size_t>(round + 1); ++i) {
            opened = count(workspace.log(), "\tstatus\tScanner port open again: ") + 1;
            std::this_thread::sleep_for(50ms);
        }
        ASSERT_EQ(opened, static_cast<std::size_t>(round + 1)) << workspace.log();
        pty->send("%START%");
        ASSERT_TRUE(waitForText(workspace.logPath(), "\tstatus\tReading Barcode-Label.%START%\n"));
        std::this_thread::sleep_for(900ms);
        ASSERT_EQ(count(testing::readFile(workspace.journalPath()), "\tStart\n"),
                  static_cast<std::size_t>(round));
    }
}

// With autostart the session may begin before the scanner is plugged in: the device that
// appears later is opened by itself, and the next scan is handled.
TEST(ScannerReconnectE2E, ADeviceThatAppearsAfterStartUpIsOpenedByItself) {
    PtyPair pty;
    if (!pty.valid())
        GTEST_SKIP() << "no pseudo-terminal could be opened";
    Workspace workspace;
    const std::string stable = workspace.programDir() + "/scanner";
    workspace.writeIni("[VOZEZIZO]\r\nCommPollTime=100\r\nCom1Device=" + stable + "\r\n");
    ProgramRun run(workspace);
    ASSERT_TRUE(waitForText(workspace.logPath(), "start-up complete"));
    const std::string atStart = workspace.log();
    EXPECT_NE(
        atStart.find("\tmessage\tUnexpected error # 8002 occured: " + stable + ": device missing"),
        std::string::npos)
        << atStart;
    EXPECT_NE(atStart.find("the scanner port is opened by itself once it can be"),
              std::string::npos);
    std::this_thread::sleep_for(5s);
    std::filesystem::create_symlink(pty.path(), stable);
    ASSERT_TRUE(waitForText(workspace.logPath(), "\tstatus\tScanner port open: COM1:9600,N,8,1"))
        << workspace.log();
    pty.send("%START%");
    ASSERT_TRUE(waitForText(workspace.logPath(), "\tstatus\tReading Barcode-Label.%START%\n"));
    ASSERT_TRUE(waitForText(workspace.journalPath(), "\tStart\n"));
}

TEST(ScannerReconnectE2E, MissingBusyAndNotASerialDeviceAreToldApart) {
    PtyPair pty;
    if (!pty.valid())
        GTEST_SKIP() << "no pseudo-terminal could be opened";
    Workspace first;
    first.writeIni("[VOZEZIZO]\r\nCommPollTime=100\r\nCom1Device=" + pty.path() + "\r\n");
    ProgramRun holder(first);
    ASSERT_TRUE(waitForText(first.logPath(), "scanner port open: "));
    const std::pair<std::string, std::string> cases[] = {
        {first.programDir() + "/no-such-device", "device missing"},
        {pty.path(), "busy: opened by another program"},
        {first.programDir(), "not a serial device"},
        {first.iniPath(), "not a serial device"},
    };
    for (const auto& [device, told] : cases) {
        Workspace other;
        other.writeIni("[VOZEZIZO]\r\nCommPollTime=100\r\nCom1Device=" + device + "\r\n");
        ProgramRun run(other);
        ASSERT_TRUE(waitForText(other.logPath(), "\tmessage\tUnexpected error # 8002 occured: "))
            << device;
        EXPECT_NE(other.log().find(told), std::string::npos) << device << "\n" << other.log();
    }
}

} // namespace
} // namespace lumetra::e2e
