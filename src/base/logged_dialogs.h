// Message boxes that leave a line in the operator log, and the unattended stand-in
// that answers as a person pressing Enter would, except that questions which would
// come back (Retry, Insert Disk) are answered Cancel.
#pragma once

#include "base/operator_log.h"
#include "platform/dialogs.h"

namespace lumetra {

class LoggedDialogs final : public Dialogs {
public:
    LoggedDialogs(Dialogs& shown, OperatorLog& log);
    Answer message(std::string_view text, Icon icon, Buttons buttons,
                   std::string_view title) override;
    // The text of the last message shown (start-up's reason when it ends the program).
    const std::string& lastMessage() const { return m_lastMessage; }

private:
    Dialogs& m_shown;
    OperatorLog& m_log;
    std::string m_lastMessage;
};

class UnattendedDialogs final : public Dialogs {
public:
    Answer message(std::string_view text, Icon icon, Buttons buttons,
                   std::string_view title) override;
};

} // namespace lumetra
