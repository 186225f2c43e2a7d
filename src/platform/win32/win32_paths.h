#pragma once

#include "common/environment.h"
#include "platform/paths.h"

namespace lumetra {

// Windows paths as they are: the Windows directory the system reports, and the program
// folder (the executable's, unless LUMETRA_PROGRAM_DIR names another).
class Win32Paths final : public Paths {
public:
    Win32Paths(Environment environment, std::string executableFolder);

    std::string windowsDirectory() const override;
    std::string programFolder() const override;
    std::string map(std::string_view windowsPath) const override;

private:
    Environment m_environment;
    std::string m_executableFolder;
};

// The folder of the running executable, without a trailing backslash, as code-page text.
std::string win32ExecutableFolder();

} // namespace lumetra
