// Where things live: the Windows directory, the program folder, and the one mapping
// from a Windows path that the program builds to the file that is opened.
#pragma once

#include <string>
#include <string_view>

namespace lumetra {

class Paths {
public:
    virtual ~Paths() = default;
    virtual std::string windowsDirectory() const = 0;
    virtual std::string programFolder() const = 0;
    // Backslashes separate; a drive letter maps to its drive folder; components are
    // matched ignoring case when the exact one does not exist.
    virtual std::string map(std::string_view windowsPath) const = 0;
};

} // namespace lumetra
