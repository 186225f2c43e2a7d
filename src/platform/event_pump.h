// Lets pending window events run, and waits.
#pragma once

namespace lumetra {

class EventPump {
public:
    virtual ~EventPump() = default;
    virtual void processEvents() = 0;
    // Waits while window events and timer ticks go on running; returns at once after the
    // program was asked to end.
    virtual void sleepMilliseconds(int milliseconds) = 0;
    // True once the program was asked to end (its window closed, a signal): long work
    // stops between its steps.
    virtual bool endRequested() const = 0;
};

} // namespace lumetra
