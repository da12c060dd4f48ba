#pragma once

#include "engine/kernel/NodeValue.h"
#include "engine/kernel/Object.h"
#include "engine/kernel/SmartPtr.h"

#include <cstdint>
#include <vector>

namespace platform {

// One playing session: when it ran, how it was played and on what display. The records hung on it are
// the game's own statistics; they live as long as the session and are never written to the file.
class SessionRecord {
public:
    // Seconds since 1970-01-01 00:00 UTC; endTime stays 0 until the session is closed.
    SessionRecord(std::int32_t startTime, std::int32_t gameMode, std::int32_t numPlayers);

    // The application's full-screen state and depth (none yet: windowed, 0 bits) and the screen's size.
    void readDisplay();

    // A Node typed "PlayingSession" without a name, as the file stores it.
    kernel::SmartPtr<kernel::NodeValue> toNode() const;

    void addRecord(kernel::SmartPtr<kernel::Object> record) { records.push_back(std::move(record)); }
    const std::vector<kernel::SmartPtr<kernel::Object>>& getRecords() const { return records; }

    std::int32_t startTime = 0;
    std::int32_t endTime = 0;
    std::int32_t gameMode = 0;
    std::int32_t numPlayers = 0;
    bool fullScreen = false;
    std::int32_t bitDepth = 0;
    std::int32_t screenWidth = 0;
    std::int32_t screenHeight = 0;

private:
    std::vector<kernel::SmartPtr<kernel::Object>> records;
};

} // namespace platform
