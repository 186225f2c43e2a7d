// Polls the scanner port on each tick, collects a scan until the port has been quiet
// for two ticks, frames it and dispatches it by its form.
#pragma once

#include "platform/serial_port.h"
#include "scanner/scan_handlers.h"
#include "shell/status_line.h"

namespace lumetra {

inline constexpr std::size_t kScanBufferLimit = 1024 * 1024;

class ScanReceiver {
public:
    ScanReceiver(SerialPort& port, Panel& panel, StatusLine& status, OperatorLog& log,
                 ScanHandlers& handlers);

    // One tick of Timer1. A tick that falls due while a handler still runs does nothing.
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
    std::string m_scanText;
    std::int16_t m_quietTicks = 0;
    bool m_busy = false;
    bool m_overflowReported = false;
};

} // namespace lumetra
