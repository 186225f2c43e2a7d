#pragma once

#include "platform/desktop.h"
#include "platform/paths.h"
#include "platform/platform_log.h"

#include <functional>
#include <vector>

namespace lumetra {

// Programs started detached by their mapped path; windows and keystrokes through X11
// (libxdo) when a display is present, otherwise each such step is logged and skipped.
// An X error (a window that vanished) is logged and fails the step; it never ends the
// program.
class PosixDesktop final : public Desktop {
public:
    // `display` is the X display to use ("" for none).
    PosixDesktop(const Paths& paths, PlatformLog& log, const std::string& display);
    ~PosixDesktop() override;
    PosixDesktop(const PosixDesktop&) = delete;
    PosixDesktop& operator=(const PosixDesktop&) = delete;

    std::optional<TaskId> start(std::string_view path) override;
    std::optional<bool> isRunning(TaskId task) override;
    bool activate(TaskId task) override;
    bool hasWindows() const override { return m_xdo != nullptr; }
    std::optional<WindowId> windowOf(TaskId task) override;
    bool makeTopmost(WindowId window) override;
    KeysOutcome sendKeys(TaskId task, std::string_view keys) override;

private:
    bool haveDisplay(std::string_view step);
    // Brings `window` to the front; true when it is then the active window.
    bool makeActive(WindowId window);
    // The window that has the focus; none when there is none or it cannot be told.
    std::optional<WindowId> activeWindow();
    // Whether the window is one of the task's: it carries the task's process number, or
    // it is a dialog (transient) of such a window.
    bool belongsTo(WindowId window, TaskId task);
    // Key-ups for the modifier keys held down now.
    void releaseModifiers();
    // True when no X error came since the last call (and logs the one that came).
    bool noXError();
    void bindMissingKeys(std::string_view keys);

    const Paths& m_paths;
    PlatformLog& m_log;
    void* m_xdo = nullptr;            // xdo_t
    std::vector<int> m_boundKeycodes; // spare keys bound to characters of the code page
};

} // namespace lumetra
