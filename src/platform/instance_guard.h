// Tells whether another copy of the program already runs.
#pragma once

namespace lumetra {

class InstanceGuard {
public:
    virtual ~InstanceGuard() = default;
    // True when this process is the only instance; it stays so until the process ends.
    virtual bool acquire() = 0;
};

} // namespace lumetra
