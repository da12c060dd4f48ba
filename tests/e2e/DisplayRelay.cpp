#include "DisplayRelay.h"

#include "GameData.h"

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <sys/un.h>
#include <unistd.h>

namespace e2e {

struct DisplayRelay::Connection {
    int game = -1;
    int server = -1;
    pid_t process = 0;
    bool reading = true;
    // Where the game's stream stands: its connection setup first, then one request after another. What has
    // come of a header that is not whole yet waits in held.
    bool setUp = false;
    bool bigEndian = false;
    std::vector<unsigned char> held;
    std::size_t passing = 0;
};

namespace {

constexpr int firstDisplayNumber = 300;
constexpr int lastDisplayNumber = 999;
// A side that takes nothing for this long has stopped for good.
constexpr int sendTimeoutSeconds = 5;

std::size_t padded(std::size_t length) {
    return (length + 3) / 4 * 4;
}

std::uint32_t number(const unsigned char* bytes, int size, bool bigEndian) {
    std::uint32_t value = 0;
    for (int i = 0; i < size; ++i) {
        value |= std::uint32_t{bytes[bigEndian ? i : size - 1 - i]} << (8 * (size - 1 - i));
    }
    return value;
}

// An X display's socket in Linux's abstract namespace, where the X libraries look first.
sockaddr_un abstractAddress(const std::string& number, socklen_t& length) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string path = "/tmp/.X11-unix/X" + number;
    std::memcpy(address.sun_path + 1, path.data(), path.size());
    length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + path.size());
    return address;
}

int connectToServer() {
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr || display[0] != ':') {
        return -1;
    }
    const std::string number(display + 1, std::strcspn(display + 1, "."));
    for (const bool abstract : {true, false}) {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        socklen_t length = 0;
        sockaddr_un address = abstractAddress(number, length);
        if (!abstract) {
            std::memmove(address.sun_path, address.sun_path + 1, sizeof address.sun_path - 1);
            length = sizeof address;
        }
        if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), length) == 0) {
            return fd;
        }
        ::close(fd);
    }
    return -1;
}

