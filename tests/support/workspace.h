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

// The work-list lines the host simulator received, from its journal.
inline std::vector<std::string> linesAdded(const std::string& journalPath) {
    std::vector<std::string> lines;
    for (const std::string& entry : journalMembers(journalPath))
        if (entry.find("\tAddLine\t") != std::string::npos)
            lines.push_back(entry.substr(entry.find("\tAddLine\t") + 9));
    return lines;
}

// How often `needle` stands in `text`.
inline std::size_t occurrences(const std::string& text, const std::string& needle) {
    std::size_t n = 0;
    for (auto at = text.find(needle); at != std::string::npos; at = text.find(needle, at + 1))
        ++n;
    return n;
}

} // namespace lumetra::testing
