// The companion tools' common handling of their command line: --help and --version on
// standard output with status 0, a wrong argument as one line on standard error with
// status 2.
#pragma once

#include <CLI/CLI.hpp>
#include <iostream>
#include <optional>

namespace lumetra {

// None when the tool goes on; otherwise the exit status it ends with.
inline std::optional<int> parseCommandLine(CLI::App& app, int argc, char** argv) {
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        std::cout << app.help();
        return 0;
    } catch (const CLI::CallForVersion&) {
        std::cout << app.version() << "\n";
        return 0;
    } catch (const CLI::ParseError& error) {
        std::cerr << app.get_name() << ": " << error.what() << " (see --help)\n";
        return 2;
    }
    return std::nullopt;
}

} // namespace lumetra
