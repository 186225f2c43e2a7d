// The serial settings text ("9600,N,8,1") and the settings dialog's working values.
#pragma once

#include "platform/serial_port.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace lumetra {

// The line settings of a settings text, or none when the port would refuse it.
std::optional<LineSettings> parseLineSettings(std::string_view text);

// What a valid settings text looks like, for the integrator who wrote one that is not.
inline constexpr std::string_view kLineSettingsForm =
    "a valid value looks like 9600,N,8,1: a baud rate, the parity N, O or E (M, S), "
    "4 to 8 data bits and 1, 1.5 or 2 stop bits, separated by commas without spaces";

// The key naming the device of COM<port> ("Com1Device"), and whether a key is one of them.
std::string scannerDeviceKey(int port);
bool isScannerDeviceKey(std::string_view key);

// "COM<port>:<settings>"
std::string portCaption(int port, std::string_view settings);

// The ports the dialog offers as options: Com1 to Com4.
inline constexpr std::int16_t kFirstDialogPort = 1;
inline constexpr std::int16_t kLastDialogPort = 4;

// The working values of frmSettings; everything starts at 0 or empty.
struct SerialDialogValues {
    std::int16_t port = 0;
    std::int32_t baudRate = 0;
    std::string parity;
    std::int16_t dataBits = 0;
    std::int16_t stopBits = 0;
    // The device the selected port maps to (Com<n>Device); empty leaves the mapping.
    std::string device;
    bool operator==(const SerialDialogValues&) const = default;
};

// The dialog's load: the port when an option shows it (else 0), the baud rate before the first ",",
// and parity, data bits and stop bits from the 1st, 3rd and 5th character after it.
SerialDialogValues loadDialogValues(std::int16_t port, std::string_view settings);

// The dialog's OK: "<baud>,<parity>,<data>,<stop>".
std::string composeSettings(const SerialDialogValues& values);

} // namespace lumetra
