#include "support/fakes.h"

#include "common/errors.h"

namespace lumetra::testing {

void FakeSerialPort::open(int portNumber, const LineSettings& settings) {
    if (!refusal.empty())
        throw PortOpenError(refusalKind, refusal);
    open_ = true;
    openedPort = portNumber;
    openedSettings = settings;
}

} // namespace lumetra::testing
