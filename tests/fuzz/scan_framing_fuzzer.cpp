// Arbitrary bytes from the scanner in arbitrary chunks and pauses: the receiver never
// holds or hands on more than its buffer, and never hands on a text that ends in a line
// end or is blank.
#include "scanner/scan_receiver.h"
#include "support/fakes.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace lumetra;
using namespace lumetra::testing;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FakeSerialPort port;
    port.open_ = true;
    FakePanel panel;
    FakePump pump;
    OperatorLog log;
    StatusLine status(panel, log, pump);
    RecordingHandlers handlers;
    handlers.expansion = "%11EXPANDED N %";
    BusyGate busy;
    ScanReceiver receiver(port, panel, status, log, handlers, busy);
    // Each input byte below 8 is a number of quiet ticks; 8 and 9 lose and regain the
    // port; a run of other bytes arrives as one chunk.
    std::string chunk;
    for (std::size_t i = 0; i < size; ++i) {
        const auto b = data[i];
        if (b >= 10) {
            chunk += static_cast<char>(b);
            continue;
        }
        port.pending += chunk;
        chunk.clear();
        if (b == 8) {
            port.open_ = false;
            port.failure = "lost";
        } else if (b == 9) {
            port.open_ = true;
        }
        for (int t = 0; t <= b % 8; ++t)
            receiver.tick();
        if (receiver.scanText().size() > kScanBufferLimit)
            std::abort();
    }
    port.pending += chunk;
    for (int t = 0; t < 8; ++t)
        receiver.tick();
    for (const std::string& call : handlers.calls) {
        const std::string text = call.substr(call.find(':') + 1);
        if (text.size() > kScanBufferLimit || text.empty() ||
            (call.rfind("label:", 0) == 0 && (text.back() == '\n' || text.back() == '\r')))
            std::abort();
    }
    return 0;
}
