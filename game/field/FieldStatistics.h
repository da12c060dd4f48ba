#pragma once

#include <cstdint>
#include <limits>

namespace game {

// The field's counts of one level, for the level's statistics record: special pibbles made and wasted,
// moves and clicks by kind, the times the board got stuck, pibbles made, and the frame rate seen.
struct FieldStatistics {
    std::int32_t clownsCreated = 0;
    std::int32_t partiesCreated = 0;
    std::int32_t clownsUseless = 0;
    std::int32_t partiesUseless = 0;
    std::int32_t movesCorrect = 0;
    std::int32_t movesWrongTotal = 0;
    std::int32_t movesWrongInitial = 0;
    std::int32_t clownClicks = 0;
    std::int32_t partyClicks = 0;
    std::int32_t chainClicks = 0;
    std::int32_t queueClicks = 0;
    std::int32_t stubbornClicks = 0;
    std::int32_t stuck = 0;
    std::int32_t stuckSwaps = 0;
    std::int32_t stuckRefills = 0;
    std::int32_t pibblesCreated = 0;
    std::int32_t fpsMin = std::numeric_limits<std::int32_t>::max();
    std::int32_t fpsMax = 0;
    std::int32_t fpsSum = 0;
    std::int32_t fpsSamples = 0;

    // One frame-rate sample; the sum stops at its largest value rather than wrapping.
    void addFrameRate(std::int32_t fps) {
        fpsMin = fps < fpsMin ? fps : fpsMin;
        fpsMax = fps > fpsMax ? fps : fpsMax;
        fpsSum = fpsSum > std::numeric_limits<std::int32_t>::max() - fps
                     ? std::numeric_limits<std::int32_t>::max()
                     : fpsSum + fps;
        ++fpsSamples;
    }
};

} // namespace game
