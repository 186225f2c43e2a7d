// The problems that did not stop the road: the last one stays in view until the operator
// acknowledges it or its step next succeeds, and the last ten are kept with their times.
#pragma once

#include "platform/panel.h"

#include <cstddef>
#include <deque>
#include <optional>
#include <string>
#include <string_view>

namespace lumetra {

// The steps whose failures are problems; a success of the same step clears its problem.
enum class ProblemStep {
    ProgramFile,
    CsvExport,
    HostCall,
    HostWorkList,
    OperatorLog,
    Setting,
    Scanner,
    Editor,
    ListFile,
    Scan,
    Configuration,
};

class Problems {
public:
    explicit Problems(Panel& panel);

    void report(ProblemStep step, std::string_view text);
    void succeeded(ProblemStep step);
    void acknowledge();

    static constexpr std::size_t kKept = 10;

private:
    struct Entry {
        ProblemStep step;
        std::string time; // local, hh:mm:ss
        std::string text;
    };
    void show();

    Panel& m_panel;
    std::deque<Entry> m_entries; // newest first
    std::optional<ProblemStep> m_shown;
};

} // namespace lumetra
