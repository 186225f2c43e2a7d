// The editor hand-off on a real X server with a window manager: the stand-in editor
// receives the keys, and no other window ever does.
#include "e2e/harness.h"
#include "e2e/x_display.h"
#include "platform/posix/posix_desktop.h"
#include "platform/posix/posix_paths.h"
#include "programs/editor_launcher.h"
#include "support/fakes.h"

#include <csignal>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace lumetra::e2e {
namespace {

using namespace std::chrono_literals;

class EditorE2E : public ::testing::Test {
protected:
    void SetUp() override {
        if (!x.installed())
            GTEST_SKIP() << "Xvfb, matchbox-window-manager or xdotool is not installed";
        ASSERT_TRUE(x.valid()) << x.failure();
        ::setenv("DISPLAY", x.name().c_str(), 1);
        ::setenv("QT_QPA_PLATFORM", "xcb", 1);
        ::setenv("LUMETRA_EDITOR_LOG", keys.c_str(), 1);
        std::filesystem::create_directories(dir.file("c/velmora/bin"));
        std::filesystem::create_directories(dir.file("c/PRODUCT"));
    }
    void TearDown() override {
        for (const pid_t pid : started) {
            ::kill(pid, SIGTERM);
            ::waitpid(pid, nullptr, 0);
        }
        ::unsetenv("LUMETRA_EDITOR_LOG");
        ::unsetenv("DISPLAY");
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    // The editor the program starts, with the stand-in's options.
    void editorWith(const std::string& options) {
        const std::string script = dir.file("c/velmora/bin/Scrivon.exe");
        testing::writeFile(script, "#!/bin/sh\nexec " + binary("lumetra-editor") + " --folder " +
                                       dir.file("c/PRODUCT") + " " + options + "\n");
        std::filesystem::permissions(script, std::filesystem::perms::owner_all);
    }
    // Another window that has the focus meanwhile, with a key log of its own.
    void otherWindowWithTheFocus() {
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::setenv("LUMETRA_EDITOR_LOG", otherKeys.c_str(), 1);
            ::execl(binary("lumetra-editor").c_str(), "lumetra-editor", nullptr);
            ::_exit(127);
        }
        started.push_back(pid);
        const std::string window = x.findWindow("Scrivon");
        ASSERT_FALSE(window.empty());
        x.xdotool({"windowactivate", "--sync", window});
    }
    // Runs the hand-off of `name` twice, as two labels would; returns whether this
    // process is still fine (an X error must not have ended it).
    void handOff(const std::string& name, int times = 1) {
        PosixPaths paths(
            [&](const std::string& variable) -> std::optional<std::string> {
                if (variable == "LUMETRA_DRIVE_C")
                    return dir.file("c");
                return std::nullopt;
            },
            "/exe");
        PosixDesktop desktop(paths, log, x.name());
        testing::FakePanel panel;
        testing::SleepingPump pump;
        StatusLine status(panel, log, pump);
        LabelState state;
        state.data.programName = name;
        EditorLauncher launcher(desktop, status, dialogs, state, log);
        for (int i = 0; i < times; ++i)
            launcher.launchEditor();
        statuses = panel.statuses;
        if (launcher.editorTask() > 0)
            started.push_back(static_cast<pid_t>(launcher.editorTask()));
    }

