#include "DisplayRelay.h"

#include "GameData.h"

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <sys/un.h>
#include <unistd.h>

namespace e2e {
namespace {

constexpr int firstDisplayNumber = 300;
constexpr int lastDisplayNumber = 999;
// How soon a call is taken up.
constexpr int lookEveryMs = 5;
// A side that takes nothing for this long has stopped for good.
constexpr int sendTimeoutSeconds = 5;

std::uint32_t number(const unsigned char* bytes, int size, bool bigEndian) {
    std::uint32_t value = 0;
    for (int i = 0; i < size; ++i) {
        value = value << 8 | bytes[bigEndian ? i : size - 1 - i];
    }
    return value;
}

std::size_t padded(std::size_t length) {
    return (length + 3) / 4 * 4;
}

// An X display's socket in Linux's abstract namespace, where the X libraries look first.
int displaySocket(const std::string& number, bool listen) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string path = "/tmp/.X11-unix/X" + number;
    std::memcpy(address.sun_path + 1, path.data(), path.size());
    const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + path.size());
    const auto* name = reinterpret_cast<const sockaddr*>(&address);
    int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listen ? ::bind(fd, name, length) != 0 || ::listen(fd, 8) != 0 : ::connect(fd, name, length) != 0) {
        ::close(fd);
        fd = -1;
    }
    return fd;
}

bool sendAll(int fd, const unsigned char* bytes, std::size_t size) {
    while (size > 0) {
        const ssize_t sent = ::send(fd, bytes, size, MSG_NOSIGNAL);
        if (sent <= 0 && errno != EINTR) {
            return false;
        }
        bytes += std::max<ssize_t>(sent, 0);
        size -= static_cast<std::size_t>(std::max<ssize_t>(sent, 0));
    }
    return true;
}

void closeFd(int& fd) {
    if (fd >= 0) {
        ::close(fd);
        fd = -1;
    }
}

} // namespace

DisplayRelay::DisplayRelay() {
    for (int number = firstDisplayNumber; number <= lastDisplayNumber && listening < 0; ++number) {
        // Taken as an X server takes its display, so that no server started meanwhile takes it too.
        const std::string lock = "/tmp/.X" + std::to_string(number) + "-lock";
        const int lockFd = ::open(lock.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0444);
        if (lockFd < 0) {
            continue;
        }
        char owner[16];
        const int length = std::snprintf(owner, sizeof owner, "%10d\n", static_cast<int>(::getpid()));
        const bool written = ::write(lockFd, owner, static_cast<std::size_t>(length)) == length;
        ::close(lockFd);
        listening = written ? displaySocket(std::to_string(number), true) : -1;
        if (listening >= 0) {
            name = ":" + std::to_string(number);
            lockFile = lock;
        } else {
            ::unlink(lock.c_str());
        }
    }
    if (listening < 0) {
        fail("a display relay found no display number to take");
    }
    worker = std::thread([this] { relay(); });
}

DisplayRelay::~DisplayRelay() {
    quitting = true;
    worker.join();
    for (Connection& connection : connections) {
        closeFd(connection.game);
        closeFd(connection.server);
    }
    closeFd(listening);
    ::unlink(lockFile.c_str());
}

std::optional<ThreadTimes> DisplayRelay::broken() const {
    std::lock_guard guard(lock);
    return brokenAt;
}

void DisplayRelay::relay() {
    std::vector<pollfd> watched;
    while (!quitting) {
        if (stopAsked && reading) {
            breakAll(false);
        }
        // The listening socket, then each connection's server side and game side.
        watched.assign(1, pollfd{listening, POLLIN, 0});
        for (const Connection& connection : connections) {
            watched.push_back(pollfd{connection.server, POLLIN, 0});
            watched.push_back(pollfd{reading ? connection.game : -1, POLLIN, 0});
        }
        if (::poll(watched.data(), watched.size(), lookEveryMs) <= 0) {
            continue;
        }
        bool breakNow = false;
        for (std::size_t i = 0; i < connections.size() && !breakNow; ++i) {
            Connection& connection = connections[i];
            bool open = true;
            if (watched[2 * i + 1].revents != 0) {
                unsigned char bytes[65536];
                const ssize_t got = ::read(connection.server, bytes, sizeof bytes);
                open = got > 0 && sendAll(connection.game, bytes, static_cast<std::size_t>(got));
            }
            if (open && watched[2 * i + 2].revents != 0) {
                open = passOnFromGame(connection, breakNow);
            }
            if (!open) {
                closeFd(connection.game);
                closeFd(connection.server);
            }
        }
        std::erase_if(connections, [](const Connection& connection) { return connection.server < 0; });
        if (breakNow) {
            breakAll(true);
        } else if (watched[0].revents != 0) {
            accept();
        }
    }
}

