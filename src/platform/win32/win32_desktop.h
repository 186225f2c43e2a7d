#pragma once

#include "platform/desktop.h"
#include "platform/platform_log.h"

#include <map>

namespace lumetra {

// Programs started by their path; their windows found by process, brought to the front
// and typed into with SendInput. Keys go only to a window that is the foreground
// window at the start of each burst.
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
    bool sendKeys(WindowId window, std::string_view keys) override;

private:
    // Brings `window` to the front; true when it is then the foreground window.
    bool makeActive(WindowId window);

    PlatformLog& m_log;
    std::map<TaskId, void*> m_processes; // process handles of the tasks started
};

} // namespace lumetra
