#include "common/safe_name.h"

#include "common/files.h"

namespace lumetra {

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
        std::string_view component = name.substr(
            start, end == std::string_view::npos ? std::string_view::npos : end - start);
        while (!component.empty() && component.back() == ' ')
            component.remove_suffix(1);
        while (!component.empty() && component.front() == ' ')
            component.remove_prefix(1);
        if (component == "..")
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
           fileName.find_first_not_of(' ') != std::string::npos && !isTemporaryFileName(fileName);
}

} // namespace lumetra
