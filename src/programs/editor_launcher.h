// Shows a program in the machine control's program editor: starts the editor when it
// does not run, brings it to the front and types Ctrl+O, the program name and Enter twice.
#pragma once

#include "base/label_data.h"
#include "base/status_line.h"
#include "platform/desktop.h"
#include "platform/dialogs.h"

namespace lumetra {

inline constexpr std::string_view kEditorPath = "c:\\velmora\\bin\\Scrivon.exe";

// How long the editor may take to show its window before the hand-off gives up.
inline constexpr int kEditorWindowWaitMilliseconds = 5000;
inline constexpr int kEditorWindowPollMilliseconds = 100;
// How long a burst waits while no window is active (the editor's dialog closing).
inline constexpr int kEditorFocusWaitMilliseconds = 1000;

class EditorLauncher {
public:
    EditorLauncher(Desktop& desktop, StatusLine& status, Dialogs& dialogs, const LabelState& state,
                   OperatorLog& log);

    void launchEditor();

    TaskId editorTask() const { return m_editorTask; }

private:
    std::optional<WindowId> waitForEditorWindow();
    // One burst into the editor; false, with the operator told, when it was not sent.
    bool send(std::string_view keys);

    Desktop& m_desktop;
    StatusLine& m_status;
    Dialogs& m_dialogs;
    const LabelState& m_state;
    OperatorLog& m_log;
    TaskId m_editorTask = 0;
    WindowId m_editorWindow = 0;
};

} // namespace lumetra
