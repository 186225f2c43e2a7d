#include "platform/posix/posix_paths.h"

#include "platform/files.h"

#include <cctype>
#include <filesystem>
#include <system_error>

namespace lumetra {

namespace fs = std::filesystem;

namespace {

std::string caseBlind(std::string_view name) {
    std::string folded(name);
    for (char& c : folded)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return folded;
}

} // namespace

std::string PosixPaths::matchComponent(const fs::path& folder, const std::string& name) const {
    std::error_code error;
    if (name == "." || name == ".." || fs::exists(folder / fileSystemPath(name), error))
        return name;
    const fs::path listed = folder.empty() ? fs::path(".") : folder;
    const std::string key = nativePathText(listed);
    const auto stamp = fileStamp(key);
    if (!stamp)
        return name;
    FolderIndex& index = m_folders[key];
    if (!stillCurrent(index.stamp, index.readAt, *stamp)) {
        index.stamp = *stamp;
        index.readAt = std::chrono::system_clock::now();
        index.names.clear();
        fs::directory_iterator it(listed, error);
        for (; !error && it != fs::directory_iterator(); it.increment(error)) {
            const std::string candidate = nativePathText(it->path().filename());
            index.names.emplace(caseBlind(candidate), candidate); // the first one stays
        }
    }
    const auto found = index.names.find(caseBlind(name));
    return found == index.names.end() ? name : found->second;
}

std::string posixExecutableFolder() {
    std::error_code error;
    const fs::path self = fs::read_symlink("/proc/self/exe", error);
    return error ? fs::current_path().string() : self.parent_path().string();
}

PosixPaths::PosixPaths(Environment environment, std::string executableFolder)
    : m_environment(std::move(environment)), m_executableFolder(std::move(executableFolder)) {}

std::string PosixPaths::home() const {
    return m_environment("HOME").value_or("/tmp");
}

std::string PosixPaths::windowsDirectory() const {
    if (auto dir = m_environment("LUMETRA_WINDOWS_DIR"))
        return *dir;
    if (auto config = m_environment("XDG_CONFIG_HOME"))
        return *config + "/lumetra";
    return home() + "/.config/lumetra";
}

std::string PosixPaths::programFolder() const {
    return m_environment("LUMETRA_PROGRAM_DIR").value_or(m_executableFolder);
}

std::string PosixPaths::map(std::string_view windowsPath) const {
    std::string path(windowsPath);
    for (char& c : path)
        if (c == '\\')
            c = '/';
    fs::path result;
    std::string rest = path;
    if (path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':') {
        const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(path[0])));
        const auto drive = m_environment(std::string("LUMETRA_DRIVE_") + letter);
        result = drive ? fileSystemPath(*drive)
                       : fileSystemPath(home()) / ".local/share/lumetra" /
                             (std::string("drive_") +
                              static_cast<char>(std::tolower(static_cast<unsigned char>(letter))));
        rest = path.substr(2);
    } else if (!path.empty() && path[0] == '/') {
        result = "/";
    }
    std::size_t start = 0;
    while (start <= rest.size()) {
        const auto end = rest.find('/', start);
        const std::string component =
            rest.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (!component.empty())
            result /= fileSystemPath(matchComponent(result, component));
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    std::string mapped = nativePathText(result);
    if (!path.empty() && path.back() == '/' && (mapped.empty() || mapped.back() != '/'))
        mapped += '/';
    return mapped;
}

} // namespace lumetra
