// lumetra-ini: the program's own profile functions from the shell.
//   get FILE SECTION KEY [DEFAULT] [--size N]   what a buffer of N (128) characters receives
//   getint FILE SECTION KEY DEFAULT             the unsigned integer value
//   set FILE SECTION KEY VALUE                  writes the value exactly as given
//   delete FILE SECTION [KEY]                   removes a key, or the whole section
#include "command_line.h"
#include "platform/portable/portable_profile.h"
#include "platform/posix/posix_paths.h"

#include <cstdint>
#include <cstdio>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

int main(int argc, char* argv[]) {
    CLI::App app{"The program's own INI profile functions, as the Windows ones behave.",
                 "lumetra-ini"};
    app.set_version_flag("--version", "lumetra-ini " LUMETRA_VERSION);
    app.require_subcommand(1);
    std::string file, section, key, value;
    std::optional<std::string> defaultText;
    std::int64_t defaultNumber = 0;
    unsigned size = 128;
    CLI::App* get = app.add_subcommand("get", "print what a buffer of --size characters receives");
    CLI::App* getint = app.add_subcommand("getint", "print the value as an unsigned integer");
    CLI::App* set = app.add_subcommand("set", "write VALUE exactly as given");
    CLI::App* remove = app.add_subcommand("delete", "remove KEY, or the whole SECTION");
    for (CLI::App* command : {get, getint, set, remove}) {
        command->add_option("FILE", file, "the INI file; a bare name is in the Windows directory")
            ->required();
        command->add_option("SECTION", section)->required();
    }
    get->add_option("KEY", key)->required();
    get->add_option("DEFAULT", defaultText);
    get->add_option("--size", size, "buffer size (128)")->check(CLI::Range(0u, 65535u));
    getint->add_option("KEY", key)->required();
    getint->add_option("DEFAULT", defaultNumber)->required();
    set->add_option("KEY", key)->required();
    set->add_option("VALUE", value)->required();
    std::optional<std::string> keyToRemove;
    remove->add_option("KEY", keyToRemove);
    if (const auto status = lumetra::parseCommandLine(app, argc, argv))
        return *status;
    const lumetra::PosixPaths paths(lumetra::processEnvironment, lumetra::posixExecutableFolder());
    lumetra::PortableProfile profile(paths.windowsDirectory());
    const auto written = [&](bool ok) {
        if (!ok)
            std::cerr << "lumetra-ini: " << file << " not written: " << profile.lastWriteError()
                      << '\n';
        return ok ? 0 : 1;
    };
    if (get->parsed()) {
        const std::string read = profile.readString(
            file, section, key,
            defaultText ? std::optional<std::string_view>(*defaultText) : std::nullopt, size);
        std::fwrite(read.data(), 1, read.size(), stdout);
        std::fputc('\n', stdout);
        return 0;
    }
    if (getint->parsed()) {
        std::cout << profile.readInt(file, section, key, static_cast<std::int32_t>(defaultNumber))
                  << '\n';
        return 0;
    }
    if (set->parsed())
        return written(profile.writeString(file, section, key, value));
    return written(profile.writeString(
        file, section, keyToRemove ? std::optional<std::string_view>(*keyToRemove) : std::nullopt,
        std::nullopt));
}
