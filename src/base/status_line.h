// The status line, the pause and the ready step. Every status text also goes to the log.
#pragma once

#include "base/operator_log.h"
#include "base/problems.h"
#include "platform/event_pump.h"
#include "platform/panel.h"

#include <string_view>

namespace lumetra {

class StatusLine {
public:
    StatusLine(Panel& panel, OperatorLog& log, EventPump& pump);

    void show(std::string_view text);
    // Shows a failure that does not stop the road (logged as a status text and as an
    // error); it stays in the problem indicator after the status line moves on.
    void showProblem(ProblemStep step, std::string_view text);
    // The step went through: its problem, if shown, is gone.
    void stepSucceeded(ProblemStep step) { m_problems.succeeded(step); }
    Problems& problems() { return m_problems; }
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
    Problems m_problems;
};

} // namespace lumetra
