// Programs and windows: starting a program, telling whether it runs, bringing its
// window to the front and typing into the active window.
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
    virtual WindowId activeWindow() = 0;
    virtual bool makeTopmost(WindowId window) = 0;
    // Keystrokes to the active window: "\x0F" is Ctrl+O, "\r" Enter, other text is typed.
    virtual bool sendKeys(std::string_view keys) = 0;
};

} // namespace lumetra
