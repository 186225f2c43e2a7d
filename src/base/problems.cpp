#include "base/problems.h"

#include "common/log_text.h"

namespace lumetra {

namespace {

// "hh:mm:ss" of the log's own time stamp ("2026-12-08T03:21:58.123").
constexpr std::size_t kClockStart = 11;
constexpr std::size_t kClockLength = 8;

} // namespace

Problems::Problems(Panel& panel) : m_panel(panel) {}

void Problems::report(ProblemStep step, std::string_view text) {
    m_entries.push_front(
        {step, logTimestamp().substr(kClockStart, kClockLength), std::string(text)});
    if (m_entries.size() > kKept)
        m_entries.pop_back();
    m_shown = step;
    show();
}

void Problems::succeeded(ProblemStep step) {
    if (m_shown == step) {
        m_shown.reset();
        show();
    }
}

void Problems::acknowledge() {
    if (m_shown) {
        m_shown.reset();
        show();
    }
}

void Problems::show() {
    if (!m_shown) {
        m_panel.setProblem({}, {});
        return;
    }
    std::string history;
    for (const Entry& entry : m_entries)
        history += (history.empty() ? "" : "\n") + entry.time + "  " + entry.text;
    m_panel.setProblem(m_entries.front().text, history);
}

} // namespace lumetra
