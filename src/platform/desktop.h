// Programs and windows: starting a program, telling whether it runs, finding its
// window, bringing it to the front and typing into it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace lumetra {

using TaskId = std::int64_t;
using WindowId = std::uint64_t;

// What became of one burst of keystrokes.
enum class KeysOutcome {
    Sent,
    // No window is active at this moment (one of the task's windows is closing, another
    // not yet shown): nothing was sent; a moment later may do.
    NothingActive,
    // The active window belongs to another program: nothing was sent.
    OtherProgram,
    // The task runs with higher rights than this program: the system would drop the keys
    // without a word, so nothing was sent.
    Elevated,
    // The window system refused or cut the burst short (a window that vanished).
    Failed,
};

class Desktop {
public:
    virtual ~Desktop() = default;
    // Starts the program at a path as the program builds it; none when it cannot start.
    virtual std::optional<TaskId> start(std::string_view path) = 0;
    // Whether the task still runs; none when that cannot be told.
    virtual std::optional<bool> isRunning(TaskId task) = 0;
    // Brings the task's main window to the front, unless a window of the task (a dialog
    // of its own) already is: that one is never covered.
    virtual bool activate(TaskId task) = 0;
    // False without a window system: windows and keystrokes are then skipped.
    virtual bool hasWindows() const = 0;
    // A visible window of the task; none while it has none.
    virtual std::optional<WindowId> windowOf(TaskId task) = 0;
    virtual bool makeTopmost(WindowId window) = 0;
    // Keystrokes into the active window when it belongs to the task (its main window or
    // one its process opened, such as its Open dialog): "\x0F" is Ctrl+O, "\r" Enter,
    // other text is typed. Modifier keys the operator holds are released first, so they
    // never combine with the keys sent.
    virtual KeysOutcome sendKeys(TaskId task, std::string_view keys) = 0;
};

} // namespace lumetra
