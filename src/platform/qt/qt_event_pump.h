#pragma once

#include "platform/event_pump.h"

namespace lumetra {

class QtEventPump final : public EventPump {
public:
    void processEvents() override;
    void sleepMilliseconds(int milliseconds) override;
};

} // namespace lumetra
