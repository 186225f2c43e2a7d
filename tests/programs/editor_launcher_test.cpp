#include "programs/editor_launcher.h"
#include "support/fakes.h"

#include <algorithm>
#include <deque>
#include <gtest/gtest.h>
#include <map>

namespace lumetra {
namespace {

using namespace lumetra::testing;

struct FakeDesktop : Desktop {
    std::vector<std::string> calls;
    bool startFails = false;
    TaskId nextTask = 41;
    std::map<TaskId, std::optional<bool>> running;

    std::optional<TaskId> start(std::string_view path) override {
        calls.push_back("start " + std::string(path));
        if (startFails)
            return std::nullopt;
        ++nextTask;
        running[nextTask] = true;
        return nextTask;
    }
    std::optional<bool> isRunning(TaskId task) override {
        calls.push_back("running? " + std::to_string(task));
        const auto it = running.find(task);
        return it == running.end() ? std::optional<bool>(false) : it->second;
    }
    bool activate(TaskId task) override {
        calls.push_back("activate " + std::to_string(task));
        return true;
    }
    bool windows = true;
    int windowAfterPolls = 0; // polls before the editor's window shows
    // What each burst meets, in order; it is sent when nothing is left.
    std::deque<KeysOutcome> bursts;
    bool hasWindows() const override { return windows; }
    std::optional<WindowId> windowOf(TaskId task) override {
        calls.push_back("window of " + std::to_string(task));
        if (windowAfterPolls-- > 0)
            return std::nullopt;
        return 7000 + static_cast<WindowId>(task);
    }
    bool makeTopmost(WindowId window) override {
        calls.push_back("topmost " + std::to_string(window));
        return true;
    }
    // Every burst is recorded, the refused ones too, with what it met.
    KeysOutcome sendKeys(TaskId task, std::string_view keys) override {
        KeysOutcome outcome = KeysOutcome::Sent;
        if (!bursts.empty()) {
            outcome = bursts.front();
            bursts.pop_front();
        }
        static const std::map<KeysOutcome, std::string> kMet = {
            {KeysOutcome::Sent, "keys"},
            {KeysOutcome::NothingActive, "no window for"},
            {KeysOutcome::OtherProgram, "other program for"},
            {KeysOutcome::Elevated, "elevated for"},
            {KeysOutcome::Failed, "failed"}};
        calls.push_back(kMet.at(outcome) + " " + std::to_string(task) + " " +
                        std::string(keys == "\x0F" ? "^O"
                                    : keys == "\r" ? "Enter"
                                                   : keys));
        return outcome;
    }
};

class Editor : public ::testing::Test {
protected:
    Editor() : status(panel, log, pump), launcher(desktop, status, dialogs, state, log) {
        state.data.programName = " P100 ";
    }
    FakeDesktop desktop;
    FakePanel panel;
    FakePump pump;
    OperatorLog log;
    FakeDialogs dialogs;
    LabelState state;
    StatusLine status;
    EditorLauncher launcher;
};

TEST_F(Editor, TheFirstCallStartsTheEditorAndTypesTheName) {
    launcher.launchEditor();
    const std::vector<std::string> expected = {"start c:\\velmora\\bin\\Scrivon.exe",
                                               "activate 42",
                                               "window of 42",
                                               "topmost 7042",
                                               "activate 42",
                                               "keys 42 ^O",
                                               "keys 42  P100 ",
                                               "keys 42 Enter",
                                               "keys 42 Enter"};
    EXPECT_EQ(desktop.calls, expected);
    EXPECT_EQ(pump.sleeps, (std::vector<int>{500, 500}));
    EXPECT_EQ(launcher.editorTask(), 42);
}

TEST_F(Editor, ARunningEditorIsReused) {
    launcher.launchEditor();
    desktop.calls.clear();
    launcher.launchEditor();
    const std::vector<std::string> expected = {"running? 42",   "window of 42", "topmost 7042",
                                               "activate 42",   "keys 42 ^O",   "keys 42  P100 ",
                                               "keys 42 Enter", "keys 42 Enter"};
    EXPECT_EQ(desktop.calls, expected);
}

TEST_F(Editor, AClosedEditorIsStartedAnew) {
    launcher.launchEditor();
    desktop.running[42] = false;
    desktop.calls.clear();
    launcher.launchEditor();
    EXPECT_EQ(desktop.calls.front(), "running? 42");
    EXPECT_EQ(desktop.calls[1], "start c:\\velmora\\bin\\Scrivon.exe");
    EXPECT_EQ(launcher.editorTask(), 43);
    EXPECT_NE(std::find(desktop.calls.begin(), desktop.calls.end(), "topmost 7043"),
              desktop.calls.end());
}

TEST_F(Editor, AnUnknownStateCountsAsNotRunningForTheStartAndRunningForTheKeys) {
    launcher.launchEditor();
    desktop.running[42] = std::nullopt;
    desktop.calls.clear();
    launcher.launchEditor();
    EXPECT_EQ(desktop.calls[1], "start c:\\velmora\\bin\\Scrivon.exe");
    EXPECT_EQ(desktop.calls.back(), "keys 43 Enter");
}

TEST_F(Editor, AWindowThatShowsLateGetsTheKeys) {
    desktop.windowAfterPolls = 12;
    launcher.launchEditor();
    EXPECT_EQ(desktop.calls.back(), "keys 42 Enter");
    EXPECT_EQ(std::count(pump.sleeps.begin(), pump.sleeps.end(), 100), 12);
}

TEST_F(Editor, AWindowThatNeverShowsGetsNoKeysAndTheOperatorIsTold) {
    desktop.windowAfterPolls = 1000;
    launcher.launchEditor();
    for (const std::string& call : desktop.calls)
        EXPECT_NE(call.rfind("keys", 0), 0u) << call;
    EXPECT_EQ(std::count(pump.sleeps.begin(), pump.sleeps.end(), 100), 50) << "a bounded wait";
    EXPECT_EQ(panel.status(), "Editor window not found: the program name was not sent");
}

// Whatever stops a burst, no later burst is tried.
TEST_F(Editor, NoKeysFollowARefusedBurst) {
    const std::pair<std::deque<KeysOutcome>, std::string> cases[] = {
        {{KeysOutcome::OtherProgram},
         "Editor window no longer active: the program name was not sent in full"},
        {{KeysOutcome::Sent, KeysOutcome::OtherProgram},
         "Editor window no longer active: the program name was not sent in full"},
        {{KeysOutcome::Sent, KeysOutcome::Sent, KeysOutcome::Failed},
         "Editor window no longer active: the program name was not sent in full"},
        {{KeysOutcome::Elevated}, "Editor runs as administrator: the program name was not sent"},
    };
    for (const auto& [bursts, told] : cases) {
        FakeDesktop fresh;
        FakePanel freshPanel;
        StatusLine freshStatus(freshPanel, log, pump);
        EditorLauncher editor(fresh, freshStatus, dialogs, state, log);
        fresh.bursts = bursts;
        editor.launchEditor();
        const auto tried = std::count_if(fresh.calls.begin(), fresh.calls.end(), [](auto& call) {
            return call.find(" 42 ") != std::string::npos && call.rfind("activate", 0) != 0;
        });
        EXPECT_EQ(static_cast<std::size_t>(tried), bursts.size()) << told;
        EXPECT_EQ(freshPanel.status(), told);
    }
}

TEST_F(Editor, ABurstWaitsBrieflyWhileNoWindowIsActive) {
    // The Open dialog closes after the first Enter: for a moment no window has the focus.
    desktop.bursts = {KeysOutcome::Sent, KeysOutcome::Sent, KeysOutcome::Sent,
                      KeysOutcome::NothingActive, KeysOutcome::NothingActive};
    launcher.launchEditor();
    EXPECT_EQ(desktop.calls.back(), "keys 42 Enter");
    EXPECT_EQ(std::count(desktop.calls.begin(), desktop.calls.end(), "no window for 42 Enter"), 2);
    EXPECT_TRUE(panel.statuses.empty());

    desktop.bursts.assign(100, KeysOutcome::NothingActive);
    desktop.calls.clear();
    launcher.launchEditor();
    EXPECT_EQ(std::count(desktop.calls.begin(), desktop.calls.end(), "no window for 42 ^O"), 11)
        << "a bounded wait";
    EXPECT_EQ(panel.status(),
              "Editor window no longer active: the program name was not sent in full");
}

TEST_F(Editor, WithoutAWindowSystemNothingIsTyped) {
    desktop.windows = false;
    launcher.launchEditor();
    EXPECT_EQ(desktop.calls,
              (std::vector<std::string>{"start c:\\velmora\\bin\\Scrivon.exe", "activate 42"}));
    EXPECT_TRUE(panel.statuses.empty());
}

TEST_F(Editor, AFailedStartShowsTheMessageAndSendsNoKeys) {
    desktop.startFails = true;
    launcher.launchEditor();
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, "Probably c:\\velmora\\bin\\Scrivon.exe could not be found");
    EXPECT_EQ(dialogs.shown[0].title, "Error:  Unable to launch Editor");
    for (const std::string& call : desktop.calls)
        EXPECT_NE(call.rfind("keys", 0), 0u) << call;
    EXPECT_EQ(launcher.editorTask(), 0);
}

} // namespace
} // namespace lumetra
