#include "common/safe_name.h"

#include "common/temporary_name.h"
#include "common/text.h"

#include <array>

namespace lumetra {

bool isReservedDeviceName(std::string_view component) {
    static constexpr std::array<std::string_view, 4> kDevices = {"CON", "PRN", "AUX", "NUL"};
    static constexpr std::array<std::string_view, 2> kNumbered = {"COM", "LPT"};
    // Windows takes the name before the first dot, without the blanks before it.
    const std::string stem = toUpper(trim(component.substr(0, component.find('.'))));
    for (std::string_view device : kDevices)
        if (stem == device)
            return true;
    for (std::string_view device : kNumbered)
        if (stem.size() == 4 && startsWith(stem, device) && stem[3] >= '1' && stem[3] <= '9')
            return true;
    return false;
}

bool isSafeName(std::string_view name) {
    for (char c : name) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x20 || b == 0x7F)
            return false;
    }
    if (!name.empty() && (name.front() == '\\' || name.front() == '/'))
        return false;
    if (name.find(':') != std::string_view::npos)
        return false;
    std::size_t start = 0;
    while (start <= name.size()) {
        const auto end = name.find_first_of("\\/", start);
        const std::string_view component = name.substr(
            start, end == std::string_view::npos ? std::string_view::npos : end - start);
        if (trim(component) == ".." || isReservedDeviceName(component))
            return false;
        if (end == std::string_view::npos)
            break;
        start = end + 1;
    }
    return true;
}

std::string programFileName(std::string_view programName) {
    const auto last = programName.find_last_not_of(" .");
    return std::string(programName.substr(0, last == std::string_view::npos ? 0 : last + 1));
}

bool isUsableProgramName(std::string_view programName) {
    const std::string fileName = programFileName(programName);
    return isSafeName(programName) && programName.find(';') == std::string_view::npos &&
           fileName.find_first_not_of(' ') != std::string::npos &&
           fileName.size() <= kLongestFileName && !isTemporaryFileName(fileName);
}

bool hasCncSuffix(std::string_view programName) {
    return programName.size() >= kCncSuffix.size() &&
           toUpper(programName.substr(programName.size() - kCncSuffix.size())) == kCncSuffix;
}

bool isUsableListName(std::string_view listName) {
    return isSafeName(listName) && !trim(listName).empty();
}

} // namespace lumetra
