#pragma once
// A display of the walk's own between the game and an X server: it passes every byte on, and breaks the
// game's connections as the server's end would break them, at a chosen request of the game or on a call.

#include "GameProcess.h"

#include <atomic>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace e2e {

// The protocol's request codes the walks break at.
inline constexpr int createWindowRequest = 1;
inline constexpr int mapWindowRequest = 8;

class DisplayRelay {
public:
    // Relays to the X server that DISPLAY names now.
    DisplayRelay();
    ~DisplayRelay();
    DisplayRelay(const DisplayRelay&) = delete;
    DisplayRelay& operator=(const DisplayRelay&) = delete;

    // What the game is given as DISPLAY.
    const std::string& display() const { return name; }

    // At the game's next request with this code, on any of its connections, every connection is closed and
    // no new one is taken; the request never reaches the server.
    void breakAtRequest(int code) { breakCode = code; }
    // Nothing more is read from the game, so that its next write fails as at the server's end; what it wrote
    // before still reaches the server, and what the server sends (the replies too) still reaches the game.
    void stopReading() { stopAsked = true; }

    // The times of the game's main thread (the process at the connections' far end) when the connections
    // were broken; empty while they have not been.
    std::optional<ThreadTimes> broken() const;

private:
    struct Connection {
        int game = -1;
        int server = -1;
        pid_t process = 0;
        // Where the game's stream stands: its connection setup first, then one request after another;
        // what came of a header that is not whole yet is held.
        bool setUp = false;
        bool bigEndian = false;
        std::vector<unsigned char> held;
        std::size_t passing = 0;
    };

    void relay();
    void accept();
    // False once the connection has ended; true with the request to break at come.
    bool passOnFromGame(Connection& connection, bool& breakNow);
    void breakAll(bool close);

    std::string name;
    std::string lockFile;
    int listening = -1;
    bool reading = true;
    std::vector<Connection> connections;
    std::atomic<int> breakCode{-1};
    std::atomic<bool> stopAsked{false};
    std::atomic<bool> quitting{false};
    mutable std::mutex lock;
    std::optional<ThreadTimes> brokenAt;
    std::thread worker;
};

} // namespace e2e
