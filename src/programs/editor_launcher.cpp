#include "programs/editor_launcher.h"

#include "common/status_texts.h"

namespace lumetra {

EditorLauncher::EditorLauncher(Desktop& desktop, StatusLine& status, Dialogs& dialogs,
                               const LabelState& state, OperatorLog& log)
    : m_desktop(desktop), m_status(status), m_dialogs(dialogs), m_state(state), m_log(log) {}

// The editor may take longer than the pause to show its window: keys go to no other.
std::optional<WindowId> EditorLauncher::waitForEditorWindow() {
    for (int waited = 0;; waited += kEditorWindowPollMilliseconds) {
        if (const auto window = m_desktop.windowOf(m_editorTask))
            return window;
        if (waited >= kEditorWindowWaitMilliseconds || m_desktop.isRunning(m_editorTask) == false)
            return std::nullopt;
        m_status.pauseSeconds(static_cast<float>(kEditorWindowPollMilliseconds) / 1000.0f);
    }
}

bool EditorLauncher::send(std::string_view keys) {
    KeysOutcome outcome = m_desktop.sendKeys(m_editorTask, keys);
    for (int waited = 0;
         outcome == KeysOutcome::NothingActive && waited < kEditorFocusWaitMilliseconds;
         waited += kEditorWindowPollMilliseconds) {
        m_status.pauseSeconds(static_cast<float>(kEditorWindowPollMilliseconds) / 1000.0f);
        outcome = m_desktop.sendKeys(m_editorTask, keys);
    }
    if (outcome == KeysOutcome::Sent)
        return true;
    m_status.showProblem(ProblemStep::Editor, outcome == KeysOutcome::Elevated
                                                  ? texts::kEditorElevated
                                                  : texts::kEditorKeysNotSent);
    return false;
}

void EditorLauncher::launchEditor() {
    const std::optional<bool> running =
        m_editorTask == 0 ? std::optional<bool>(false) : m_desktop.isRunning(m_editorTask);
    if (running != true) {
        const auto task = m_desktop.start(kEditorPath);
        if (!task) {
            // Keystrokes now would reach whatever window is active.
            m_log.write(LogKind::Error, "the editor could not be started");
            m_dialogs.message(texts::kEditorNotFound, Icon::None, Buttons::Ok,
                              texts::kEditorErrorTitle);
            return;
        }
        m_editorTask = *task;
        m_status.pauseSeconds(0.5f);
        m_desktop.activate(m_editorTask);
    }
    if (!m_desktop.hasWindows()) {
        m_log.write(LogKind::Info, "no display: the program name was not typed into the editor");
        return;
    }
    const auto window = waitForEditorWindow();
    if (!window) {
        m_status.showProblem(ProblemStep::Editor, texts::kEditorWindowMissing);
        return;
    }
    m_editorWindow = *window;
    m_desktop.makeTopmost(m_editorWindow);
    m_desktop.activate(m_editorTask);
    if (!send("\x0F"))
        return;
    m_status.pauseSeconds(0.5f);
    if (send(m_state.data.programName) && send("\r") && send("\r"))
        m_status.stepSucceeded(ProblemStep::Editor);
}

} // namespace lumetra
