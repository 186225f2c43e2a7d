#include "e2e/harness.h"
#include "platform/posix/posix_desktop.h"
#include "platform/posix/posix_paths.h"
#include "programs/editor_launcher.h"
#include "support/fakes.h"

#include <csignal>
#include <cstring>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace lumetra::e2e {
namespace {

using namespace std::chrono_literals;

struct SleepingPump : EventPump {
    void processEvents() override {}
    void sleepMilliseconds(int milliseconds) override {
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    }
};

pid_t startBackground(const std::vector<std::string>& argv) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        std::vector<char*> args;
        for (const auto& arg : argv)
            args.push_back(const_cast<char*>(arg.c_str()));
        args.push_back(nullptr);
        ::execvp(args[0], args.data());
        ::_exit(127);
    }
    return pid;
}

void stopBackground(pid_t pid) {
    if (pid <= 0)
        return;
    ::kill(pid, SIGTERM);
    ::waitpid(pid, nullptr, 0);
}

TEST(EditorE2E, TheStandInEditorReceivesTheNameOnARealDisplay) {
    if (::access("/usr/bin/Xvfb", X_OK) != 0 ||
        ::access("/usr/bin/matchbox-window-manager", X_OK) != 0)
        GTEST_SKIP() << "Xvfb or matchbox-window-manager is not installed";
    // Xvfb picks a free display itself and writes its number to the pipe.
    int numberPipe[2];
    ASSERT_EQ(::pipe(numberPipe), 0);
    const pid_t server =
        startBackground({"/usr/bin/Xvfb", "-displayfd", std::to_string(numberPipe[1]), "-screen",
                         "0", "1024x768x24", "-nolisten", "tcp"});
    ::close(numberPipe[1]);
    char number[16] = {};
    const ssize_t length = ::read(numberPipe[0], number, sizeof number - 1);
    ::close(numberPipe[0]);
    if (length <= 0) {
        stopBackground(server);
        GTEST_SKIP() << "Xvfb did not start";
    }
    const std::string display =
        ":" + std::string(number, std::strlen(number) - (number[length - 1] == '\n'));
    ::setenv("DISPLAY", display.c_str(), 1);
    const pid_t manager =
        startBackground({"/usr/bin/matchbox-window-manager", "-use_titlebar", "no"});
    std::this_thread::sleep_for(500ms);

    testing::TempDir dir;
    std::filesystem::create_directories(dir.file("c/velmora/bin"));
    std::filesystem::create_symlink(binary("lumetra-editor"),
                                    dir.file("c/velmora/bin/Scrivon.exe"));
    const std::string keys = dir.file("keys.txt");
    ::setenv("LUMETRA_EDITOR_LOG", keys.c_str(), 1);
    ::setenv("QT_QPA_PLATFORM", "xcb", 1);

    constexpr const char* kTyped = "[Ctrl+O]P100\xC3\x84\xC3\x89\xC3\xA4\xC5\xA0[Enter][Enter]";
    bool typed = false;
    bool reused = false;
    TaskId editor = 0;
    TaskId second = 0;
    OperatorLog log(dir.file("operator.log"));
    testing::FakeDialogs dialogs;
    {
        PosixPaths paths(
            [&](const std::string& name) -> std::optional<std::string> {
                if (name == "LUMETRA_DRIVE_C")
                    return dir.file("c");
                return std::nullopt;
            },
            "/exe");
        PosixDesktop desktop(paths, log, display);
        testing::FakePanel panel;
        SleepingPump pump;
        StatusLine status(panel, log, pump);
        LabelState state;
        // Upper-case accented letters arrive in upper case (code page: Ä É ä Š).
        state.data.programName = "P100\xC4\xC9\xE4\x8A";
        EditorLauncher launcher(desktop, status, dialogs, state, log);

        launcher.launchEditor();
        typed = waitForText(keys, kTyped, 10s);
        editor = launcher.editorTask();
        launcher.launchEditor();
        reused = waitForText(keys, std::string(kTyped) + kTyped, 10s);
        second = launcher.editorTask();
    } // the display connection closes before the server stops

    ::kill(static_cast<pid_t>(editor), SIGTERM);
    ::waitpid(static_cast<pid_t>(editor), nullptr, 0);
    stopBackground(manager);
    stopBackground(server);
    ::unsetenv("LUMETRA_EDITOR_LOG");
    ::unsetenv("DISPLAY");
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);

    EXPECT_TRUE(typed) << testing::readFile(keys) << "\n"
                       << testing::readFile(dir.file("operator.log"));
    EXPECT_TRUE(reused) << testing::readFile(keys);
    EXPECT_EQ(second, editor) << "the running editor is reused";
    EXPECT_TRUE(dialogs.shown.empty());
}

} // namespace
} // namespace lumetra::e2e
