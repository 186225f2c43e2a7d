#pragma once

#include "common/environment.h"
#include "platform/files.h"
#include "platform/paths.h"

#include <map>
#include <unordered_map>

namespace lumetra {

class PosixPaths final : public Paths {
public:
    // `executableFolder` is the program folder unless LUMETRA_PROGRAM_DIR names another.
    PosixPaths(Environment environment, std::string executableFolder);

    std::string windowsDirectory() const override;
    std::string programFolder() const override;
    std::string map(std::string_view windowsPath) const override;

private:
    // A folder's names by their case-blind form, kept while the folder is unchanged, so a
    // name missing with its exact case costs one look at the folder, not a listing.
    struct FolderIndex {
        FileStamp stamp;
        std::chrono::system_clock::time_point readAt;
        std::unordered_map<std::string, std::string> names;
    };

    std::string home() const;
    // The entry of `folder` named `name`, exactly when it exists, else ignoring case.
    std::string matchComponent(const std::filesystem::path& folder, const std::string& name) const;

    Environment m_environment;
    std::string m_executableFolder;
    mutable std::map<std::string, FolderIndex> m_folders;
};

// The folder of the running executable.
std::string posixExecutableFolder();

} // namespace lumetra
