#include "platform/files.h"

#include "common/temporary_name.h"
#include "platform/process.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>

namespace lumetra {

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

bool leadsOutsideItsFolder(const std::string& nativePath) {
    const std::filesystem::path path = fileSystemPath(nativePath);
    std::error_code error;
    if (!std::filesystem::is_symlink(std::filesystem::symlink_status(path, error)))
        return false;
    const auto target = std::filesystem::weakly_canonical(path, error);
    const auto folder = std::filesystem::weakly_canonical(path.parent_path(), error);
    return error || target.parent_path() != folder;
}

std::string temporaryPathBeside(const std::string& nativePath) {
    // Drawn from the system's source of randomness each time: a local user who sees our
    // process number still cannot tell the name in advance.
    static std::random_device random;
    const std::uint64_t part = (static_cast<std::uint64_t>(random()) << 32) | random();
    const std::filesystem::path folder = fileSystemPath(nativePath).parent_path();
    return nativePathText(folder / fileSystemPath(temporaryFileName(currentProcessId(), part)));
}

std::vector<std::string> removeStaleTemporaryFiles(const std::string& nativeFolder) {
    std::vector<std::string> removed;
    std::error_code error;
    for (const auto& entry :
         std::filesystem::directory_iterator(fileSystemPath(nativeFolder), error)) {
        const std::string name = nativePathText(entry.path().filename());
        const auto process = temporaryFileProcess(name);
        std::error_code ignored;
        if (process && !processRuns(*process) && std::filesystem::remove(entry.path(), ignored))
            removed.push_back(name);
    }
    return removed;
}

} // namespace lumetra
