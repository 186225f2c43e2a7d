// The unexpected-error message: "Unexpected error # <n> occured: <description>",
// critical icon, OK, the program's title; the error also goes to the log.
#pragma once

#include "base/operator_log.h"
#include "platform/dialogs.h"

#include <functional>

namespace lumetra {

class ErrorReporter {
public:
    ErrorReporter(Dialogs& dialogs, OperatorLog& log);

    void report(int number, std::string_view description);
    // Runs a step; an error it raises is reported. True when it ran through.
    bool guarded(const std::function<void()>& step);

private:
    Dialogs& m_dialogs;
    OperatorLog& m_log;
};

} // namespace lumetra
