#include "scanner/scan_receiver.h"
#include "support/fakes.h"

#include <gtest/gtest.h>

namespace lumetra {
namespace {

using namespace lumetra::testing;

class Receiver : public ::testing::Test {
protected:
    Receiver() : status(panel, log, pump), receiver(port, panel, status, log, handlers, busy) {
        port.open_ = true;
    }

    // Ticks once per queued chunk, then the given number of quiet ticks.
    void feed(std::vector<std::string> chunks, int quietTicks = 2) {
        for (auto& chunk : chunks) {
            port.incoming.push_back(std::move(chunk));
            port.arrive();
            receiver.tick();
        }
        for (int i = 0; i < quietTicks; ++i)
            receiver.tick();
    }

    FakeSerialPort port;
    FakePanel panel;
    FakePump pump;
    OperatorLog log;
    RecordingHandlers handlers;
    BusyGate busy;
    StatusLine status;
    ScanReceiver receiver;
};

struct FramingCase {
    std::string scan;
    std::vector<std::string> calls;
    std::string statusAfter;
    std::vector<std::string> later; // what the two ticks after it dispatch
};

TEST_F(Receiver, FramesAndDispatchesByForm) {
    const FramingCase cases[] = {
        {"%13P100 N 13 %", {"label:%13P100 N 13 %"}, "Reading Barcode-Label.%13P100 N 13 %", {}},
        {"%12P100!N!13!%", {"label:%12P100 N 13 %"}, "Reading Barcode-Label.%12P100 N 13 %", {}},
        {"%A%%B%", {"label:%A%"}, "Reading Barcode-Label.%A%%B%", {"label:%B%"}},
        {"P100", {"label:P100"}, "Reading Barcode-Label.P100", {}},
        {"%%", {"label:%%"}, "Reading Barcode-Label.%%", {}},
        {"%", {"label:%"}, "Reading Barcode-Label.%", {}},
        {"'P100$xyz", {"label:%N%", "label:P100"}, "Reading Barcode-Label.P100", {}},
        {"'$", {}, "", {}},
        {"'P100", {"label:'P100"}, "Reading Barcode-Label.'P100", {}},
        {"'NAME^X800!body$z", {"label:%N%", "program:NAME^X800!body"}, "", {}},
        {"abc^def!%x%", {"program:abc^def!%x%"}, "", {}},
        {"\xF1"
         "abc",
         {"expand:\xF1"
          "abc"},
         "",
         {}},
    };
    for (const FramingCase& c : cases) {
        handlers.calls.clear();
        panel.statuses.clear();
        feed({c.scan});
        EXPECT_EQ(handlers.calls, c.calls) << c.scan;
        EXPECT_EQ(panel.status(), c.statusAfter) << c.scan;
        handlers.calls.clear();
        feed({}, 2);
        EXPECT_EQ(handlers.calls, c.later) << c.scan << ": a remainder is a scan of its own";
    }
}

TEST_F(Receiver, ChunksAreJoinedAndFramedTwoQuietTicksAfterTheLast) {
    feed({"%13P1", "00 N", " 13 %"}, 1);
    EXPECT_TRUE(handlers.calls.empty());
    EXPECT_TRUE(panel.activityVisible);
    EXPECT_EQ(panel.activityCaption, " ");
    EXPECT_EQ(panel.scanDisplay, " Last Scan:    %13P100 N 13 %");
    receiver.tick();
    EXPECT_EQ(handlers.calls, std::vector<std::string>{"label:%13P100 N 13 %"});
    EXPECT_FALSE(panel.activityVisible);
}

TEST_F(Receiver, ARemainderIsFramedTwoQuietTicksLater) {
    feed({"%A%%B%"}, 2);
    EXPECT_EQ(handlers.calls, std::vector<std::string>{"label:%A%"});
    receiver.tick();
    EXPECT_EQ(handlers.calls.size(), 1u);
    receiver.tick();
    EXPECT_EQ(handlers.calls, (std::vector<std::string>{"label:%A%", "label:%B%"}));
}

TEST_F(Receiver, AnExpandedPayloadGoesOnToTheProgramOrLabelTest) {
    handlers.expansion = "NAME^X1!body";
    feed({"\xF1xx"});
    EXPECT_EQ(handlers.calls, (std::vector<std::string>{"expand:\xF1xx", "program:NAME^X1!body"}));
    handlers.calls.clear();
    handlers.expansion = "%11P1!N%rest";
    feed({"\xF1yy"});
    EXPECT_EQ(handlers.calls, (std::vector<std::string>{"expand:\xF1yy", "label:%11P1 N%"}));
    handlers.calls.clear();
    feed({}, 2);
    EXPECT_EQ(handlers.calls, std::vector<std::string>{"label:rest"});
}

TEST_F(Receiver, AnExpandedTextKeepsItsLineEnds) {
    handlers.expansion = "NAME^X1!G71\r\nbody\r";
    feed({"\xF1zz\r\n"});
    EXPECT_EQ(handlers.calls,
              (std::vector<std::string>{"expand:\xF1zz\r\n", "program:NAME^X1!G71\r\nbody\r"}));
}

TEST_F(Receiver, AClosedPortReadsAndFramesNothing) {
    port.open_ = false;
    port.pending = "%START%";
    feed({}, 5);
    EXPECT_TRUE(handlers.calls.empty());
    EXPECT_EQ(port.pending, "%START%");
}

TEST_F(Receiver, ALostPortIsReportedAndTicksThenDoNothing) {
    feed({"%ST"}, 0);
    port.open_ = false;
    port.failure = "Resource temporarily unavailable";
    receiver.tick();
    EXPECT_EQ(panel.status(), "Scanner port lost: Resource temporarily unavailable");
    receiver.tick();
    receiver.tick();
    EXPECT_TRUE(handlers.calls.empty());
    EXPECT_TRUE(receiver.scanText().empty()) << "the bytes of a cut-off scan are discarded";
    port.open_ = true; // the device comes back
    feed({"ART%"});
    EXPECT_EQ(handlers.calls, std::vector<std::string>{"label:ART%"})
        << "what arrives after the loss is a text of its own, never joined to %ST";
    feed({"%11P1 N 1 %"});
    EXPECT_EQ(handlers.calls.back(), "label:%11P1 N 1 %");
}

TEST_F(Receiver, TheBufferIsBounded) {
    const std::string burst(kScanBufferLimit / 4, 'A');
    for (int i = 0; i < 6; ++i) {
        port.pending = burst;
        receiver.tick();
    }
    EXPECT_EQ(receiver.scanText().size(), kScanBufferLimit);
    receiver.tick();
    receiver.tick();
    EXPECT_TRUE(handlers.calls.empty()) << "a scan cut short is never handled";
    EXPECT_EQ(panel.status(), "Scan dropped: longer than the scan buffer of 1048576 bytes");
    EXPECT_TRUE(receiver.scanText().empty());
    feed({"%11P1 N 1 %"});
    EXPECT_EQ(handlers.calls, std::vector<std::string>{"label:%11P1 N 1 %"})
        << "the next scan is whole again";
}

TEST_F(Receiver, ScannerLineEndsAreNotPartOfTheScan) {
    const std::pair<std::string, std::vector<std::string>> cases[] = {
        {"%11P1 N 1 %\r\n", {"label:%11P1 N 1 %"}},
        {"P100\r\n", {"label:P100"}},
        {"P100\r", {"label:P100"}},
        {"\nP100\n", {"label:P100"}},
        {"%START%\r\n%N%\r\n", {"label:%START%", "label:%N%"}},
        {"NAME^X1!body line\r\n", {"program:NAME^X1!body line"}},
        {"'P7$\r\n", {"label:%N%", "label:P7"}},
        {"\r\n", {}},
        {" \t \r\n", {}},
        {"P 1\r\n", {"label:P 1"}},
        // A scanner's suffix separates scans that one quiet spell joined.
        {"P1\r\nP2\r\nP3\r\n", {"label:P1", "label:P2", "label:P3"}},
        {"P1\rP2\nP3", {"label:P1", "label:P2", "label:P3"}},
        {"P1\r\n  \r\nP2\r\n", {"label:P1", "label:P2"}},
        {"%13P1!N!1!%\r\n%23600!400!18!%\r\n", {"label:%13P1 N 1 %", "label:%23600 400 18 %"}},
        // A program barcode's body is its own, and so is a compressed scan.
        {"NAME^X1!G71\r\nN10 (A)\r\n", {"program:NAME^X1!G71\r\nN10 (A)"}},
        {"P1\r\nNAME^X1!a\r\nb\r\n", {"label:P1", "program:NAME^X1!a\r\nb"}},
        {"*%00LIST^x\r\nP1\r\n", {"program:*%00LIST^x", "label:P1"}},
        {"P1\r\n\xF1zz\r\n", {"label:P1", "expand:\xF1zz\r\n"}},
    };
    for (const auto& [scan, calls] : cases) {
        handlers.calls.clear();
        feed({scan}, 8);
        EXPECT_EQ(handlers.calls, calls) << scan;
        EXPECT_TRUE(receiver.scanText().empty()) << scan;
    }
}

TEST_F(Receiver, NoiseNeverBreaksTheReceiver) {
    std::string noise;
    for (int i = 0; i < 4096; ++i)
        noise += static_cast<char>((i * 7919) % 256);
    for (std::size_t start = 0; start < noise.size(); start += 97)
        feed({noise.substr(start, 97)}, 2);
    feed({}, 40);
    EXPECT_TRUE(receiver.scanText().empty());
    EXPECT_FALSE(handlers.calls.empty());
}

// A handler whose pauses let ticks run while scans keep arriving, as an operator who scans
// fast makes them arrive: each of them is framed on its own, and dispatched after the
// handler, in arrival order.
struct PausingHandlers : RecordingHandlers {
    ScanReceiver* receiver = nullptr;
    FakeSerialPort* port = nullptr;
    std::vector<std::string> arriving;
    std::size_t callsAfterFirst = 0;
    bool processLabelScan(const std::string& text) override {
        RecordingHandlers::processLabelScan(text);
        const bool first = calls.size() == 1;
        for (const std::string& scan : std::exchange(arriving, {})) {
            port->pending += scan;
            for (int i = 0; i < 3; ++i) // the scan's tick and two quiet ones
                receiver->tick();
        }
        if (first)
            callsAfterFirst = calls.size();
        return true;
    }
};

TEST(ReceiverDuringAHandler, ScansThatArriveMeanwhileStayApartAndWaitTheirTurn) {
    FakeSerialPort port;
    port.open_ = true;
    FakePanel panel;
    FakePump pump;
    OperatorLog log;
    StatusLine status(panel, log, pump);
    PausingHandlers handlers;
    BusyGate busy;
    ScanReceiver receiver(port, panel, status, log, handlers, busy);
    handlers.receiver = &receiver;
    handlers.port = &port;
    handlers.arriving = {"P00001", "P00002", "P00003", "%13P9!N!1!%"};
    port.pending = "P00000";
    for (int i = 0; i < 3; ++i)
        receiver.tick();
    EXPECT_EQ(handlers.callsAfterFirst, 1u) << "nothing is dispatched while a handler runs";
    EXPECT_EQ(handlers.calls,
              (std::vector<std::string>{"label:P00000", "label:P00001", "label:P00002",
                                        "label:P00003", "label:%13P9 N 1 %"}));
    EXPECT_TRUE(port.pending.empty());
}

TEST(ReceiverDuringAHandler, ABusyProgramFramesButDoesNotDispatch) {
    FakeSerialPort port;
    port.open_ = true;
    FakePanel panel;
    FakePump pump;
    OperatorLog log;
    StatusLine status(panel, log, pump);
    RecordingHandlers handlers;
    BusyGate busy;
    ScanReceiver receiver(port, panel, status, log, handlers, busy);
    {
        const BusyGate::Scope typing(busy); // a typed label, or a message box of a handler
        port.pending = "%START%";
        for (int i = 0; i < 3; ++i)
            receiver.tick();
        EXPECT_TRUE(handlers.calls.empty());
        EXPECT_TRUE(port.pending.empty()) << "read and framed all the same";
    }
    receiver.tick();
    EXPECT_EQ(handlers.calls, std::vector<std::string>{"label:%START%"});
}

} // namespace
} // namespace lumetra
