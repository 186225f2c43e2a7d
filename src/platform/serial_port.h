// The scanner's serial port, polled by the scan receiver.
#pragma once

#include "common/errors.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumetra {

enum class StopBits { One, OneAndHalf, Two };

struct LineSettings {
    int baudRate = 9600;
    char parity = 'N'; // N, O, E, M, S
    int dataBits = 8;
    StopBits stopBits = StopBits::One;
};

// COM1 to COM16: the port numbers a port can have.
inline constexpr int kLastPortNumber = 16;
inline constexpr std::string_view kInvalidPortNumber = "Invalid port number";

// A serial device of the system, as the settings dialog offers it.
struct SerialDevice {
    std::string shown; // the device with what is known of it
    std::string path;  // what Com<n>Device is set to when it is chosen
};

// Why a port cannot be opened, in the few kinds an operator or integrator acts on.
enum class PortProblem {
    NoSuchPort,
    DeviceMissing,
    NoPermission,
    Busy,
    NotSerial,
    SettingsRefused,
    Other
};

// The words of the port caption for each kind.
inline std::string_view portProblemText(PortProblem problem) {
    switch (problem) {
    case PortProblem::NoSuchPort:
        return "no such port";
    case PortProblem::DeviceMissing:
        return "device missing";
    case PortProblem::NoPermission:
        return "no permission (dialout)";
    case PortProblem::Busy:
        return "busy";
    case PortProblem::NotSerial:
        return "not a serial device";
    case PortProblem::SettingsRefused:
        return "settings refused";
    case PortProblem::Other:
        break;
    }
    return "cannot be opened";
}

struct DeviceFault {
    PortProblem problem = PortProblem::Other;
    std::string text; // the whole reason
};

// What opening a port raises: the unexpected error, with its kind.
class PortOpenError : public UnexpectedError {
public:
    PortOpenError(PortProblem problem, const std::string& description)
        : UnexpectedError(error_number::kPortOpenFailed, description), m_problem(problem) {}
    PortProblem problem() const { return m_problem; }

private:
    PortProblem m_problem;
};

class SerialPort {
public:
    virtual ~SerialPort() = default;
    // Opens port `portNumber` (COM<n>) with the line settings. Raises PortOpenError
    // carrying the adapter's own description when the port cannot be opened.
    virtual void open(int portNumber, const LineSettings& settings) = 0;
    // The device that COM<portNumber> is (what open tries).
    virtual std::string deviceOf(int portNumber) const = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    virtual std::size_t bytesWaiting() = 0;
    // Everything waiting; after a failure, once, the bytes the port held when it was lost.
    virtual std::string readAll() = 0;
    virtual bool write(std::string_view bytes) = 0;
    // A failure of the open port since the last call (the device went away), if any;
    // the port is closed by then.
    virtual std::optional<std::string> takeFailure() = 0;
    // The serial devices the system has now.
    virtual std::vector<SerialDevice> systemDevices() const = 0;
};

} // namespace lumetra