    XDisplay x;
    testing::TempDir dir;
    std::string keys = dir.file("keys.txt");
    std::string otherKeys = dir.file("other-keys.txt");
    OperatorLog log{dir.file("operator.log")};
    testing::FakeDialogs dialogs;
    std::vector<std::string> statuses;
    std::vector<pid_t> started;
};

// Ctrl+O opens the editor's Open dialog: the name and the first Enter go there and open
// the program, the second Enter reaches the editor.
TEST_F(EditorE2E, TheNameArrivesInTheOpenDialogAsItIs) {
    editorWith("");
    // Upper-case accented letters arrive in upper case (code page: Ä É ä Š).
    testing::writeFile(dir.file("c/PRODUCT/P100\xC4\xC9\xE4\x8A"), "G71 X1 Y2 Z3\r\n(ONE)\r\n");
    handOff("P100\xC4\xC9\xE4\x8A", 2);
    const std::string opened = "[Ctrl+O][Open P100\xC3\x84\xC3\x89\xC3\xA4\xC5\xA0: opened][Enter]";
    EXPECT_TRUE(waitForText(keys, opened + opened, 10s)) << testing::readFile(keys) << "\n"
                                                         << testing::readFile(log.path());
    EXPECT_EQ(started.size(), 1u) << "the running editor is reused";
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_TRUE(statuses.empty()) << statuses.front();
}

TEST_F(EditorE2E, HeldModifierKeysDoNotChangeTheKeysSent) {
    editorWith("");
    x.xdotool({"keydown", "shift"});
    handOff("p7a");
    x.xdotool({"keyup", "shift"});
    EXPECT_TRUE(waitForText(keys, "[Ctrl+O][Open p7a: not found][Enter]", 10s))
        << testing::readFile(keys) << "\n"
        << testing::readFile(log.path());
}

TEST_F(EditorE2E, AnotherProgramInFrontDuringTheHandOffGetsNothing) {
    editorWith("");
    ASSERT_NO_FATAL_FAILURE(otherWindowWithTheFocus());
    const std::string other = x.findWindow("Scrivon");
    // Once the editor's Open dialog shows, the other program's window comes to the front.
    std::thread intruder([&] {
        for (int i = 0;
             i < 200 && x.xdotool({"search", "--onlyvisible", "--name", "^Open$"}).empty(); ++i)
            std::this_thread::sleep_for(20ms);
        x.xdotool({"windowactivate", "--sync", other});
    });
    handOff("INTRUDED");
    intruder.join();
    EXPECT_TRUE(waitForText(keys, "[Ctrl+O]", 5s)) << testing::readFile(log.path());
    EXPECT_EQ(testing::readFile(otherKeys), "") << "no key went to the other program";
    EXPECT_EQ(testing::readFile(keys).find("INTRUDED"), std::string::npos);
    ASSERT_FALSE(statuses.empty());
    EXPECT_EQ(statuses.back(),
              "Editor window no longer active: the program name was not sent in full");
}

TEST_F(EditorE2E, AnEditorThatShowsItsWindowLateGetsTheKeys) {
    editorWith("--show-after 2000");
    ASSERT_NO_FATAL_FAILURE(otherWindowWithTheFocus());
    handOff("LATE");
    EXPECT_TRUE(waitForText(keys, "[Ctrl+O][Open LATE: not found][Enter]", 5s))
        << testing::readFile(keys) << "\n"
        << testing::readFile(log.path());
    EXPECT_EQ(testing::readFile(otherKeys), "") << "no key went to the window in front";
}

TEST_F(EditorE2E, AnEditorThatNeverShowsAWindowGetsNothingAndNeitherDoesAnyOther) {
    editorWith("--show-after 600000");
    ASSERT_NO_FATAL_FAILURE(otherWindowWithTheFocus());
    handOff("NEVER");
    EXPECT_EQ(testing::readFile(keys), "");
    EXPECT_EQ(testing::readFile(otherKeys), "");
    EXPECT_EQ(statuses,
              std::vector<std::string>{"Editor window not found: the program name was not sent"});
}

TEST_F(EditorE2E, AnEditorThatClosesDuringTheHandOffLeavesTheProgramRunning) {
    editorWith("--quit-on-key");
    ASSERT_NO_FATAL_FAILURE(otherWindowWithTheFocus());
    handOff("GONE");
    EXPECT_TRUE(waitForText(keys, "[Ctrl+O]", 5s)) << testing::readFile(log.path());
    EXPECT_EQ(testing::readFile(keys), "[Ctrl+O]") << "nothing after the editor went";
    EXPECT_EQ(testing::readFile(otherKeys), "");
    ASSERT_FALSE(statuses.empty());
    EXPECT_EQ(statuses.back(),
              "Editor window no longer active: the program name was not sent in full");
}

} // namespace
} // namespace lumetra::e2e