void DisplayRelay::accept() {
    Connection connection;
    connection.game = ::accept4(listening, nullptr, nullptr, SOCK_CLOEXEC);
    const char* display = std::getenv("DISPLAY");
    connection.server = display != nullptr ? displaySocket(std::string(display).substr(1), false) : -1;
    const timeval timeout{sendTimeoutSeconds, 0};
    ucred peer{};
    socklen_t size = sizeof peer;
    if (connection.game < 0 || connection.server < 0 ||
        ::setsockopt(connection.game, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout) != 0 ||
        ::setsockopt(connection.server, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout) != 0 ||
        ::getsockopt(connection.game, SOL_SOCKET, SO_PEERCRED, &peer, &size) != 0) {
        closeFd(connection.game);
        closeFd(connection.server);
        return;
    }
    connection.process = peer.pid;
    connections.push_back(std::move(connection));
}

bool DisplayRelay::passOnFromGame(Connection& connection, bool& breakNow) {
    unsigned char bytes[65536];
    const ssize_t got = ::read(connection.game, bytes, sizeof bytes);
    if (got <= 0) {
        return false;
    }
    std::vector<unsigned char>& held = connection.held;
    held.insert(held.end(), bytes, bytes + got);
    std::size_t at = 0;
    while (at < held.size()) {
        const unsigned char* next = held.data() + at;
        const std::size_t left = held.size() - at;
        if (connection.passing > 0) {
            const std::size_t part = std::min(connection.passing, left);
            if (!sendAll(connection.server, next, part)) {
                return false;
            }
            at += part;
            connection.passing -= part;
        } else if (!connection.setUp) {
            // The setup: byte order, a byte, the version (4 bytes), the lengths of the authorisation's name
            // and data, two bytes; then the name and the data, each padded to four bytes.
            if (left < 12) {
                break;
            }
            connection.bigEndian = next[0] == 'B';
            connection.passing = 12 + padded(number(next + 6, 2, connection.bigEndian)) +
                                 padded(number(next + 8, 2, connection.bigEndian));
            connection.setUp = true;
        } else {
            // A request: its code, a byte, its length in four-byte units; a length of 0 is a big request's,
            // whose length follows in four bytes.
            std::size_t units = left < 4 ? 0 : number(next + 2, 2, connection.bigEndian);
            if (left < 4 || (units == 0 && left < 8)) {
                break;
            }
            if (next[0] == breakCode) {
                breakNow = true;
                return true;
            }
            units = units != 0 ? units : number(next + 4, 4, connection.bigEndian);
            connection.passing = std::max<std::size_t>(units * 4, 4);
        }
    }
    held.erase(held.begin(), held.begin() + static_cast<std::ptrdiff_t>(at));
    return true;
}

// Closed, every connection is gone at once and a new one is refused, as at the server's end; else the
// game's side is shut for reading, so that the game's writes fail.
void DisplayRelay::breakAll(bool close) {
    ThreadTimes when = mainThreadTimes(connections.empty() ? 0 : connections.front().process);
    when.at = std::chrono::steady_clock::now();
    for (Connection& connection : connections) {
        if (close) {
            closeFd(connection.game);
            closeFd(connection.server);
        } else {
            ::shutdown(connection.game, SHUT_RD);
            // What the game wrote before is passed on still: a request the server never got would leave the
            // game waiting for its reply for ever, on a connection that no server's end leaves open.
            bool breakNow = false;
            while (passOnFromGame(connection, breakNow) && !breakNow) {
            }
        }
    }
    reading = false;
    closeFd(listening);
    std::lock_guard guard(lock);
    brokenAt = when;
}

} // namespace e2e
