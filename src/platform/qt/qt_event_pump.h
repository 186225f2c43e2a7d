#pragma once

#include "platform/event_pump.h"

#include <vector>

class QEventLoop;

namespace lumetra {

class QtEventPump final : public EventPump {
public:
    void processEvents() override;
    void sleepMilliseconds(int milliseconds) override;
    bool endRequested() const override { return m_endRequested; }

    // Ends the event loop (and any pause in progress); work in progress sees endRequested.
    void requestEnd();

private:
    bool m_endRequested = false;
    std::vector<QEventLoop*> m_pauses; // the pauses in progress, innermost last
};

} // namespace lumetra
