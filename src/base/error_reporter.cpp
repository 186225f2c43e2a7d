#include "base/error_reporter.h"

#include "common/errors.h"

#include <string>

namespace lumetra {

ErrorReporter::ErrorReporter(Dialogs& dialogs, OperatorLog& log) : m_dialogs(dialogs), m_log(log) {}

void ErrorReporter::report(int number, std::string_view description) {
    m_log.write(LogKind::Error, std::to_string(number) + " " + std::string(description));
    m_dialogs.message(unexpectedErrorText(number, description), Icon::Critical, Buttons::Ok);
}

bool ErrorReporter::guarded(const std::function<void()>& step) {
    try {
        step();
        return true;
    } catch (const UnexpectedError& error) {
        report(error.number(), error.what());
    } catch (const std::exception& error) {
        report(error_number::kInternal, error.what());
    }
    return false;
}

} // namespace lumetra
