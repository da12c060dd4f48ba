#include "game/field/PibbleColours.h"

#include "game/foundation/FieldCodes.h"
#include "game/foundation/GameIds.h"
#include "game/foundation/Random.h"

#include <array>
#include <iterator>

namespace game {

namespace {

constexpr std::array<const char*, 9> colourNames = {"Undefined", "Yellow", "Blue",   "Red", "White",
                                                    "Green",     "Purple", "Orange", "All"};

static_assert(std::size(ids::pibbleColourPrefixes) == colour::clown);

} // namespace

std::string PibbleColourName(std::int32_t code) {
    if (code < 0 || code >= static_cast<std::int32_t>(colourNames.size())) {
        return {};
    }
    return colourNames[static_cast<std::size_t>(code)];
}

std::string pibbleImagePrefix(std::int32_t code) {
    if (code < colour::firstReal || code > colour::clown) {
        return {};
    }
    return ids::pibbleColourPrefixes[code - colour::firstReal];
}

std::int32_t randomColour(std::int32_t n) {
    Random* random = Random::instance();
    return 1 + (random != nullptr ? random->nextInt(n) : 0);
}

} // namespace game
