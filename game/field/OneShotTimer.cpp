#include "game/field/OneShotTimer.h"

namespace game {

void OneShotTimer::onUpdate(std::uint32_t elapsedMs) {
    if (expired) {
        return;
    }
    elapsed += static_cast<int>(elapsedMs);
    if (elapsed >= lifetime) {
        expired = true;
        setDead(true);
    }
}

} // namespace game
