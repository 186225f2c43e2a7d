// lumetra-ini: the program's own profile functions from the shell.
//   get FILE SECTION KEY [DEFAULT] [--size N]   what a buffer of N (128) characters receives
//   getint FILE SECTION KEY DEFAULT             the unsigned integer value
//   set FILE SECTION KEY VALUE                  writes the value exactly as given
//   delete FILE SECTION [KEY]                   removes a key, or the whole section
#include "platform/portable/portable_profile.h"
#include "platform/posix/posix_paths.h"

#include <charconv>
#include <cstdio>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

namespace {

int usage() {
    std::cerr << "usage: lumetra-ini get FILE SECTION KEY [DEFAULT] [--size N]\n"
                 "       lumetra-ini getint FILE SECTION KEY DEFAULT\n"
                 "       lumetra-ini set FILE SECTION KEY VALUE\n"
                 "       lumetra-ini delete FILE SECTION [KEY]\n";
    return 2;
}

template <typename Number> std::optional<Number> parseNumber(const std::string& text) {
    Number value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

} // namespace

int main(int argc, char* argv[]) {
    std::vector<std::string> args(argv + 1, argv + argc);
    unsigned size = 128;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--size") {
            if (i + 1 >= args.size())
                return usage();
            const auto parsed = parseNumber<unsigned>(args[i + 1]);
            if (!parsed)
                return usage();
            size = *parsed;
            args.erase(args.begin() + static_cast<std::ptrdiff_t>(i),
                       args.begin() + static_cast<std::ptrdiff_t>(i + 2));
            break;
        }
    }
    if (args.size() < 3)
        return usage();
    const std::string& command = args[0];
    const std::string& file = args[1];
    const std::string& section = args[2];
    const lumetra::PosixPaths paths(lumetra::processEnvironment, lumetra::executableFolder());
    lumetra::PortableProfile profile(paths.windowsDirectory());

    if (command == "get" && (args.size() == 4 || args.size() == 5)) {
        const std::optional<std::string_view> defaultValue =
            args.size() == 5 ? std::optional<std::string_view>(args[4]) : std::nullopt;
        const std::string value = profile.readString(file, section, args[3], defaultValue, size);
        std::fwrite(value.data(), 1, value.size(), stdout);
        std::fputc('\n', stdout);
        return 0;
    }
    if (command == "getint" && args.size() == 5) {
        const auto defaultValue = parseNumber<std::int64_t>(args[4]);
        if (!defaultValue)
            return usage();
        std::cout << profile.readInt(file, section, args[3],
                                     static_cast<std::int32_t>(*defaultValue))
                  << '\n';
        return 0;
    }
    const auto written = [&](bool ok) {
        if (!ok)
            std::cerr << "lumetra-ini: " << file << " not written: " << profile.lastWriteError()
                      << '\n';
        return ok ? 0 : 1;
    };
    if (command == "set" && args.size() == 5)
        return written(profile.writeString(file, section, args[3], args[4]));
    if (command == "delete" && (args.size() == 3 || args.size() == 4)) {
        const std::optional<std::string_view> key =
            args.size() == 4 ? std::optional<std::string_view>(args[3]) : std::nullopt;
        return written(profile.writeString(file, section, key, std::nullopt));
    }
    return usage();
}
