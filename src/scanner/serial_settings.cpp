#include "scanner/serial_settings.h"

#include "common/field_splitter.h"
#include "common/text.h"

#include <cmath>

namespace lumetra {

namespace {

std::optional<int> wholeNumber(std::string_view text) {
    if (text.empty() || text.size() > 9)
        return std::nullopt;
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

std::int32_t valueOf(std::string_view text) {
    const double value = leadingNumber(text);
    if (value > 2147483647.0 || value < -2147483648.0)
        return 0;
    return static_cast<std::int32_t>(std::lround(value));
}

} // namespace

std::optional<LineSettings> parseLineSettings(std::string_view text) {
    const FieldSplitter fields(",", text);
    if (fields.count() != 4)
        return std::nullopt;
    const std::string parts[4] = {fields.field(1), fields.field(2), fields.field(3),
                                  fields.field(4)};
    const auto baud = wholeNumber(parts[0]);
    const auto data = wholeNumber(parts[2]);
    if (!baud || *baud <= 0 || parts[1].size() != 1 || !data || *data < 4 || *data > 8)
        return std::nullopt;
    const auto stopNumber = wholeNumber(parts[3]);
    StopBits stop = StopBits::OneAndHalf;
    if (stopNumber == 1)
        stop = StopBits::One;
    else if (stopNumber == 2)
        stop = StopBits::Two;
    else if (parts[3] != "1.5")
        return std::nullopt;
    const char parity = toUpper(parts[1])[0];
    if (parity != 'N' && parity != 'O' && parity != 'E' && parity != 'M' && parity != 'S')
        return std::nullopt;
    return LineSettings{*baud, parity, *data, stop};
}

std::string scannerDeviceKey(int port) {
    return "Com" + std::to_string(port) + "Device";
}

bool isScannerDeviceKey(std::string_view key) {
    const std::string upper = toUpper(key);
    if (upper.size() <= 9 || upper.substr(0, 3) != "COM" ||
        upper.substr(upper.size() - 6) != "DEVICE")
        return false;
    const std::string_view digits = std::string_view(upper).substr(3, upper.size() - 9);
    return wholeNumber(digits).has_value();
}

std::string portCaption(int port, std::string_view settings) {
    return "COM" + std::to_string(port) + ":" + std::string(settings);
}

SerialDialogValues loadDialogValues(std::int16_t port, std::string_view settings) {
    SerialDialogValues values;
    // The working port is set only by selecting a port option; a port that no option
    // shows leaves it at 0.
    if (port >= kFirstDialogPort && port <= kLastDialogPort)
        values.port = port;
    const auto comma = settings.find(',');
    values.baudRate = valueOf(settings.substr(0, comma));
    const std::string_view rest =
        comma == std::string_view::npos ? std::string_view{} : settings.substr(comma + 1);
    values.parity = std::string(rest.substr(0, 1));
    values.dataBits = static_cast<std::int16_t>(rest.size() >= 3 ? valueOf(rest.substr(2, 1)) : 0);
    values.stopBits = static_cast<std::int16_t>(rest.size() >= 5 ? valueOf(rest.substr(4, 1)) : 0);
    return values;
}

std::string composeSettings(const SerialDialogValues& values) {
    return std::to_string(values.baudRate) + "," + values.parity + "," +
           std::to_string(values.dataBits) + "," + std::to_string(values.stopBits);
}

} // namespace lumetra
