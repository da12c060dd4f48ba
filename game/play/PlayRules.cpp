#include "game/play/PlayRules.h"

#include "game/foundation/GameIds.h"
#include "game/foundation/Random.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace game {

namespace {

constexpr std::int32_t largeGap = 1000;
constexpr std::int32_t mediumGap = 100;
constexpr float largeStep = 1000.0f;
constexpr float mediumStep = 100.0f;
constexpr float smallStep = 10.0f;

} // namespace

// The step is truncated as the counter always was; a step that truncates to nothing still moves one point,
// or a small frame time against a large frequency would leave the counter short of the score for ever.
std::int32_t countScore(std::int32_t shown, std::int32_t target, std::uint32_t dt, float frequency) {
    if (shown >= target || frequency <= 0.0f) {
        return target;
    }
    const std::int64_t missing = std::int64_t{target} - shown;
    const float units = static_cast<float>(dt) / frequency;
    const float scale = missing > largeGap ? largeStep : missing > mediumGap ? mediumStep : smallStep;
    const float raw = scale * units;
    const std::int64_t step = raw >= static_cast<float>(std::numeric_limits<std::int32_t>::max())
                                  ? std::numeric_limits<std::int32_t>::max()
                                  : std::max<std::int64_t>(1, static_cast<std::int64_t>(raw));
    return static_cast<std::int32_t>(std::min<std::int64_t>(std::int64_t{shown} + step, target));
}

const char* matchSound(std::int32_t comboStep, std::int32_t removed) {
    static const char* const bySize[] = {ids::soundMatch3, ids::soundMatch4, ids::soundMatch5,
                                         ids::soundMatch6, ids::soundMatch7};
    static const char* const byStep[] = {ids::soundMatchCombo1, ids::soundMatchCombo2, ids::soundMatchCombo3,
                                         ids::soundMatchCombo4};
    if (comboStep <= 0) {
        return bySize[std::clamp(removed, 3, 7) - 3];
    }
    return byStep[std::min(comboStep, 4) - 1];
}

const char* removalSound(std::int32_t parties, std::int32_t clowns, std::int32_t chained,
                         std::int32_t stubborn, std::int32_t vib) {
    if (parties > 0) {
        return ids::soundRemoveParty;
    }
    if (clowns > 0) {
        return ids::soundRemoveClown;
    }
    if (chained > 0) {
        return ids::soundRemoveChained;
    }
    if (stubborn > 0) {
        return ids::soundRemoveStubborn;
    }
    return vib > 0 ? ids::soundRemoveVib : nullptr;
}

std::int32_t particleCount(std::int32_t comboStep, std::int32_t removed) {
    const std::int64_t count = (std::int64_t{comboStep} + 1) * removed;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(count, 0, maxParticles));
}

// Real division: taken as whole numbers every particle would fly the same way.
Velocity particleVelocity(Random& random) {
    float vx = static_cast<float>(random.nextInt(4)) / 10.0f + 0.05f;
    const float vy = -std::fabs(static_cast<float>(random.nextInt(10)) / 10.0f / 7.0f + 0.6f);
    if (random.nextInt(2) == 0) {
        vx = -vx;
    }
    return {10.0f * vx, 10.0f * vy};
}

// A rectangle of no size would divide by zero: its edge is taken.
Point comboPoint(std::int32_t x, std::int32_t y, const kernel::Rect& field, const kernel::Rect& band) {
    const std::int32_t dx = std::max(0, x - field.x);
    const std::int32_t dy = std::max(0, y - field.y);
    const float fx = field.w > 0 ? static_cast<float>(dx) / static_cast<float>(field.w) : 0.0f;
    const float fy = field.h > 0 ? static_cast<float>(dy) / static_cast<float>(field.h) : 0.0f;
    return {band.x + static_cast<std::int32_t>(fx * static_cast<float>(band.w)),
            band.y + static_cast<std::int32_t>(fy * static_cast<float>(band.h))};
}

std::int32_t averageFrameRate(std::int32_t sum, std::int32_t samples) {
    return samples > 0 ? sum / samples : 0;
}

} // namespace game
