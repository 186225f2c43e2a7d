#include "base/status_line.h"

#include "common/status_texts.h"

#include <cmath>

namespace lumetra {

StatusLine::StatusLine(Panel& panel, OperatorLog& log, EventPump& pump)
    : m_panel(panel), m_log(log), m_pump(pump), m_problems(panel) {}

void StatusLine::show(std::string_view text) {
    m_panel.setStatusText(text);
    m_log.write(LogKind::Status, text);
}

void StatusLine::showProblem(ProblemStep step, std::string_view text) {
    show(text);
    m_log.write(LogKind::Error, text);
    m_problems.report(step, text);
}

void StatusLine::pauseSeconds(float seconds) {
    m_pump.processEvents();
    m_pump.sleepMilliseconds(static_cast<int>(std::lround(seconds * 1000.0f)));
    m_pump.processEvents();
}

void StatusLine::letEventsRun() {
    m_pump.processEvents();
}

void StatusLine::readyStep() {
    pauseSeconds(0.6f);
    show(texts::kReady);
}

} // namespace lumetra
