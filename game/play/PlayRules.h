#pragma once
// The play scene's small decisions, as functions of their inputs: how far the score counter moves in a
// frame, which sounds a match plays, how many particles it bursts into and how they fly, where a combo
// sign goes, and the average frame rate of a level.

#include "engine/kernel/Rect.h"

#include <cstdint>

namespace game {

class Random;

// The score shown after a frame of dt ms: it moves toward the target by 1000, 100 or 10 points per unit of
// dt / frequency while more than 1000, 100 or fewer points are missing, at least one point a frame, and
// never past the target. A target below the shown score is shown at once; a frequency of 0 or less shows
// the target at once.
std::int32_t countScore(std::int32_t shown, std::int32_t target, std::uint32_t dt, float frequency);

// The sound of a match by its combo step, and for the first step by its size.
const char* matchSound(std::int32_t comboStep, std::int32_t removed);
// The sound of the special pibbles a match removed, the first kind that applies; null when none.
const char* removalSound(std::int32_t parties, std::int32_t clowns, std::int32_t chained,
                         std::int32_t stubborn, std::int32_t vib);

// Particles of a match: one per pibble removed and step of the combo, at most maxParticles.
constexpr std::int32_t maxParticles = 32;
std::int32_t particleCount(std::int32_t comboStep, std::int32_t removed);

// A particle's start velocity in pixels per frame: sideways 0.5 to 3.5 to either side, upwards 6 to about
// 7.3. Draws nextInt(4), nextInt(10), then nextInt(2).
struct Velocity {
    float x = 0.0f;
    float y = 0.0f;
};
Velocity particleVelocity(Random& random);

// Where a combo sign goes: the match point's place in the field's rectangle carried over into the band for
// the signs (a point left of or above the field counts as its edge).
struct Point {
    std::int32_t x = 0;
    std::int32_t y = 0;
};
Point comboPoint(std::int32_t x, std::int32_t y, const kernel::Rect& field, const kernel::Rect& band);

// The average of the frame-rate samples; 0 without samples.
std::int32_t averageFrameRate(std::int32_t sum, std::int32_t samples);

} // namespace game
