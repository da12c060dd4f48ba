#pragma once

#include "engine/kernel/NodeValue.h"

#include <cstdint>
#include <limits>
#include <string>

namespace game {

// The "properties" of a saved game, read one value at a time with the range the game itself writes that
// value in. Only the game writes saves, so a value outside its range (or text that is no whole number) comes
// from a damaged or hand-made file: a game built on it could end before the first move or count forever.
// The first such value is remembered as the reason the save is not continued; each value is checked where
// its reader takes it, so the check and the use cannot drift apart.
class SavedValues {
public:
    static constexpr std::int32_t largest = std::numeric_limits<std::int32_t>::max();

    explicit SavedValues(const kernel::NodeValue& properties) : properties(properties) {}

    // The integer under the key; a missing key reads 0, which must lie in the range too.
    std::int32_t read(const char* key, std::int32_t lowest, std::int32_t highest = largest);
    // Why the save makes no game: the first value outside its range; empty while all were in range.
    const std::string& problem() const { return firstProblem; }

private:
    void note(const std::string& what);

    const kernel::NodeValue& properties;
    std::string firstProblem;
};

} // namespace game
