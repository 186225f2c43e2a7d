// lumetra-scan: writes scans to a serial device the way a barcode scanner does.
#include "command_line.h"
#include "platform/sim/deflate_codec.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <poll.h>
#include <pty.h>
#include <string>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

constexpr const char* kHelp =
    R"(Each SCAN goes to the device as one burst of bytes. Without SCAN arguments and
without --file, scans are read from standard input, one a line, and sent as typed.
A scan is framed by the program after two quiet poll intervals: keep --pause above them.
Built scans (--program, --list) follow the SCAN arguments and --file, in that order.
Escapes in scans: \xNN any byte, \r, \n, \t, \\ a backslash. What the program sends
back (the "ACK" after each label) is printed to standard error.
Exit status: 0 done, 1 the device failed, 2 wrong arguments or a bad escape.)";

std::optional<std::string> unescape(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out += text[i];
            continue;
        }
        if (++i >= text.size())
            return std::nullopt;
        switch (text[i]) {
        case 'r':
            out += '\r';
            break;
        case 'n':
            out += '\n';
            break;
        case 't':
            out += '\t';
            break;
        case '\\':
            out += '\\';
            break;
        case 'x': {
            const std::string hex = text.substr(i + 1, 2);
            char* end = nullptr;
            const long value = std::strtol(hex.c_str(), &end, 16);
            if (hex.size() != 2 || end != hex.c_str() + 2)
                return std::nullopt;
            out += static_cast<char>(value);
            i += 2;
            break;
        }
        default:
            return std::nullopt;
        }
    }
    return out;
}

std::string visible(const std::string& bytes) {
    std::string out;
    for (unsigned char c : bytes) {
        if (c == '\\')
            out += "\\\\";
        else if (c == '\r')
            out += "\\r";
        else if (c == '\n')
            out += "\\n";
        else if (c < 0x20 || c >= 0x7F) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        } else
            out += static_cast<char>(c);
    }
    return out;
}

struct Options {
    bool pty = false;
    std::string device;
    std::string file;
    int waitMs = 0;
    int pauseMs = 2500;
    std::size_t chunk = 0;
    int gapMs = 50;
    int baud = 0;
    int holdMs = 1000;
    std::vector<std::string> scans;
    std::vector<std::string> programs;
    std::vector<std::string> lists;
    bool prefix = false;
    bool compress = false;
    bool print = false;
};

std::string readBytes(const std::string& path, bool& ok) {
    std::ifstream in(path, std::ios::binary);
    ok = static_cast<bool>(in);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// FILE:NAME[:L=VALUE...] as "NAME^LVALUE...!<file>".
std::optional<std::string> programBarcode(const std::string& spec, bool prefix) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (std::size_t colon; (colon = spec.find(':', start)) != std::string::npos; start = colon + 1)
        parts.push_back(spec.substr(start, colon - start));
    parts.push_back(spec.substr(start));
    if (parts.size() < 2)
        return std::nullopt;
    bool ok = false;
    const std::string body = readBytes(parts[0], ok);
    if (!ok)
        return std::nullopt;
    std::string scan = prefix ? std::string("\xD1PRG0001") : std::string();
    scan += parts[1];
    for (std::size_t i = 2; i < parts.size(); ++i) {
        const auto equals = parts[i].find('=');
        if (equals != 1 || std::string("UVXYZABCDEFGI").find(parts[i][0]) == std::string::npos)
            return std::nullopt;
        scan += "^" + parts[i].substr(0, 1) + parts[i].substr(2);
    }
    return scan + "!" + body;
}

void sleepMs(int ms) {
    if (ms > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

void drainReplies(int fd) {
    if (fd < 0)
        return;
    char buffer[512];
    pollfd p{fd, POLLIN, 0};
    while (::poll(&p, 1, 0) > 0 && (p.revents & POLLIN)) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n <= 0)
            break;
        std::cerr << "received: " << visible(std::string(buffer, static_cast<std::size_t>(n)))
                  << std::endl;
    }
}

bool writeAll(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR || errno == EAGAIN) {
                sleepMs(1);
                continue;
            }
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool sendScan(int fd, const std::string& scan, const Options& options) {
    const std::size_t chunk = options.chunk == 0 ? scan.size() : options.chunk;
    for (std::size_t start = 0; start < scan.size(); start += chunk) {
        const std::string part = scan.substr(start, chunk);
        if (options.baud > 0) {
            for (char c : part) {
                if (!writeAll(fd, std::string(1, c)))
                    return false;
                std::this_thread::sleep_for(std::chrono::microseconds(10'000'000 / options.baud));
            }
        } else if (!writeAll(fd, part)) {
            return false;
        }
        if (start + chunk < scan.size())
            sleepMs(options.gapMs);
    }
    return true;
}

} // namespace

