// The desktop adapter against the test window program: start, still running, the
// window found by process, activation, topmost, and the keys as the window receives
// them; and the cases where nothing may be sent.
#include "common/status_texts.h"
#include "platform/files.h"
#include "platform/win32/session_end.h"
#include "platform/win32/win32_desktop.h"
#include "platform/win32/windows_text.h"
#include "programs/editor_launcher.h"
#include "support/fakes.h"
#include "support/temp_dir.h"
#include "windows/module_folder.h"
#include "windows/recording_log.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace lumetra {
namespace {

using namespace lumetra::testing;

std::string testWindowProgram() {
    return codePageFromWide(moduleFolder() + L"\\lumetra_test_window.exe");
}

void stop(TaskId task) {
    if (HANDLE process =
            OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, static_cast<DWORD>(task))) {
        TerminateProcess(process, 0);
        WaitForSingleObject(process, 5000);
        CloseHandle(process);
    }
}

// The editor's window appears a moment after the start.
std::optional<WindowId> waitForWindow(Desktop& desktop, TaskId task) {
    for (int waited = 0; waited < 5000; waited += 50) {
        if (const auto window = desktop.windowOf(task))
            return window;
        Sleep(50);
    }
    return std::nullopt;
}

std::string waitForText(const std::string& path, std::size_t length) {
    std::string text;
    for (int waited = 0; waited < 5000 && text.size() < length; waited += 50) {
        Sleep(50);
        text = readWholeFile(path).value_or("");
    }
    return text;
}

class Desktops : public ::testing::Test {
protected:
    Desktops() {
        SetEnvironmentVariableW(L"LUMETRA_TEST_WINDOW_LOG",
                                wideFromCodePage(dir.file("keys.txt")).c_str());
        SetEnvironmentVariableW(L"LUMETRA_TEST_WINDOW_HIDDEN", nullptr);
        SetEnvironmentVariableW(L"LUMETRA_TEST_WINDOW_FOLDER", wideFromCodePage(dir.str()).c_str());
    }
    ~Desktops() override {
        for (const TaskId task : started)
            stop(task);
    }
    TaskId start(const std::string& path) {
        const auto task = desktop.start(path);
        if (task)
            started.push_back(*task);
        return task.value_or(0);
    }

    TempDir dir;
    RecordingLog log;
    Win32Desktop desktop{log};
    std::vector<TaskId> started;
};

// The task's window in the foreground once it is not `other` (a dialog shows, or closes).
HWND foregroundOf(TaskId task, HWND other) {
    for (int waited = 0; waited < 5000; waited += 50) {
        const HWND foreground = GetForegroundWindow();
        DWORD process = 0;
        GetWindowThreadProcessId(foreground, &process);
        if (static_cast<TaskId>(process) == task && foreground != other)
            return foreground;
        Sleep(50);
    }
    return nullptr;
}

TEST_F(Desktops, CtrlOOpensTheDialogThatGetsTheNameAndTheFirstEnter) {
    const std::string name = codePageFromWide(L"P100 Fr\u00e4sen \u20ac.CNC");
    writeFile(fileSystemPath(dir.str() + "\\" + name), "G71 X1 Y2 Z3\r\n(ONE)\r\n");
    const TaskId task = start(testWindowProgram());
    ASSERT_NE(task, 0) << (log.errors.empty() ? "" : log.errors.back());
    EXPECT_EQ(desktop.isRunning(task), true);
    const auto window = waitForWindow(desktop, task);
    ASSERT_TRUE(window) << "the test window never showed";
    EXPECT_TRUE(desktop.activate(task));
    EXPECT_EQ(GetForegroundWindow(), reinterpret_cast<HWND>(*window));
    EXPECT_TRUE(desktop.makeTopmost(*window));
    EXPECT_TRUE(GetWindowLongW(reinterpret_cast<HWND>(*window), GWL_EXSTYLE) & WS_EX_TOPMOST);

    EXPECT_EQ(desktop.sendKeys(task, "\x0F"), KeysOutcome::Sent);
    const HWND main = reinterpret_cast<HWND>(*window);
    const HWND dialog = foregroundOf(task, main);
    ASSERT_NE(dialog, nullptr) << "the Open dialog is in front";
    EXPECT_TRUE(desktop.activate(task));
    EXPECT_EQ(GetForegroundWindow(), dialog) << "activation never covers the editor's dialog";
    EXPECT_EQ(desktop.sendKeys(task, name + "\r"), KeysOutcome::Sent);
    const std::string opened = "\x0F[Open " + name + ": opened]";
    EXPECT_EQ(waitForText(dir.file("keys.txt"), opened.size()), opened);
    ASSERT_EQ(foregroundOf(task, dialog), main);
    EXPECT_EQ(desktop.sendKeys(task, "\r"), KeysOutcome::Sent);
    EXPECT_EQ(waitForText(dir.file("keys.txt"), opened.size() + 1), opened + "\r")
        << "the second Enter reaches the editor";

    stop(task);
    EXPECT_EQ(desktop.isRunning(task), false);
}

