#pragma once

#include "platform/automation.h"
#include "platform/win32/com_message_filter.h"

#include <functional>

namespace lumetra {

// Automation objects of other programs over COM: created by class name (ProgID) and
// called through IDispatch. Texts go out as BSTRs converted from the code page. Every
// failure becomes the UnexpectedError the calling code handles: 429 for a class that
// cannot be created, 438 for an unknown member, and the automation error's own number
// (a server that has gone away, an error it raised) otherwise.
// Registers the thread's message filter: a host that is busy for a moment is waited
// for (ComMessageFilter), and `onBusy` is told once for each call that waits.
class ComAutomation final : public Automation {
public:
    explicit ComAutomation(std::function<void()> onBusy = {});
    ~ComAutomation() override;
    ComAutomation(const ComAutomation&) = delete;
    ComAutomation& operator=(const ComAutomation&) = delete;

    std::shared_ptr<AutomationObject> create(std::string_view className) override;

private:
    bool m_initialised = false;
    ComMessageFilter* m_filter = nullptr;
    IMessageFilter* m_previous = nullptr;
};

} // namespace lumetra
