#include "e2e/harness.h"

#include <gtest/gtest.h>
#include <sstream>
#include <thread>

namespace lumetra::e2e {
namespace {

using namespace std::chrono_literals;

std::string members(const std::string& journal) {
    std::string out;
    std::istringstream in(journal);
    for (std::string line; std::getline(in, line);)
        out += line.substr(line.find('\t') + 1) + "\n";
    return out;
}

TEST(HostE2E, WithoutTheConsoleTheHostIsShownAndItsListCreated) {
    Workspace workspace;
    workspace.writeIni("[VOZEZIZO]\r\nCom1Device=/nonexistent/tty\r\n");
    ProgramRun run(workspace);
    ASSERT_TRUE(waitForText(workspace.journalPath(), "Pelitrax.Application#1\tVisible=\tTrue"));
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(members(testing::readFile(workspace.journalPath())),
              "Pelitrax.Application#1\tVisible=\tTrue\n");
}

TEST(HostE2E, WithTheConsoleTheConsoleIsShown) {
    Workspace workspace;
    workspace.writeIni("[VOZEZIZO]\r\nCom1Device=/nonexistent/tty\r\n");
    testing::writeFile(workspace.programDir() + "/pultano.exe", "");
    ProgramRun run(workspace);
    ASSERT_TRUE(waitForText(workspace.journalPath(), "Pultano.Application#1\tVisible=\tTrue"));
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(members(testing::readFile(workspace.journalPath())),
              "Pultano.Application#1\tVisible=\tTrue\n");
}

TEST(HostE2E, AnAbsentHostGivesOneMessagePerStepAndTheProgramRunsOn) {
    Workspace workspace;
    workspace.writeIni("[VOZEZIZO]\r\nCom1Device=/nonexistent/tty\r\n");
    ProgramRun run(workspace, {{"LUMETRA_HOST_ABSENT", "1"}});
    ASSERT_TRUE(waitForText(workspace.logPath(), "Object variable or With block variable not set"));
    const std::string log = workspace.log();
    EXPECT_NE(log.find("Unexpected error # 429 occured: ActiveX component can't create object"),
              std::string::npos);
    std::this_thread::sleep_for(300ms);
    EXPECT_TRUE(run.running());
}

} // namespace
} // namespace lumetra::e2e
