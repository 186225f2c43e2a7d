#include "base/problems.h"
#include "base/status_line.h"
#include "support/fakes.h"
#include "support/temp_dir.h"

#include <algorithm>

#include <gtest/gtest.h>

namespace lumetra {
namespace {

using testing::FakePanel;

std::size_t lines(const std::string& text) {
    return text.empty() ? 0
                        : static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1;
}

TEST(Problems, TheLastStaysUntilAcknowledgedOrItsOwnStepSucceeds) {
    FakePanel panel;
    Problems problems(panel);
    problems.report(ProblemStep::ProgramFile, "Program file not saved: P1");
    problems.report(ProblemStep::CsvExport, "CSV export failed: disk full");
    EXPECT_EQ(panel.problem, "CSV export failed: disk full");
    problems.succeeded(ProblemStep::ProgramFile);
    EXPECT_EQ(panel.problem, "CSV export failed: disk full") << "another step's success";
    problems.succeeded(ProblemStep::CsvExport);
    EXPECT_EQ(panel.problem, "");
    problems.report(ProblemStep::HostCall, "Host call failed: busy");
    problems.acknowledge();
    EXPECT_EQ(panel.problem, "");
}

TEST(Problems, TheTooltipKeepsTheLastTenNewestFirstWithTheirTimes) {
    FakePanel panel;
    Problems problems(panel);
    for (int i = 1; i <= 12; ++i)
        problems.report(ProblemStep::HostWorkList, "problem " + std::to_string(i));
    EXPECT_EQ(lines(panel.problemHistory), Problems::kKept);
    EXPECT_EQ(panel.problemHistory.substr(8, 12), "  problem 12") << panel.problemHistory;
    EXPECT_EQ(panel.problemHistory.find("problem 2\n"), std::string::npos);
    EXPECT_NE(panel.problemHistory.find("problem 3"), std::string::npos);
    EXPECT_EQ(panel.problemHistory[2], ':');
}

TEST(Problems, TheStatusLineShowsLogsAndKeepsAProblem) {
    FakePanel panel;
    testing::TempDir dir;
    OperatorLog log(dir.file("op.log"));
    testing::FakePump pump;
    StatusLine status(panel, log, pump);
    status.showProblem(ProblemStep::Setting, "Setting not saved in ORX.INI: AutoClear (read-only)");
    status.readyStep();
    EXPECT_EQ(panel.status(), "Ready.");
    EXPECT_EQ(panel.problem, "Setting not saved in ORX.INI: AutoClear (read-only)");
    const std::string text = testing::readFile(dir.file("op.log"));
    EXPECT_NE(text.find("\tstatus\tSetting not saved"), std::string::npos);
    EXPECT_NE(text.find("\terror\tSetting not saved"), std::string::npos);
    status.stepSucceeded(ProblemStep::Setting);
    EXPECT_EQ(panel.problem, "");
}

} // namespace
} // namespace lumetra
