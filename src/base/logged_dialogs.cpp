#include "base/logged_dialogs.h"

#include <string>

namespace lumetra {

namespace {

const char* iconName(Icon icon) {
    switch (icon) {
    case Icon::Critical:
        return "critical";
    case Icon::Question:
        return "question";
    case Icon::Exclamation:
        return "exclamation";
    case Icon::Information:
        return "information";
    case Icon::None:
        break;
    }
    return "none";
}

const char* answerName(Answer answer) {
    switch (answer) {
    case Answer::Ok:
        return "OK";
    case Answer::Cancel:
        return "Cancel";
    case Answer::Retry:
        return "Retry";
    }
    return "OK";
}

} // namespace

LoggedDialogs::LoggedDialogs(Dialogs& shown, OperatorLog& log) : m_shown(shown), m_log(log) {}

Answer LoggedDialogs::message(std::string_view text, Icon icon, Buttons buttons,
                              std::string_view title) {
    m_lastMessage = text;
    const Answer answer = m_shown.message(text, icon, buttons, title);
    m_log.write(LogKind::Message,
                std::string(text) + " [" + iconName(icon) + "; " + answerName(answer) + "]");
    return answer;
}

Answer UnattendedDialogs::message(std::string_view, Icon, Buttons buttons, std::string_view) {
    return buttons == Buttons::Ok ? Answer::Ok : Answer::Cancel;
}

} // namespace lumetra
