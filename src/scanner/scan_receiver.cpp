#include "scanner/scan_receiver.h"

#include "common/status_texts.h"

#include <algorithm>
#include <utility>

namespace lumetra {

namespace {

constexpr std::int16_t kQuietTicksToFrame = 2;
constexpr int kRemainderTicks = 2;
constexpr char kCompressedMark = '\xF1';
constexpr std::string_view kLineEnds = "\r\n";
constexpr std::string_view kBlanks = " \t";

bool isBlank(std::string_view text) {
    return text.find_first_not_of(kBlanks) == std::string_view::npos;
}

// A program barcode's header (the text before its first "!") holds "^"; its body may hold
// any line ends.
bool startsProgramBarcode(std::string_view line) {
    const auto bang = line.find('!');
    return bang != std::string_view::npos && line.substr(0, bang).find('^') != std::string::npos;
}

std::string_view withoutTrailingLineEnds(std::string_view text) {
    const auto last = text.find_last_not_of(kLineEnds);
    return last == std::string_view::npos ? std::string_view{} : text.substr(0, last + 1);
}

} // namespace

std::vector<std::string> splitScans(std::string_view text) {
    std::vector<std::string> scans;
    std::size_t start = text.find_first_not_of(kLineEnds);
    while (start != std::string_view::npos) {
        const std::string_view rest = text.substr(start);
        if (rest.front() == kCompressedMark) {
            scans.emplace_back(rest);
            break;
        }
        const auto end = rest.find_first_of(kLineEnds);
        const std::string_view line = rest.substr(0, end);
        if (startsProgramBarcode(line)) {
            scans.emplace_back(withoutTrailingLineEnds(rest));
            break;
        }
        if (!isBlank(line))
            scans.emplace_back(line);
        if (end == std::string_view::npos)
            break;
        start = text.find_first_not_of(kLineEnds, start + end);
    }
    return scans;
}

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
    readPort();
    dispatchWaiting();
}

void ScanReceiver::readPort() {
    if (const auto failure = m_port.takeFailure()) {
        m_status.showProblem(ProblemStep::Scanner, "Scanner port lost: " + *failure);
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
    if (!m_port.isOpen())
        return;
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
        frame();
}

void ScanReceiver::frame() {
    m_quietTicks = 0;
    m_panel.setActivity(false, {});
    const std::string text = std::exchange(m_scanText, {});
    if (std::exchange(m_overflowed, false)) {
        // Nothing cut short is ever handled as if it were whole.
        m_status.showProblem(ProblemStep::Scan, std::string(texts::kScanTooLong) +
                                                    std::to_string(kScanBufferLimit) + " bytes");
        return;
    }
    m_status.stepSucceeded(ProblemStep::Scan);
    std::vector<std::string> scans = splitScans(text);
    if (scans.empty())
        m_log.write(LogKind::Info, "blank text from the scanner ignored: " + text);
    for (std::string& scan : scans)
        m_waiting.push_back(std::move(scan));
}

void ScanReceiver::dispatchWaiting() {
    if (m_busy.busy() || (m_remainderTicks > 0 && --m_remainderTicks > 0))
        return;
    const BusyGate::Scope busy(m_busy);
    while (!m_waiting.empty() && m_remainderTicks == 0) {
        std::string text = std::move(m_waiting.front());
        m_waiting.pop_front();
        dispatch(std::move(text));
    }
}

void ScanReceiver::dispatch(std::string text) {
    m_log.write(LogKind::Scan, text);
    if (text.front() == '\'' && text.find('$') != std::string::npos) {
        text = text.substr(1, text.find('$') - 1);
        if (text.empty())
            return;
        m_handlers.processLabelScan("%N%");
    }
    if (text.front() == kCompressedMark) {
        // The expanded bytes are the barcode's own, line ends included.
        text = m_handlers.expandPayload(text);
        if (text.empty())
            return;
        m_log.write(LogKind::Scan, text + " (expanded)");
    }
    if (text.find('^') != std::string::npos) {
        m_handlers.importProgramBarcode(text);
        return;
    }
    std::replace(text.begin(), text.end(), '!', ' ');
    m_status.show(std::string(texts::kReadingLabel) + text);
    // Bytes that arrived meanwhile belong to the next scan: nothing is discarded.
    std::string remainder;
    const auto close = text.find('%', 1);
    if (close != std::string::npos) {
        remainder = text.substr(close + 1);
        text.resize(close + 1);
    }
    m_handlers.processLabelScan(text);
    if (!remainder.empty()) {
        m_waiting.push_front(std::move(remainder));
        m_remainderTicks = kRemainderTicks;
    }
}

} // namespace lumetra