TEST_F(Desktops, AnotherProgramInFrontGetsNothing) {
    const TaskId editor = start(testWindowProgram());
    ASSERT_TRUE(waitForWindow(desktop, editor));
    SetEnvironmentVariableW(L"LUMETRA_TEST_WINDOW_LOG",
                            wideFromCodePage(dir.file("other-keys.txt")).c_str());
    const TaskId other = start(testWindowProgram());
    ASSERT_TRUE(waitForWindow(desktop, other));
    ASSERT_TRUE(desktop.activate(other));
    EXPECT_EQ(desktop.sendKeys(editor, "NAME\r"), KeysOutcome::OtherProgram);
    Sleep(300);
    EXPECT_EQ(readWholeFile(dir.file("keys.txt")).value_or(""), "");
    EXPECT_EQ(readWholeFile(dir.file("other-keys.txt")).value_or(""), "");
    EXPECT_FALSE(Win32Desktop::runsWithHigherRights(editor)) << "a program of our own rights";
}

TEST_F(Desktops, HeldModifierKeysDoNotChangeTheKeysSent) {
    const TaskId task = start(testWindowProgram());
    ASSERT_TRUE(waitForWindow(desktop, task));
    ASSERT_TRUE(desktop.activate(task));
    INPUT shift{};
    shift.type = INPUT_KEYBOARD;
    shift.ki.wVk = VK_LSHIFT;
    ASSERT_EQ(SendInput(1, &shift, sizeof shift), 1u);
    EXPECT_EQ(desktop.sendKeys(task, "p7a\r"), KeysOutcome::Sent);
    EXPECT_EQ(waitForText(dir.file("keys.txt"), 4), "p7a\r");
    EXPECT_EQ(GetAsyncKeyState(VK_LSHIFT) & 0x8000, 0) << "nothing is pressed again";
}

TEST_F(Desktops, AProgramInAFolderNamedInTheCodePageStarts) {
    const std::wstring folder = dir.path().wstring() + L"\\Lager \u20ac";
    std::filesystem::create_directories(folder);
    ASSERT_TRUE(CopyFileW((moduleFolder() + L"\\lumetra_test_window.exe").c_str(),
                          (folder + L"\\editor.exe").c_str(), FALSE));
    const TaskId task = start(codePageFromWide(folder + L"\\editor.exe"));
    ASSERT_NE(task, 0) << (log.errors.empty() ? "" : log.errors.back());
    EXPECT_TRUE(waitForWindow(desktop, task));
}

TEST_F(Desktops, AProgramThatCannotStartIsToldAndGivesNoTask) {
    for (const std::string& path : {dir.file("missing.exe"), dir.str(), std::string()}) {
        log.errors.clear();
        EXPECT_FALSE(desktop.start(path)) << path;
        ASSERT_EQ(log.errors.size(), 1u) << path;
        EXPECT_EQ(log.errors[0].rfind("cannot start " + path + ": ", 0), 0u) << log.errors[0];
    }
    EXPECT_EQ(desktop.isRunning(0), false);
}

