// The status line, the pause and the ready step. Every status text also goes to the log.
#pragma once

#include "base/operator_log.h"
#include "platform/event_pump.h"
#include "platform/panel.h"

#include <string_view>

namespace lumetra {

class StatusLine {
public:
    StatusLine(Panel& panel, OperatorLog& log, EventPump& pump);

    void show(std::string_view text);
    // Shows a failure (logged as a status text) and logs it as an error too.
    void showError(std::string_view text);
    // Lets pending events run, sleeps seconds × 1000 ms rounded, lets events run again.
    void pauseSeconds(float seconds);
    // Pauses 0.6 seconds, then shows "Ready.".
    void readyStep();
    // Lets pending window events run (a repaint, a click) during long work.
    void letEventsRun();
    // True once the program was asked to end: long work stops between its steps.
    bool endRequested() const { return m_pump.endRequested(); }

private:
    Panel& m_panel;
    OperatorLog& m_log;
    EventPump& m_pump;
};

} // namespace lumetra
