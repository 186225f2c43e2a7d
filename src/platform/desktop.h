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

class Desktop {
public:
    virtual ~Desktop() = default;
    // Starts the program at a path as the program builds it; none when it cannot start.
    virtual std::optional<TaskId> start(std::string_view path) = 0;
    // Whether the task still runs; none when that cannot be told.
    virtual std::optional<bool> isRunning(TaskId task) = 0;
    virtual bool activate(TaskId task) = 0;
    // False without a window system: windows and keystrokes are then skipped.
    virtual bool hasWindows() const = 0;
    // A visible window of the task; none while it has none.
    virtual std::optional<WindowId> windowOf(TaskId task) = 0;
    virtual bool makeTopmost(WindowId window) = 0;
    // Keystrokes into `window` only: "\x0F" is Ctrl+O, "\r" Enter, other text is typed.
    // False, with nothing more sent, when the window is not the active one or has gone.
    virtual bool sendKeys(WindowId window, std::string_view keys) = 0;
};

} // namespace lumetra
