#include "common/errors.h"
#include "platform/posix/posix_serial_device.h"
#include "platform/qt/qt_serial_port.h"
#include "support/pty_pair.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <gtest/gtest.h>

namespace lumetra {
namespace {

using testing::PtyPair;

// Lets Qt's notifier read the device until the port reports `size` bytes or time runs out.
std::size_t waitForBytes(QtSerialPort& port, std::size_t size) {
    QElapsedTimer timer;
    timer.start();
    while (port.bytesWaiting() < size && timer.elapsed() < 3000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return port.bytesWaiting();
}

TEST(QtSerialPortOnPty, ReadsDiscardsAndWrites) {
    PtyPair pty;
    if (!pty.valid())
        GTEST_SKIP() << "no pseudo-terminal could be opened";
    QtSerialPort port([&](int) { return pty.path(); });
    port.open(1, LineSettings{9600, 'N', 8, StopBits::One});
    ASSERT_TRUE(port.isOpen());

    pty.send(std::string("%13P100 N 13 %\xF1\x00", 16));
    ASSERT_EQ(waitForBytes(port, 16), 16u);
    EXPECT_EQ(port.readAll(), std::string("%13P100 N 13 %\xF1\x00", 16));

    EXPECT_TRUE(port.write("ACK\r"));
    EXPECT_EQ(pty.receive(std::chrono::seconds(2), 4), "ACK\r");
    port.close();
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(port.bytesWaiting(), 0u);
}

TEST(QtSerialPortOnPty, OpeningFailuresCarryTheAdaptersDescription) {
    QtSerialPort missing([](int) { return std::string("/nonexistent/ttyLumetra"); },
                         serialDeviceProblem);
    try {
        missing.open(1, LineSettings{});
        FAIL() << "opened a missing device";
    } catch (const UnexpectedError& error) {
        EXPECT_EQ(error.number(), 8002);
        EXPECT_NE(std::string(error.what()).find("/nonexistent/ttyLumetra"), std::string::npos);
    }
    QtSerialPort outOfRange([](int) { return std::string("/dev/null"); });
    EXPECT_THROW(outOfRange.open(0, LineSettings{}), UnexpectedError);
}

TEST(QtSerialPortOnPty, ADeviceThatGoesAwayIsReported) {
    auto pty = std::make_unique<PtyPair>();
    if (!pty->valid())
        GTEST_SKIP() << "no pseudo-terminal could be opened";
    QtSerialPort port([&](int) { return pty->path(); });
    port.open(1, LineSettings{});
    pty->closeSlave();
    pty->closeMaster();
    QElapsedTimer timer;
    timer.start();
    std::optional<std::string> failure;
    while (!failure && timer.elapsed() < 3000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        port.bytesWaiting();
        port.readAll();
        failure = port.takeFailure();
    }
    ASSERT_TRUE(failure.has_value()) << "hang-up not reported";
    EXPECT_FALSE(port.isOpen());
}

} // namespace
} // namespace lumetra
