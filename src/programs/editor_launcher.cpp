#include "programs/editor_launcher.h"

#include "common/status_texts.h"

namespace lumetra {

EditorLauncher::EditorLauncher(Desktop& desktop, StatusLine& status, Dialogs& dialogs,
                               const LabelState& state, OperatorLog& log)
    : m_desktop(desktop), m_status(status), m_dialogs(dialogs), m_state(state), m_log(log) {}

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
        m_editorWindow = m_desktop.activeWindow();
    }
    if (m_desktop.isRunning(m_editorTask) == false) {
        m_log.write(LogKind::Error, "the editor ended before the program name was sent");
        return;
    }
    m_desktop.makeTopmost(m_editorWindow);
    m_desktop.activate(m_editorTask);
    m_desktop.sendKeys("\x0F");
    m_status.pauseSeconds(0.5f);
    m_desktop.sendKeys(m_state.data.programName);
    m_desktop.sendKeys("\r");
    m_desktop.sendKeys("\r");
}

} // namespace lumetra
