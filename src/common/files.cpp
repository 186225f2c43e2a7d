#include "common/files.h"

#include "common/process.h"

#include <cstdlib>
#include <fstream>
#include <iterator>

namespace lumetra {

namespace {

constexpr std::string_view kTemporaryMark = ".lumetra-tmp-";

} // namespace

std::optional<std::string> readWholeFile(const std::string& nativePath) {
    const std::filesystem::path path = fileSystemPath(nativePath);
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        return std::nullopt;
    std::ifstream in(path, std::ios::binary);
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

std::string temporaryFileName(const std::string& nativePath) {
    return nativePath + std::string(kTemporaryMark) + std::to_string(currentProcessId());
}

bool isTemporaryFileName(std::string_view fileName) {
    const auto mark = fileName.rfind(kTemporaryMark);
    if (mark == std::string_view::npos)
        return false;
    const std::string_view pid = fileName.substr(mark + kTemporaryMark.size());
    return !pid.empty() && pid.find_first_not_of("0123456789") == std::string_view::npos;
}

std::vector<std::string> removeStaleTemporaryFiles(const std::string& nativeFolder) {
    std::vector<std::string> removed;
    std::error_code error;
    for (const auto& entry :
         std::filesystem::directory_iterator(fileSystemPath(nativeFolder), error)) {
        const std::string name = nativePathText(entry.path().filename());
        if (!isTemporaryFileName(name))
            continue;
        const long pid = std::strtol(
            name.c_str() + name.rfind(kTemporaryMark) + kTemporaryMark.size(), nullptr, 10);
        std::error_code ignored;
        if (!processRuns(pid) && std::filesystem::remove(entry.path(), ignored))
            removed.push_back(name);
    }
    return removed;
}

} // namespace lumetra
