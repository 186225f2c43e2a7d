#include "common/files.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <unistd.h>

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

bool replaceFile(const std::string& nativePath, const std::string& bytes) {
    const std::string temporary = nativePath + ".tmp-" + std::to_string(::getpid());
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.close();
        std::error_code error;
        if (out && (std::filesystem::rename(temporary, nativePath, error), !error))
            return true;
    }
    std::error_code ignored;
    std::filesystem::remove(temporary, ignored);
    return false;
}

} // namespace lumetra
