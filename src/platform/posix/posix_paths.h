#pragma once

#include "platform/paths.h"

#include <functional>
#include <optional>

namespace lumetra {

using Environment = std::function<std::optional<std::string>(const std::string&)>;

// The process environment.
std::optional<std::string> processEnvironment(const std::string& name);

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
std::string executableFolder();

} // namespace lumetra