bool sendAll(int fd, const unsigned char* bytes, std::size_t size) {
    while (size > 0) {
        const ssize_t sent = ::send(fd, bytes, size, MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR) {
            continue;
        }
        if (sent <= 0) {
            return false;
        }
        bytes += sent;
        size -= static_cast<std::size_t>(sent);
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
        const std::string owner = std::to_string(::getpid());
        const std::string text =
            std::string(10 - std::min<std::size_t>(10, owner.size()), ' ') + owner + "\n";
        const bool written = ::write(lockFd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
        ::close(lockFd);
        listening = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        socklen_t length = 0;
        const sockaddr_un address = abstractAddress(std::to_string(number), length);
        if (written && ::bind(listening, reinterpret_cast<const sockaddr*>(&address), length) == 0 &&
            ::listen(listening, 8) == 0) {
            name = ":" + std::to_string(number);
            lockFile = lock;
        } else {
            closeFd(listening);
            ::unlink(lock.c_str());
        }
    }
    if (listening < 0 || ::pipe2(wake, O_CLOEXEC) != 0) {
        fail("a display relay found no display number to take");
    }
    worker = std::thread([this] { relay(); });
}

DisplayRelay::~DisplayRelay() {
    {
        std::lock_guard guard(lock);
        quitting = true;
    }
    const char poke = 'q';
    (void)!::write(wake[1], &poke, 1);
    worker.join();
    for (Connection& connection : connections) {
        closeFd(connection.game);
        closeFd(connection.server);
    }
    closeFd(listening);
    closeFd(wake[0]);
    closeFd(wake[1]);
    ::unlink(lockFile.c_str());
}

void DisplayRelay::breakAtRequest(int code) {
    std::lock_guard guard(lock);
    breakCode = code;
}

void DisplayRelay::stopReading() {
    {
        std::lock_guard guard(lock);
        stopReadingAsked = true;
    }
    const char poke = 's';
    (void)!::write(wake[1], &poke, 1);
}

std::optional<ThreadTimes> DisplayRelay::broken() const {
    std::lock_guard guard(lock);
    return brokenAt;
}

void DisplayRelay::relay() {
    std::vector<pollfd> watched;
    // For each watched descriptor past the first two: its connection, and whether it is the game's side.
    std::vector<std::pair<std::size_t, bool>> sides;
    for (;;) {
        watched.assign({pollfd{wake[0], POLLIN, 0}, pollfd{listening, POLLIN, 0}});
        sides.clear();
        for (std::size_t i = 0; i < connections.size(); ++i) {
            watched.push_back(pollfd{connections[i].server, POLLIN, 0});
            sides.emplace_back(i, false);
            if (connections[i].reading) {
                watched.push_back(pollfd{connections[i].game, POLLIN, 0});
                sides.emplace_back(i, true);
            }
        }
        if (::poll(watched.data(), watched.size(), -1) < 0) {
            continue;
        }
        if (watched[0].revents != 0) {
            char pokes[16];
            (void)!::read(wake[0], pokes, sizeof pokes);
            std::lock_guard guard(lock);
            if (quitting) {
                return;
            }
            if (stopReadingAsked && !brokenAt) {
                breakAll(false);
                continue;
            }
        }
        if (watched[1].revents != 0) {
            accept();
        }
        for (std::size_t i = 2; i < watched.size() && !connections.empty(); ++i) {
            auto [index, gameSide] = sides[i - 2];
            Connection& connection = connections[index];
            if (watched[i].revents == 0 || connection.server < 0 || (gameSide && !connection.reading)) {
                continue;
            }
            if (gameSide) {
                passOnFromGame(connection);
                if (std::lock_guard guard(lock); brokenAt) {
                    break;
                }
                continue;
            }
            unsigned char bytes[65536];
            const ssize_t got = ::read(connection.server, bytes, sizeof bytes);
            if (got <= 0 || !sendAll(connection.game, bytes, static_cast<std::size_t>(got))) {
                closeFd(connection.game);
                closeFd(connection.server);
            }
        }
        std::erase_if(connections, [](const Connection& connection) { return connection.server < 0; });
    }
}

void DisplayRelay::accept() {
    Connection connection;
    connection.game = ::accept4(listening, nullptr, nullptr, SOCK_CLOEXEC);
    if (connection.game < 0) {
        return;
    }
    connection.server = connectToServer();
    if (connection.server < 0) {
        closeFd(connection.game);
        return;
    }
    const timeval timeout{sendTimeoutSeconds, 0};
    for (const int fd : {connection.game, connection.server}) {
        ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
    }
    ucred peer{};
    socklen_t size = sizeof peer;
    if (::getsockopt(connection.game, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0) {
        connection.process = peer.pid;
    }
    connections.push_back(std::move(connection));
}

// Passes the game's bytes on a request at a time, up to the request it is to break at.
void DisplayRelay::passOnFromGame(Connection& connection) {
    unsigned char bytes[65536];
    const ssize_t got = ::read(connection.game, bytes, sizeof bytes);
    if (got <= 0) {
        closeFd(connection.game);
        closeFd(connection.server);
        return;
    }
    int code = -1;
    {
        std::lock_guard guard(lock);
        code = breakCode;
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
                closeFd(connection.game);
                closeFd(connection.server);
                return;
            }
            at += part;
            connection.passing -= part;
            continue;
        }
        if (!connection.setUp) {
            // Byte order, an unused byte, the protocol's version, the lengths of the authorisation's name and
            // data, two unused bytes; then the name and the data, each padded to four bytes.
            if (left < 12) {
                break;
            }
            connection.bigEndian = next[0] == 'B';
            connection.passing = 12 + padded(number(next + 6, 2, connection.bigEndian)) +
                                 padded(number(next + 8, 2, connection.bigEndian));
            connection.setUp = true;
            continue;
        }
        // The code, a byte, the length in four-byte units; a length of 0 is a big request's, whose length
        // follows in four bytes.
        if (left < 4) {
            break;
        }
        std::size_t units = number(next + 2, 2, connection.bigEndian);
        if (units == 0) {
            if (left < 8) {
                break;
            }
            units = number(next + 4, 4, connection.bigEndian);
        }
        if (next[0] == code) {
            std::lock_guard guard(lock);
            breakAll(true);
            return;
        }
        connection.passing = std::max<std::size_t>(units * 4, 4);
    }
    held.erase(held.begin(), held.begin() + static_cast<std::ptrdiff_t>(at));
}

// Called with the lock held. Closed, every connection is gone at once and a new one is refused, as at the
// server's end; else the game's side is no longer read (shut for reading, so that the game's writes fail).
void DisplayRelay::breakAll(bool close) {
    ThreadTimes when;
    when.at = std::chrono::steady_clock::now();
    for (Connection& connection : connections) {
        if (connection.process > 0 && !when.known) {
            when = mainThreadTimes(connection.process);
        }
        if (close) {
            closeFd(connection.game);
            closeFd(connection.server);
        } else if (connection.game >= 0) {
            ::shutdown(connection.game, SHUT_RD);
            connection.reading = false;
        }
    }
    closeFd(listening);
    brokenAt = when;
}

} // namespace e2e
