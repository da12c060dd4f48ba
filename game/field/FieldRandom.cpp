#include "game/field/FieldRandom.h"

#include "game/foundation/Random.h"

#include <cstdlib>

namespace game {

Random& fieldRandom() {
    static Random standIn(0);
    Random* random = Random::instance();
    return random != nullptr ? *random : standIn;
}

std::int32_t runtimeDraw(std::int32_t bound) {
    return bound < 1 ? 0 : static_cast<std::int32_t>(std::rand() % bound);
}

} // namespace game
