#include "scanner/scan_receiver.h"

#include "common/status_texts.h"

#include <algorithm>
#include <utility>

namespace lumetra {

namespace {

constexpr std::int16_t kQuietTicksToFrame = 2;
constexpr char kCompressedMark = '\xF1';
constexpr std::string_view kBlanksAndLineEnds = " \t\r\n";

std::string trimLineEnds(std::string_view text) {
    const auto first = text.find_first_not_of("\r\n");
    const auto last = text.find_last_not_of("\r\n");
    return first == std::string_view::npos ? std::string{}
                                           : std::string(text.substr(first, last - first + 1));
}

} // namespace

ScanReceiver::ScanReceiver(SerialPort& port, Panel& panel, StatusLine& status, OperatorLog& log,
                           ScanHandlers& handlers, BusyGate& busy)
    : m_port(port), m_panel(panel), m_status(status), m_log(log), m_handlers(handlers),
      m_busy(busy) {}

void ScanReceiver::append(std::string_view bytes) {
    const std::size_t room = kScanBufferLimit - std::min(kScanBufferLimit, m_scanText.size());
    m_scanText.append(bytes.substr(0, room));
    if (bytes.size() > room)
        m_overflowed = true;
}

void ScanReceiver::tick() {
    if (m_busy.busy())
        return;
    const BusyGate::Scope busy(m_busy);
    if (const auto failure = m_port.takeFailure()) {
        m_status.showError("Scanner port lost: " + *failure);
        // Bytes of a scan cut off by the loss are never framed as a scan of their own.
        m_scanText += m_port.readAll();
        if (!m_scanText.empty())
            m_log.write(LogKind::Info, std::to_string(m_scanText.size()) +
                                           " bytes of an unfinished scan discarded: " + m_scanText);
        m_scanText.clear();
        m_quietTicks = 0;
        m_overflowed = false;
        m_panel.setActivity(false, {});
    }
    if (m_port.isOpen()) {
        if (m_port.bytesWaiting() != 0) {
            const std::string chunk = m_port.readAll();
            append(chunk);
            m_panel.setActivity(true, std::string_view(chunk).substr(0, 1));
            m_quietTicks = 0;
        } else if (!m_scanText.empty()) {
            ++m_quietTicks;
            m_panel.setScanDisplay(" Last Scan:    " + m_scanText);
        }
        if (m_quietTicks == kQuietTicksToFrame)
            frameAndDispatch();
    }
}

void ScanReceiver::frameAndDispatch() {
    m_quietTicks = 0;
    m_panel.setActivity(false, {});
    if (std::exchange(m_overflowed, false)) {
        // Nothing cut short is ever handled as if it were whole.
        m_status.showError(std::string(texts::kScanTooLong) + std::to_string(kScanBufferLimit) +
                           " bytes");
        m_scanText.clear();
        return;
    }
    // Line ends a scanner sends before or after a barcode are not part of it, and a
    // text of nothing but blanks and line ends is not a scan. A compressed scan keeps
    // its bytes: its data may end in any byte.
    if (m_scanText.find_first_not_of(kBlanksAndLineEnds) == std::string::npos) {
        m_log.write(LogKind::Info, "blank text from the scanner ignored: " + m_scanText);
        m_scanText.clear();
        return;
    }
    if (m_scanText.front() != kCompressedMark)
        m_scanText = trimLineEnds(m_scanText);
    m_log.write(LogKind::Scan, m_scanText);

    if (!m_scanText.empty() && m_scanText.front() == '\'' &&
        m_scanText.find('$') != std::string::npos) {
        m_scanText = trimLineEnds(m_scanText.substr(1, m_scanText.find('$') - 1));
        if (m_scanText.empty())
            return;
        m_handlers.processLabelScan("%N%");
    }
    if (!m_scanText.empty() && m_scanText.front() == kCompressedMark) {
        m_scanText = trimLineEnds(m_handlers.expandPayload(m_scanText));
        if (m_scanText.empty())
            return;
        m_log.write(LogKind::Scan, m_scanText + " (expanded)");
    }
    if (m_scanText.find('^') != std::string::npos) {
        m_handlers.importProgramBarcode(m_scanText);
        m_scanText.clear();
        return;
    }
    std::replace(m_scanText.begin(), m_scanText.end(), '!', ' ');
    m_status.show(std::string(texts::kReadingLabel) + m_scanText);
    m_port.discardInput();
    std::string remainder;
    const auto close = m_scanText.find('%', 1);
    if (close != std::string::npos) {
        remainder = m_scanText.substr(close + 1);
        m_scanText.resize(close + 1);
    }
    m_handlers.processLabelScan(m_scanText);
    m_scanText = std::move(remainder);
}

} // namespace lumetra
