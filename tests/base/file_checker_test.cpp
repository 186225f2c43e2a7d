#include "base/file_checker.h"
#include "support/fakes.h"

#include <deque>
#include <gtest/gtest.h>

namespace lumetra {
namespace {

using testing::FakeDialogs;

struct ScriptedProbe : FileProbe {
    std::deque<ProbeResult> results;
    int calls = 0;
    Probe probe(const std::string&) override {
        ++calls;
        const ProbeResult result = results.size() > 1 ? results.front() : results.back();
        if (results.size() > 1)
            results.pop_front();
        return {result, 5, "Input/output error"};
    }
};

struct IdentityPaths : Paths {
    std::string windowsDirectory() const override { return "/w"; }
    std::string programFolder() const override { return "/p"; }
    std::string map(std::string_view path) const override { return std::string(path); }
};

struct Case {
    std::deque<ProbeResult> probes;
    std::deque<Answer> answers;
    bool expected;
    std::vector<std::string> questions;
    int probeCalls;
};

TEST(FileExists, AsksAboutDiskErrorsAndRepeats) {
    const Case cases[] = {
        {{ProbeResult::Exists}, {}, true, {}, 1},
        {{ProbeResult::Missing}, {}, false, {}, 1},
        {{ProbeResult::DeviceError, ProbeResult::Exists},
         {Answer::Retry},
         true,
         {"Unformatted Disk"},
         2},
        {{ProbeResult::DeviceError}, {Answer::Cancel}, false, {"Unformatted Disk"}, 1},
        {{ProbeResult::NotReady, ProbeResult::NotReady, ProbeResult::Missing},
         {Answer::Ok, Answer::Ok},
         false,
         {"Insert Disk", "Insert Disk"},
         3},
        {{ProbeResult::NotReady}, {Answer::Cancel}, false, {"Insert Disk"}, 1},
        {{ProbeResult::OtherError},
         {},
         false,
         {"Unexpected error # 5 occured: Input/output error"},
         1},
    };
    for (const Case& c : cases) {
        ScriptedProbe probe;
        probe.results = c.probes;
        FakeDialogs dialogs;
        dialogs.answers = c.answers;
        IdentityPaths paths;
        FileChecker checker(probe, paths, dialogs);
        EXPECT_EQ(checker.fileExists("x"), c.expected);
        EXPECT_EQ(probe.calls, c.probeCalls);
        ASSERT_EQ(dialogs.shown.size(), c.questions.size());
        for (std::size_t i = 0; i < c.questions.size(); ++i)
            EXPECT_EQ(dialogs.shown[i].text, c.questions[i]);
    }
}

} // namespace
} // namespace lumetra
