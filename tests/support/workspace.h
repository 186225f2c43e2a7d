// Helpers for tests that work on real files: an environment whose drive C is a
// temporary folder, and the host journal read back without its time column.
#pragma once

#include "platform/posix/posix_paths.h"
#include "support/temp_dir.h"

#include <sstream>
#include <vector>

namespace lumetra::testing {

// Drive C (and the program folder, when given) inside `dir`.
inline Environment driveEnvironment(const TempDir& dir, std::string programFolder = {}) {
    return
        [root = dir.str(), programFolder](const std::string& name) -> std::optional<std::string> {
            if (name == "LUMETRA_DRIVE_C")
                return root;
            if (name == "LUMETRA_PROGRAM_DIR" && !programFolder.empty())
                return programFolder;
            return std::nullopt;
        };
}

// Each journal line as "<object>\t<member>[\t<argument>...]".
inline std::vector<std::string> journalMembers(const std::string& path) {
    std::vector<std::string> lines;
    std::istringstream in(readFile(path));
    for (std::string line; std::getline(in, line);)
        lines.push_back(line.substr(line.find('\t') + 1));
    return lines;
}

} // namespace lumetra::testing
