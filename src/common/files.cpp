#include "common/files.h"

#include <filesystem>
#include <fstream>
#include <iterator>

namespace lumetra {

std::optional<std::string> readWholeFile(const std::string& nativePath) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(nativePath, error))
        return std::nullopt;
    std::ifstream in(nativePath, std::ios::binary);
    if (!in)
        return std::nullopt;
    try {
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (in.bad())
            return std::nullopt;
        return bytes;
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

} // namespace lumetra
