#include "programs/editor_launcher.h"
#include "support/fakes.h"

#include <algorithm>
#include <gtest/gtest.h>

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
    int windowAfterPolls = 0;           // polls before the editor's window shows
    std::optional<WindowId> activeOnly; // keys reach only this window when set
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
    bool sendKeys(WindowId window, std::string_view keys) override {
        if (activeOnly && window != *activeOnly)
            return false;
        calls.push_back("keys " + std::to_string(window) + " " +
                        std::string(keys == "\x0F" ? "^O"
                                    : keys == "\r" ? "Enter"
                                                   : keys));
        return true;
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
                                               "keys 7042 ^O",
                                               "keys 7042  P100 ",
                                               "keys 7042 Enter",
                                               "keys 7042 Enter"};
    EXPECT_EQ(desktop.calls, expected);
    EXPECT_EQ(pump.sleeps, (std::vector<int>{500, 500}));
    EXPECT_EQ(launcher.editorTask(), 42);
    EXPECT_EQ(launcher.editorWindow(), 7042u);
}

TEST_F(Editor, ARunningEditorIsReused) {
    launcher.launchEditor();
    desktop.calls.clear();
    launcher.launchEditor();
    const std::vector<std::string> expected = {
        "running? 42",  "window of 42",     "topmost 7042",    "activate 42",
        "keys 7042 ^O", "keys 7042  P100 ", "keys 7042 Enter", "keys 7042 Enter"};
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
    EXPECT_EQ(launcher.editorWindow(), 7043u);
}

TEST_F(Editor, AnUnknownStateCountsAsNotRunningForTheStartAndRunningForTheKeys) {
    launcher.launchEditor();
    desktop.running[42] = std::nullopt;
    desktop.calls.clear();
    launcher.launchEditor();
    EXPECT_EQ(desktop.calls[1], "start c:\\velmora\\bin\\Scrivon.exe");
    EXPECT_EQ(desktop.calls.back(), "keys 7043 Enter");
}

TEST_F(Editor, AWindowThatShowsLateGetsTheKeys) {
    desktop.windowAfterPolls = 12;
    launcher.launchEditor();
    EXPECT_EQ(desktop.calls.back(), "keys 7042 Enter");
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

TEST_F(Editor, KeysStopWhenTheEditorsWindowIsNoLongerActive) {
    desktop.activeOnly = 1; // another window took the front
    launcher.launchEditor();
    for (const std::string& call : desktop.calls)
        EXPECT_NE(call.rfind("keys", 0), 0u) << call;
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
