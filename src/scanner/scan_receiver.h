// Polls the scanner port on each tick, collects a scan until the port has been quiet
// for two ticks, frames it and dispatches it by its form.
#pragma once

#include "base/busy_gate.h"
#include "base/status_line.h"
#include "platform/serial_port.h"
#include "scanner/scan_handlers.h"

#include <deque>

namespace lumetra {

inline constexpr std::size_t kScanBufferLimit = 1024 * 1024;

class ScanReceiver {
public:
    ScanReceiver(SerialPort& port, Panel& panel, StatusLine& status, OperatorLog& log,
                 ScanHandlers& handlers, BusyGate& busy);

    // One tick of Timer1. Every tick reads the port and frames what arrived, so scans that
    // arrive while a handler runs (its pauses let ticks run) stay apart; they wait in
    // arrival order and are dispatched one by one once the program is no longer busy (a
    // handler, a typed label, a message box of theirs).
    void tick();

    // What has arrived of a scan that is not framed yet.
    const std::string& scanText() const { return m_scanText; }

private:
    void readPort();
    void frame();
    void dispatchWaiting();
    void dispatch(std::string text);
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
    std::deque<std::string> m_waiting;
    // Ticks a label's remainder waits before it is dispatched as a scan of its own.
    int m_remainderTicks = 0;
};

// A framed text cut into the scans it holds. Line ends a scanner sends around a barcode
// are not part of it, and inner line ends (a scanner's suffix) separate scans, except
// inside a program barcode's body and a compressed scan, whose bytes are their own: a line
// whose header holds "^", or that starts with the compressed mark, takes the rest of the
// text. Pieces of nothing but blanks are not scans and are left out.
std::vector<std::string> splitScans(std::string_view text);

} // namespace lumetra
