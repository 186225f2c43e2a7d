// Polls the scanner port on each tick, collects a scan until the port has been quiet
// for two ticks, frames it and dispatches it by its form.
#pragma once

#include "common/busy_gate.h"
#include "platform/serial_port.h"
#include "scanner/scan_handlers.h"
#include "shell/status_line.h"

namespace lumetra {

inline constexpr std::size_t kScanBufferLimit = 1024 * 1024;

class ScanReceiver {
public:
    ScanReceiver(SerialPort& port, Panel& panel, StatusLine& status, OperatorLog& log,
                 ScanHandlers& handlers, BusyGate& busy);

    // One tick of Timer1. A tick that falls due while the program is busy (a handler, a
    // typed label, a message box of theirs) reads nothing and frames nothing.
    void tick();

    const std::string& scanText() const { return m_scanText; }

private:
    void frameAndDispatch();
    void append(std::string_view bytes);

    SerialPort& m_port;
    Panel& m_panel;
    StatusLine& m_status;
    OperatorLog& m_log;
    ScanHandlers& m_handlers;
    BusyGate& m_busy;
    std::string m_scanText;
    std::int16_t m_quietTicks = 0;
    bool m_overflowed = false;
};

} // namespace lumetra
