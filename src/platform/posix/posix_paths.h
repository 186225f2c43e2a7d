#pragma once

#include "common/environment.h"
#include "platform/paths.h"

namespace lumetra {

class PosixPaths final : public Paths {
public:
    // `executableFolder` is the program folder unless LUMETRA_PROGRAM_DIR names another.
    PosixPaths(Environment environment, std::string executableFolder);

    std::string windowsDirectory() const override;
    std::string programFolder() const override;
    std::string map(std::string_view windowsPath) const override;

private:
    std::string home() const;
    Environment m_environment;
    std::string m_executableFolder;
};

// The folder of the running executable.
std::string posixExecutableFolder();

} // namespace lumetra
