// lumetra-scan: writes scans to a serial device the way a barcode scanner does.
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <iostream>
#include <optional>
#include <poll.h>
#include <pty.h>
#include <string>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

constexpr const char* kHelp = R"(usage: lumetra-scan (--pty | --device PATH) [options] [SCAN ...]

Writes each SCAN to the device as one burst of bytes, as a scanner does.
Without SCAN arguments and without --file, scans are read from standard input,
one per line, and sent as they are typed.

  --pty            open a pseudo-terminal pair and print the device to hand to the
                   program (ORX.INI, section VOZEZIZO, key Com<n>Device)
  --device PATH    write to an existing serial device
  --file F         send each line of F as one scan
  --wait MS        wait before the first scan (time for the program to open the port)
  --pause MS       pause between scans (default 2500; a scan is framed after two quiet
                   poll intervals)
  --chunk N        cut each scan into chunks of N bytes ...
  --gap MS         ... with a gap of MS between them (default 50)
  --baud N         pace the bytes at the line's speed (10 bits per byte)
  --hold MS        keep the device open this long after the last scan (default 1000)
  --help           this text

Escapes in scans: \xNN any byte, \r, \n, \t, \\ a backslash.
What the program sends back (the "ACK" after each label) is printed to standard error.
)";

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
        if (c == '\r')
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
};

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

int parseInt(const char* text) {
    return std::atoi(text);
}

} // namespace

int main(int argc, char* argv[]) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto next = [&]() -> const char* {
            if (i + 1 >= argc) {
                std::cerr << "lumetra-scan: " << arg << " needs a value\n";
                std::exit(2);
            }
            return argv[++i];
        };
        if (arg == "--help" || arg == "-h") {
            std::cout << kHelp;
            return 0;
        } else if (arg == "--pty") {
            options.pty = true;
        } else if (arg == "--device") {
            options.device = next();
        } else if (arg == "--file") {
            options.file = next();
        } else if (arg == "--wait") {
            options.waitMs = parseInt(next());
        } else if (arg == "--pause") {
            options.pauseMs = parseInt(next());
        } else if (arg == "--chunk") {
            options.chunk = static_cast<std::size_t>(std::max(0, parseInt(next())));
        } else if (arg == "--gap") {
            options.gapMs = parseInt(next());
        } else if (arg == "--baud") {
            options.baud = parseInt(next());
        } else if (arg == "--hold") {
            options.holdMs = parseInt(next());
        } else if (!arg.empty() && arg.rfind("--", 0) == 0) {
            std::cerr << "lumetra-scan: unknown option " << arg << "\n" << kHelp;
            return 2;
        } else {
            options.scans.push_back(arg);
        }
    }
    if (options.pty == !options.device.empty()) {
        std::cerr << kHelp;
        return 2;
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

    std::vector<std::string> scans = options.scans;
    if (!options.file.empty()) {
        std::ifstream in(options.file, std::ios::binary);
        if (!in) {
            std::cerr << "lumetra-scan: cannot read " << options.file << "\n";
            return 1;
        }
        for (std::string line; std::getline(in, line);) {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            if (!line.empty())
                scans.push_back(line);
        }
    }
    sleepMs(options.waitMs);

    auto send = [&](const std::string& text) {
        const auto bytes = unescape(text);
        if (!bytes) {
            std::cerr << "lumetra-scan: bad escape in «" << text << "»\n";
            return false;
        }
        if (!sendScan(fd, *bytes, options)) {
            std::perror("lumetra-scan: write");
            return false;
        }
        std::cerr << "sent: " << visible(*bytes) << std::endl;
        return true;
    };

    int status = 0;
    if (!scans.empty() || !options.file.empty()) {
        for (std::size_t i = 0; i < scans.size(); ++i) {
            if (!send(scans[i]))
                status = 1;
            for (int waited = 0; waited < options.pauseMs && i + 1 < scans.size(); waited += 50) {
                drainReplies(fd);
                sleepMs(50);
            }
        }
    } else {
        for (std::string line; std::getline(std::cin, line);) {
            if (!line.empty() && !send(line))
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
