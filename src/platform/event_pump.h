// Lets pending window events run, and sleeps.
#pragma once

namespace lumetra {

class EventPump {
public:
    virtual ~EventPump() = default;
    virtual void processEvents() = 0;
    virtual void sleepMilliseconds(int milliseconds) = 0;
};

} // namespace lumetra