int main(int argc, char* argv[]) {
    Options options;
    CLI::App app{"Writes scans to a serial device the way a barcode scanner does.", "lumetra-scan"};
    app.set_version_flag("--version", "lumetra-scan " LUMETRA_VERSION);
    app.add_flag("--pty", options.pty,
                 "open a pseudo-terminal pair and print the device for Com1Device");
    app.add_option("--device", options.device, "write to an existing serial device");
    app.add_option("--file", options.file, "send each line of FILE as one scan (- for stdin)");
    app.add_option("--wait", options.waitMs, "wait MS before the first scan");
    app.add_option("--pause", options.pauseMs, "pause MS between scans (2500)");
    app.add_option("--chunk", options.chunk, "cut each scan into chunks of N bytes");
    app.add_option("--gap", options.gapMs, "gap MS between chunks (50)");
    app.add_option("--baud", options.baud, "pace the bytes at N baud (10 bits a byte)");
    app.add_option("--hold", options.holdMs, "keep the device open MS after the last scan (1000)");
    app.add_flag("--print", options.print, "print the scans (escaped) instead of sending them");
    app.add_option("--program", options.programs,
                   "a program barcode FILE:NAME[:L=VALUE...] (header letters UVXYZABCDEFGI)")
        ->expected(1)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    app.add_flag("--prefix", options.prefix, "program barcodes carry the 8-character prefix");
    app.add_option("--list", options.lists, "a list-load barcode for NAME.LST")
        ->expected(1)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    app.add_flag("--compress", options.compress, "send every scan compressed");
    app.add_option("scans", options.scans, "scans; \\xNN, \\r, \\n, \\t and \\\\ send any byte");
    app.footer(kHelp);
    if (const auto status = lumetra::parseCommandLine(app, argc, argv))
        return *status;
    if ((options.pty ? 1 : 0) + (options.device.empty() ? 0 : 1) + (options.print ? 1 : 0) != 1) {
        std::cerr << "lumetra-scan: exactly one of --pty, --device and --print (see --help)\n";
        return 2;
    }

    // Scans as bytes: the arguments and the file's lines are unescaped, built scans are not.
    std::vector<std::string> bytes;
    for (const std::string& scan : options.scans) {
        const auto raw = unescape(scan);
        if (!raw) {
            std::cerr << "lumetra-scan: bad escape in \"" << scan << "\"\n";
            return 2;
        }
        bytes.push_back(*raw);
    }
    if (!options.file.empty()) {
        std::ifstream file;
        if (options.file != "-") {
            file.open(options.file, std::ios::binary);
            if (!file) {
                std::cerr << "lumetra-scan: cannot read " << options.file << "\n";
                return 1;
            }
        }
        std::istream& in = options.file == "-" ? std::cin : file;
        int number = 0;
        for (std::string line; std::getline(in, line);) {
            ++number;
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            const auto raw = unescape(line);
            if (!raw) {
                std::cerr << "lumetra-scan: " << options.file << ":" << number
                          << ": bad escape in \"" << line << "\"\n";
                return 2;
            }
            if (!line.empty())
                bytes.push_back(*raw);
        }
    }
    for (const std::string& spec : options.programs) {
        const auto scan = programBarcode(spec, options.prefix);
        if (!scan) {
            std::cerr
                << "lumetra-scan: --program wants FILE:NAME[:L=VALUE...] with a readable FILE\n";
            return 2;
        }
        bytes.push_back(*scan);
    }
    for (const std::string& name : options.lists)
        bytes.push_back("*%00" + name + "^%");
    if (options.compress)
        for (std::string& scan : bytes)
            scan = lumetra::compressedScan(scan);
    if (options.print) {
        for (const std::string& scan : bytes)
            std::cout << visible(scan) << "\n";
        return 0;
    }

    int fd = -1;
    int keepOpen = -1;
    if (options.pty) {
        int slave = -1;
        char name[256] = {};
        if (::openpty(&fd, &slave, name, nullptr, nullptr) != 0) {
            std::perror("lumetra-scan: openpty");
            return 1;
        }
        termios raw{};
        ::tcgetattr(slave, &raw);
        ::cfmakeraw(&raw);
        ::tcsetattr(slave, TCSANOW, &raw);
        keepOpen = slave; // keeps what is sent before the program opens the device
        std::cout << name << std::endl;
    } else {
        fd = ::open(options.device.c_str(), O_RDWR | O_NOCTTY);
        if (fd < 0) {
            std::perror(("lumetra-scan: " + options.device).c_str());
            return 1;
        }
    }

    sleepMs(options.waitMs);

    auto send = [&](const std::string& scan) {
        if (!sendScan(fd, scan, options)) {
            std::perror("lumetra-scan: write");
            return false;
        }
        std::cerr << "sent: " << visible(scan) << std::endl;
        return true;
    };

    int status = 0;
    if (!bytes.empty() || !options.file.empty()) {
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            if (!send(bytes[i]))
                status = 1;
            for (int waited = 0; waited < options.pauseMs && i + 1 < bytes.size(); waited += 50) {
                drainReplies(fd);
                sleepMs(50);
            }
        }
    } else {
        for (std::string line; std::getline(std::cin, line);) {
            const auto raw = unescape(line);
            if (!raw)
                std::cerr << "lumetra-scan: bad escape in \"" << line << "\" (not sent)\n";
            else if (!line.empty() &&
                     !send(options.compress ? lumetra::compressedScan(*raw) : *raw))
                status = 1;
            drainReplies(fd);
        }
    }
    for (int waited = 0; waited < options.holdMs; waited += 50) {
        drainReplies(fd);
        sleepMs(50);
    }
    drainReplies(fd);
    if (keepOpen >= 0)
        ::close(keepOpen);
    ::close(fd);
    return status;
}
