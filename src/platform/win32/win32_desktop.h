#pragma once

#include "platform/desktop.h"
#include "platform/platform_log.h"

#include <map>

namespace lumetra {

// Programs started by their path; their windows found by process, brought to the front
// and typed into with SendInput. Keys go only to a foreground window of the task's own
// process (its main window or its dialogs) at the start of each burst.
class Win32Desktop final : public Desktop {
public:
    explicit Win32Desktop(PlatformLog& log);
    ~Win32Desktop() override;
    Win32Desktop(const Win32Desktop&) = delete;
    Win32Desktop& operator=(const Win32Desktop&) = delete;

    std::optional<TaskId> start(std::string_view path) override;
    std::optional<bool> isRunning(TaskId task) override;
    bool activate(TaskId task) override;
    bool hasWindows() const override { return true; }
    std::optional<WindowId> windowOf(TaskId task) override;
    bool makeTopmost(WindowId window) override;
    KeysOutcome sendKeys(TaskId task, std::string_view keys) override;

    // True when the task's process runs with a higher integrity level than this one (an
    // editor started as administrator): the system drops keys sent to it without a word.
    // False when the levels cannot be read.
    static bool runsWithHigherRights(TaskId task);

private:
    // Brings `window` to the front; true when it is then the foreground window.
    bool makeActive(WindowId window);

    PlatformLog& m_log;
    std::map<TaskId, void*> m_processes; // process handles of the tasks started
};

} // namespace lumetra