TEST_F(Desktops, NoKeysWithoutTheWindow) {
    SetEnvironmentVariableW(L"LUMETRA_TEST_WINDOW_HIDDEN", L"1");
    const TaskId hidden = start(testWindowProgram());
    ASSERT_NE(hidden, 0);
    Sleep(500);
    EXPECT_FALSE(desktop.windowOf(hidden)) << "a hidden window is no window to type into";
    EXPECT_FALSE(desktop.activate(hidden));

    SetEnvironmentVariableW(L"LUMETRA_TEST_WINDOW_HIDDEN", nullptr);
    const TaskId shown = start(testWindowProgram());
    const auto window = waitForWindow(desktop, shown);
    ASSERT_TRUE(window);
    stop(shown);
    log.errors.clear();
    EXPECT_NE(desktop.sendKeys(shown, "NAME\r"), KeysOutcome::Sent) << "the window has gone";
    EXPECT_FALSE(desktop.makeTopmost(*window));
    EXPECT_NE(desktop.sendKeys(0, "NAME\r"), KeysOutcome::Sent);
    Sleep(200);
    EXPECT_EQ(readWholeFile(dir.file("keys.txt")).value_or(""), "");
}

// Pauses that take their time: the editor's window comes while the launcher waits.
// The hand-off as the program makes it, to the editor at its fixed path (in the test's
// own Wine prefix, or a test machine's drive C:).
class EditorHandOff : public Desktops {
protected:
    EditorHandOff()
        : editorPath(fileSystemPath(std::string(kEditorPath))),
          installed(std::filesystem::exists(editorPath)), status(panel, operatorLog, pump),
          launcher(desktop, status, dialogs, state, operatorLog) {
        std::filesystem::create_directories(editorPath.parent_path());
        state.data.programName = codePageFromWide(L"P100 \u00c4\u00d6\u00dc \u20ac.CNC");
    }
    void SetUp() override {
        if (installed)
            GTEST_SKIP() << "an editor is installed at " << kEditorPath << "; it is left alone";
    }
    ~EditorHandOff() override {
        stop(launcher.editorTask());
        std::error_code ignored;
        if (!installed)
            std::filesystem::remove(editorPath, ignored);
    }

    std::filesystem::path editorPath;
    bool installed; // a real editor there is never touched
    FakePanel panel;
    FakeDialogs dialogs;
    SleepingPump pump;
    OperatorLog operatorLog{dir.file("operator.log")};
    StatusLine status;
    LabelState state;
    EditorLauncher launcher;
};

TEST_F(EditorHandOff, TheEditorIsStartedOnceAndGetsTheNameEachTime) {
    ASSERT_TRUE(CopyFileW((moduleFolder() + L"\\lumetra_test_window.exe").c_str(),
                          editorPath.c_str(), FALSE));
    launcher.launchEditor();
    const TaskId first = launcher.editorTask();
    ASSERT_NE(first, 0);
    // The name and the first Enter go to the editor's Open dialog, the second to the editor.
    const std::string keys = "\x0F[Open " + state.data.programName + ": not found]\r";
    EXPECT_EQ(waitForText(dir.file("keys.txt"), keys.size()), keys);

    launcher.launchEditor();
    EXPECT_EQ(launcher.editorTask(), first) << "the running editor is used again";
    EXPECT_EQ(waitForText(dir.file("keys.txt"), 2 * keys.size()), keys + keys);
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(EditorHandOff, AMissingEditorIsToldAndNothingIsTyped) {
    launcher.launchEditor();
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, texts::kEditorNotFound);
    EXPECT_EQ(dialogs.shown[0].title, texts::kEditorErrorTitle);
    EXPECT_EQ(launcher.editorTask(), 0);
    EXPECT_EQ(readWholeFile(dir.file("keys.txt")), std::nullopt);
}

} // namespace
} // namespace lumetra

namespace lumetra {
namespace {

// Log-off and shutdown as the system tells a program without a console: the query is
// answered yes and the end runs the shutdown steps, once the session really ends.
TEST(SessionEnd, TheEndOfTheSessionRunsTheShutdownSteps) {
    int ended = 0;
    {
        SessionEndWatcher watcher([&] { ++ended; });
        const HWND window = FindWindowW(kSessionEndWindowClass, nullptr);
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(GetAncestor(window, GA_PARENT), GetDesktopWindow()) << "a top-level window";
        EXPECT_FALSE(IsWindowVisible(window));
        EXPECT_EQ(SendMessageW(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
        SendMessageW(window, WM_ENDSESSION, FALSE, ENDSESSION_LOGOFF);
        EXPECT_EQ(ended, 0) << "a session end that was called off changes nothing";
        SendMessageW(window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
        EXPECT_EQ(ended, 1);
    }
    EXPECT_EQ(FindWindowW(kSessionEndWindowClass, nullptr), nullptr) << "the window goes with it";
}

} // namespace
} // namespace lumetra
