#pragma once

#include "platform/desktop.h"
#include "platform/paths.h"
#include "shell/operator_log.h"

#include <functional>

namespace lumetra {

// Programs started detached by their mapped path; windows and keystrokes through X11
// (libxdo) when a display is present, otherwise each such step is logged and skipped.
class PosixDesktop final : public Desktop {
public:
    // `display` is the X display to use ("" for none).
    PosixDesktop(const Paths& paths, OperatorLog& log, std::string display);
    ~PosixDesktop() override;
    PosixDesktop(const PosixDesktop&) = delete;
    PosixDesktop& operator=(const PosixDesktop&) = delete;

    std::optional<TaskId> start(std::string_view path) override;
    std::optional<bool> isRunning(TaskId task) override;
    bool activate(TaskId task) override;
    WindowId activeWindow() override;
    bool makeTopmost(WindowId window) override;
    bool sendKeys(std::string_view keys) override;

private:
    bool haveDisplay(std::string_view step);

    const Paths& m_paths;
    OperatorLog& m_log;
    void* m_xdo = nullptr; // xdo_t
};

} // namespace lumetra
