// A pseudo-terminal pair in raw mode: the test writes into the master as a scanner
// would; the program opens the slave's path as its serial device.
#pragma once

#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <string>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace lumetra::testing {

class PtyPair {
public:
    PtyPair() {
        char name[256] = {};
        if (::openpty(&m_master, &m_slave, name, nullptr, nullptr) == 0) {
            termios raw{};
            ::tcgetattr(m_slave, &raw);
            ::cfmakeraw(&raw);
            ::tcsetattr(m_slave, TCSANOW, &raw);
            m_path = name;
        }
    }
    ~PtyPair() {
        closeSlave();
        if (m_master >= 0)
            ::close(m_master);
    }
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    bool valid() const { return !m_path.empty(); }
    const std::string& path() const { return m_path; }
    // Our own hold on the slave keeps bytes sent before the program opens the device.
    void closeSlave() {
        if (m_slave >= 0)
            ::close(m_slave);
        m_slave = -1;
    }
    void closeMaster() {
        if (m_master >= 0)
            ::close(m_master);
        m_master = -1;
    }

    void send(const std::string& bytes) const {
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(m_master, bytes.data() + done, bytes.size() - done);
            if (n <= 0)
                return;
            done += static_cast<std::size_t>(n);
        }
    }

    // Everything the program wrote to its port within the time.
    std::string receive(std::chrono::milliseconds timeout, std::size_t until = 1) {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (m_received.size() < until && std::chrono::steady_clock::now() < deadline) {
            pollfd p{m_master, POLLIN, 0};
            if (::poll(&p, 1, 20) > 0 && (p.revents & POLLIN)) {
                char buffer[256];
                const ssize_t n = ::read(m_master, buffer, sizeof buffer);
                if (n > 0)
                    m_received.append(buffer, static_cast<std::size_t>(n));
            }
        }
        return m_received;
    }

private:
    int m_master = -1;
    int m_slave = -1;
    std::string m_path;
    std::string m_received;
};

} // namespace lumetra::testing
