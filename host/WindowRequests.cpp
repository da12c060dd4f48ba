// Requests to the window of another process. A second copy of the game finds the first one's window by its
// title and asks it to come forward; the window's process takes such requests from a socket named after the
// title and answers them when it pumps its messages, so it needs no thread of its own. A pump that finds
// nothing waiting costs one poll of the sockets: the game pumps every frame, and a failed accept costs the
// kernel a socket made and thrown away each time.
//
// The socket lives in Linux's abstract namespace: it needs no file, and its name goes with the process, also
// one that crashed. It is scoped like the lock files of named mutexes (the folder in $XDG_RUNTIME_DIR, else
// /tmp), so copies started with another folder (tests) never meet, and only the same user is answered.

#include "host/WindowState.h"

#include <SDL.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace host {
namespace {

constexpr char restoreRequest = 'R';
constexpr char foregroundRequest = 'F';
// Callers whose request has not fully arrived yet; more are not kept waiting.
constexpr std::size_t mostCallers = 8;
// Remote handles never equal a window of this process, whose handles are multiples of 0x10.
constexpr std::uintptr_t remoteHandleBase = 0x10008;

struct Address {
    sockaddr_un address{};
    socklen_t length = 0;
};

Address addressFor(const std::string& title) {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    const std::string folder = runtime != nullptr && *runtime != 0 ? runtime : "/tmp";
    std::string name = folder + "/pibbles-window-" + title;
    Address result;
    // The first byte stays 0: the abstract namespace. A long name keeps a stable hash of the whole.
    const std::size_t room = sizeof(result.address.sun_path) - 1;
    if (name.size() > room) {
        std::uint64_t hash = 14695981039346656037ull;
        for (unsigned char c : name) {
            hash = (hash ^ c) * 1099511628211ull;
        }
        char digest[40];
        std::snprintf(digest, sizeof digest, "pibbles-window-%016llx", static_cast<unsigned long long>(hash));
        name = digest;
    }
    result.address.sun_family = AF_UNIX;
    std::memcpy(result.address.sun_path + 1, name.data(), name.size());
    result.length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + name.size());
    return result;
}

int openSocket() {
    return ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
}

// A connection to the window's process, or -1 when no window of that title listens.
int connectTo(const std::string& title) {
    const int fd = openSocket();
    if (fd < 0) {
        return -1;
    }
    const Address to = addressFor(title);
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&to.address), to.length) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// --- The window's side.

struct Listener {
    int socket = -1;
    HWND window = nullptr;
    std::vector<int> callers;
};

// Used on the main thread only, as the window calls are.
Listener& listener() {
    static Listener state;
    return state;
}

bool sameUser(int fd) {
    ucred peer{};
    socklen_t length = sizeof peer;
    return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &length) == 0 && peer.uid == ::geteuid();
}

void acceptCallers(Listener& state) {
    for (;;) {
        const int caller = ::accept4(state.socket, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (caller < 0) {
            return;
        }
        if (!sameUser(caller)) {
            ::close(caller);
            continue;
        }
        if (state.callers.size() == mostCallers) {
            ::close(state.callers.front());
            state.callers.erase(state.callers.begin());
        }
        state.callers.push_back(caller);
    }
}

// Carries out what the caller has sent so far; false once it has hung up.
bool serveCaller(HWND window, int caller) {
    char requests[16];
    for (;;) {
        const ssize_t count = ::recv(caller, requests, sizeof requests, 0);
        if (count == 0) {
            return false;
        }
        if (count < 0) {
            return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
        }
        for (ssize_t i = 0; i < count; ++i) {
            if (requests[i] == restoreRequest) {
                ShowWindow(window, SW_RESTORE);
            } else if (requests[i] == foregroundRequest) {
                SetForegroundWindow(window);
            }
        }
    }
}

// A caller knocking, a request arrived or a caller gone: anything that needs an accept or a read.
bool anythingWaiting(const Listener& state) {
    pollfd sockets[1 + mostCallers];
    nfds_t count = 0;
    sockets[count++] = pollfd{state.socket, POLLIN, 0};
    for (const int caller : state.callers) {
        sockets[count++] = pollfd{caller, POLLIN, 0};
    }
    return ::poll(sockets, count, 0) != 0;
}

// --- The caller's side: handles of windows found elsewhere, by title.

std::vector<std::string>& remoteTitles() {
    static std::vector<std::string> titles;
    return titles;
}

const std::string* remoteTitleOf(HWND window) {
    const auto value = reinterpret_cast<std::uintptr_t>(window);
    const std::vector<std::string>& titles = remoteTitles();
    if (value < remoteHandleBase || (value - remoteHandleBase) % 0x10 != 0 ||
        (value - remoteHandleBase) / 0x10 >= titles.size()) {
        return nullptr;
    }
    return &titles[(value - remoteHandleBase) / 0x10];
}

BOOL sendRequest(HWND window, char request) {
    const std::string* title = remoteTitleOf(window);
    if (title == nullptr) {
        return FALSE;
    }
    const int fd = connectTo(*title);
    if (fd < 0) {
        return FALSE;
    }
    // Never a signal: the window's process may have ended meanwhile.
    const bool sent = ::send(fd, &request, 1, MSG_NOSIGNAL) == 1;
    ::close(fd);
    return sent ? TRUE : FALSE;
}

} // namespace

void listenForRequests(HWND window, const std::string& title) {
    stopListening();
    if (title.empty()) {
        return;
    }
    const int fd = openSocket();
    if (fd < 0) {
        return;
    }
    const Address at = addressFor(title);
    // Taken already: another process has a window of that title, and the requests are its.
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&at.address), at.length) != 0 ||
        ::listen(fd, static_cast<int>(mostCallers)) != 0) {
        ::close(fd);
        return;
    }
    listener().socket = fd;
    listener().window = window;
}

void stopListening() {
    Listener& state = listener();
    for (const int caller : state.callers) {
        ::close(caller);
    }
    state.callers.clear();
    if (state.socket >= 0) {
        ::close(state.socket);
    }
    state.socket = -1;
    state.window = nullptr;
}

void answerRequests() {
    Listener& state = listener();
    if (state.socket < 0 || !anythingWaiting(state)) {
        return;
    }
    acceptCallers(state);
    // The requests only show and raise the window, which never reaches its procedure: the listener stays.
    std::erase_if(state.callers, [&state](int caller) {
        if (serveCaller(state.window, caller)) {
            return false;
        }
        ::close(caller);
        return true;
    });
}

HWND findWindowElsewhere(const char* title) {
    const int fd = connectTo(title);
    if (fd < 0) {
        return nullptr;
    }
    ::close(fd);
    std::vector<std::string>& titles = remoteTitles();
    auto found = std::find(titles.begin(), titles.end(), title);
    if (found == titles.end()) {
        found = titles.insert(titles.end(), title);
    }
    return reinterpret_cast<HWND>(remoteHandleBase +
                                  static_cast<std::uintptr_t>(found - titles.begin()) * 0x10);
}

bool isWindowElsewhere(HWND window) {
    return remoteTitleOf(window) != nullptr;
}

BOOL restoreWindowElsewhere(HWND window) {
    return sendRequest(window, restoreRequest);
}

BOOL raiseWindowElsewhere(HWND window) {
    return sendRequest(window, foregroundRequest);
}

} // namespace host
