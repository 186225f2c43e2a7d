// The Win32 COM port against a pseudo-terminal linked as COM7 (com_peer.py answers on the
// other end): opening, the line settings, bytes both ways, a missing and a busy port, the
// other end going away and coming back.
#include "platform/win32/win32_serial_port.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <thread>

namespace lumetra {
namespace {

constexpr int kPeerPort = 7;

std::string comName(int port) {
    return "COM" + std::to_string(port);
}

// What the port holds once `size` bytes came, or what came within five seconds.
std::string readAtLeast(SerialPort& port, std::size_t size) {
    std::string bytes;
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (bytes.size() < size && std::chrono::steady_clock::now() < until) {
        bytes += port.readAll();
        if (port.takeFailure())
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return bytes;
}

std::string lineSettingsOf(SerialPort& port) {
    EXPECT_TRUE(port.write("?"));
    std::string answer = readAtLeast(port, 1);
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (answer.find('\n') == std::string::npos && std::chrono::steady_clock::now() < until)
        answer += readAtLeast(port, 1);
    return answer;
}

PortProblem openProblem(SerialPort& port, int number, const LineSettings& settings) {
    try {
        port.open(number, settings);
    } catch (const PortOpenError& error) {
        return error.problem();
    }
    return PortProblem::Other;
}

// Linux's pseudo-terminal keeps the baud rate and the stop bits a program sets, but always
// reports 8 data bits without parity: those two are checked on the DCB the port sets.
TEST(Win32SerialPort, TheLineSettingsReachTheDevice) {
    Win32SerialPort port(comName);
    struct Case {
        LineSettings settings;
        std::string seen;
    };
    const Case cases[] = {
        {{9600, 'N', 8, StopBits::One}, "9600 8 N 1\n"},
        {{19200, 'E', 7, StopBits::Two}, "19200 8 N 2\n"},
        {{1200, 'O', 8, StopBits::One}, "1200 8 N 1\n"},
        {{57600, 'N', 7, StopBits::Two}, "57600 8 N 2\n"},
    };
    for (const Case& c : cases) {
        port.open(kPeerPort, c.settings);
        ASSERT_TRUE(port.isOpen());
        EXPECT_EQ(lineSettingsOf(port), c.seen) << c.seen;
        port.close();
        EXPECT_FALSE(port.isOpen());
    }
}

TEST(Win32SerialPort, TheSettingsBecomeTheLineOfTheDcb) {
    struct Case {
        LineSettings settings;
        CommLine line;
    };
    const Case cases[] = {
        {{9600, 'N', 8, StopBits::One}, {9600, 8, NOPARITY, ONESTOPBIT, false}},
        {{19200, 'E', 7, StopBits::Two}, {19200, 7, EVENPARITY, TWOSTOPBITS, true}},
        {{1200, 'O', 5, StopBits::OneAndHalf}, {1200, 5, ODDPARITY, ONE5STOPBITS, true}},
        {{300, 'M', 7, StopBits::One}, {300, 7, MARKPARITY, ONESTOPBIT, true}},
        {{57600, 'S', 8, StopBits::Two}, {57600, 8, SPACEPARITY, TWOSTOPBITS, true}},
    };
    for (const Case& c : cases) {
        const CommLine line = commLineOf(c.settings);
        EXPECT_EQ(line.baudRate, c.line.baudRate);
        EXPECT_EQ(line.byteSize, c.line.byteSize);
        EXPECT_EQ(line.parity, c.line.parity) << c.settings.parity;
        EXPECT_EQ(line.stopBits, c.line.stopBits);
        EXPECT_EQ(line.checkParity, c.line.checkParity) << c.settings.parity;
    }
}

TEST(Win32SerialPort, BytesGoBothWaysAndAreCountedBeforeTheyAreRead) {
    Win32SerialPort port(comName);
    port.open(kPeerPort, LineSettings{});
    const std::string scan("%13P100 N 13 %\xF1\x00\r\n", 18);
    ASSERT_TRUE(port.write(scan));
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (port.bytesWaiting() < scan.size() && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(port.bytesWaiting(), scan.size());
    EXPECT_EQ(port.readAll(), scan);
    EXPECT_EQ(port.bytesWaiting(), 0u);
    EXPECT_EQ(port.readAll(), "") << "a read returns at once with nothing waiting";
    EXPECT_FALSE(port.takeFailure());
}

TEST(Win32SerialPort, TellsAMissingAndAnInvalidPortApart) {
    Win32SerialPort port(comName);
    EXPECT_EQ(openProblem(port, 9, LineSettings{}), PortProblem::DeviceMissing);
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(openProblem(port, 0, LineSettings{}), PortProblem::NoSuchPort);
    EXPECT_EQ(openProblem(port, kLastPortNumber + 1, LineSettings{}), PortProblem::NoSuchPort);
}

// Windows opens a COM port for one program at a time and refuses the next with "access
// denied"; Wine lets a second one open it, so the refusal is checked by its error.
TEST(Win32SerialPort, TheSystemsRefusalsAreToldByKind) {
    const std::pair<unsigned long, PortProblem> cases[] = {
        {ERROR_ACCESS_DENIED, PortProblem::Busy},
        {ERROR_SHARING_VIOLATION, PortProblem::Busy},
        {ERROR_FILE_NOT_FOUND, PortProblem::DeviceMissing},
        {ERROR_PATH_NOT_FOUND, PortProblem::DeviceMissing},
        {ERROR_DEV_NOT_EXIST, PortProblem::DeviceMissing},
        {ERROR_GEN_FAILURE, PortProblem::Other},
    };
    for (const auto& [error, problem] : cases)
        EXPECT_EQ(comOpenFailure(error).problem, problem) << error;
    EXPECT_EQ(comOpenFailure(ERROR_ACCESS_DENIED).text, "busy: opened by another program");
}

TEST(Win32SerialPort, AFileIsNoSerialDevice) {
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    const std::wstring file = std::wstring(folder) + L"lumetra-not-a-port.txt";
    HANDLE handle = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    CloseHandle(handle);
    char narrow[MAX_PATH] = {};
    WideCharToMultiByte(CP_ACP, 0, file.c_str(), -1, narrow, MAX_PATH, nullptr, nullptr);
    Win32SerialPort port([&](int) { return std::string("\\\\?\\") + narrow; });
    EXPECT_EQ(openProblem(port, 1, LineSettings{}), PortProblem::NotSerial);
    EXPECT_FALSE(port.isOpen());
    DeleteFileW(file.c_str());
}

TEST(Win32SerialPort, SettingsThePortRefusesAreToldAsSuch) {
    Win32SerialPort port(comName);
    EXPECT_EQ(openProblem(port, kPeerPort, LineSettings{9600, 'N', 4, StopBits::One}),
              PortProblem::SettingsRefused);
    EXPECT_FALSE(port.isOpen());
}

TEST(Win32SerialPort, AnOtherEndThatGoesAwayIsToldOnceAndThePortOpensWhenItIsBack) {
    Win32SerialPort port(comName);
    port.open(kPeerPort, LineSettings{});
    ASSERT_TRUE(port.write("!"));
    std::optional<std::string> failure;
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!failure && std::chrono::steady_clock::now() < until) {
        port.bytesWaiting();
        port.readAll();
        failure = port.takeFailure();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ASSERT_TRUE(failure) << "the lost device is told";
    EXPECT_FALSE(port.isOpen());
    EXPECT_FALSE(port.takeFailure()) << "once";
    EXPECT_FALSE(port.write("x"));

    bool reopened = false;
    const auto back = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!reopened && std::chrono::steady_clock::now() < back) {
        try {
            port.open(kPeerPort, LineSettings{});
            reopened = true;
        } catch (const PortOpenError&) {
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
        }
    }
    ASSERT_TRUE(reopened);
    EXPECT_EQ(lineSettingsOf(port), "9600 8 N 1\n");
}

// Wine registers the serial devices of its prefix (COM1 on /dev/ttyS0) in the system's
// serial-communication map when the prefix starts; a COM7 linked later it does not.
TEST(Win32SerialPort, ThePortsOfTheSystemsMapAreOffered) {
    Win32SerialPort port(comName);
    std::string listed;
    bool registered = false;
    for (const SerialDevice& device : port.systemDevices()) {
        listed += device.shown + "; ";
        EXPECT_EQ(device.path.rfind("COM", 0), 0u) << device.path;
        registered = registered || (device.path == "COM1" &&
                                    device.shown.find("\\Device\\Serial") != std::string::npos);
    }
    EXPECT_TRUE(registered) << "COM1 of the serial-communication map: " << listed;
}

TEST(Win32SerialPort, DeviceNamesBecomeDevicePaths) {
    EXPECT_EQ(serialDevicePath("COM3"), "\\\\.\\COM3");
    EXPECT_EQ(serialDevicePath("COM12"), "\\\\.\\COM12");
    EXPECT_EQ(serialDevicePath("\\\\.\\COM4"), "\\\\.\\COM4");
}

} // namespace
} // namespace lumetra
