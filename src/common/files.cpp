#include "common/files.h"

#include "common/process.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>

namespace lumetra {

namespace {

constexpr std::string_view kTemporaryMark = ".lumetra-tmp-";

bool allOf(std::string_view text, std::string_view characters) {
    return !text.empty() && text.find_first_not_of(characters) == std::string_view::npos;
}

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
    char part[17];
    std::snprintf(part, sizeof part, "%08x%08x", static_cast<unsigned>(random()),
                  static_cast<unsigned>(random()));
    const std::filesystem::path folder = fileSystemPath(nativePath).parent_path();
    const std::string name =
        std::string(kTemporaryMark) + std::to_string(currentProcessId()) + "-" + part;
    return nativePathText(folder / fileSystemPath(name));
}

bool isTemporaryFileName(std::string_view fileName) {
    const auto mark = fileName.rfind(kTemporaryMark);
    if (mark == std::string_view::npos)
        return false;
    const std::string_view rest = fileName.substr(mark + kTemporaryMark.size());
    const auto dash = rest.find('-');
    if (dash == std::string_view::npos)
        return allOf(rest, "0123456789");
    return mark == 0 && allOf(rest.substr(0, dash), "0123456789") &&
           allOf(rest.substr(dash + 1), "0123456789abcdef");
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
