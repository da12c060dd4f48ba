// The play scene's small decisions: the score counter's steps, the match and removal sounds, the particles
// of a match and their flight, where a combo sign goes, and the average frame rate.
#include "game/play/PlayRules.h"

#include "game/foundation/GameIds.h"
#include "game/foundation/Random.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>

namespace {

using game::countScore;

TEST(PlayRules, TheScoreCounterStepsByTheGapAndStopsAtTheScore) {
    struct Case {
        std::int32_t shown, target;
        std::uint32_t dt;
        float frequency;
        std::int32_t expected;
    };
    const Case cases[] = {
        {0, 5000, 16, 16.0f, 1000},   // more than 1000 missing: 1000 a unit
        {0, 1000, 16, 16.0f, 100},    // exactly 1000 missing: 100 a unit
        {900, 1000, 16, 16.0f, 910},  // 100 missing: 10 a unit
        {995, 1000, 16, 16.0f, 1000}, // never past the score
        {0, 5000, 32, 16.0f, 2000},   // two units in a long frame
        {0, 50, 16, 160.0f, 1},       // a step of 10 x 0.1 is one point
        {0, 50, 16, 1000.0f, 1},      // a step that truncates to nothing still moves one point
        {3000, 0, 16, 16.0f, 0},      // a score taken back is shown at once
        {0, 777, 16, 0.0f, 777},      // no frequency: the score at once
        {0, 777, 16, -5.0f, 777},     {5, 5, 16, 16.0f, 5},
    };
    for (const Case& one : cases) {
        EXPECT_EQ(countScore(one.shown, one.target, one.dt, one.frequency), one.expected)
            << one.shown << " -> " << one.target << " in " << one.dt << " ms at " << one.frequency;
    }
    // Counting frame by frame reaches the score exactly.
    std::int32_t shown = 0;
    int frames = 0;
    while (shown != 123456 && frames < 1000) {
        const std::int32_t next = countScore(shown, 123456, 16, 16.0f);
        EXPECT_GT(next, shown);
        EXPECT_LE(next, 123456);
        shown = next;
        ++frames;
    }
    EXPECT_EQ(shown, 123456);
}

TEST(PlayRules, SoundsFollowTheComboStepTheSizeAndThePriorityOfKinds) {
    using namespace game::ids;
    EXPECT_STREQ(game::matchSound(0, 3), soundMatch3);
    EXPECT_STREQ(game::matchSound(0, 4), soundMatch4);
    EXPECT_STREQ(game::matchSound(0, 6), soundMatch6);
    EXPECT_STREQ(game::matchSound(0, 7), soundMatch7);
    EXPECT_STREQ(game::matchSound(0, 25), soundMatch7);
    EXPECT_STREQ(game::matchSound(2, 4), soundMatchCombo2) << "a combo step's sound, not the size's";
    EXPECT_STREQ(game::matchSound(1, 9), soundMatchCombo1);
    EXPECT_STREQ(game::matchSound(4, 3), soundMatchCombo4);
    EXPECT_STREQ(game::matchSound(12, 3), soundMatchCombo4);

    struct Case {
        std::int32_t parties, clowns, chained, stubborn, vib;
        const char* sound;
    };
    const Case cases[] = {{1, 1, 1, 1, 1, soundRemoveParty},
                          {1, 0, 0, 1, 0, soundRemoveParty},
                          {0, 2, 1, 0, 1, soundRemoveClown},
                          {0, 0, 1, 1, 1, soundRemoveChained},
                          {0, 0, 0, 1, 1, soundRemoveStubborn},
                          {0, 0, 0, 0, 2, soundRemoveVib},
                          {0, 0, 0, 0, 0, nullptr}};
    for (const Case& one : cases) {
        const char* sound = game::removalSound(one.parties, one.clowns, one.chained, one.stubborn, one.vib);
        EXPECT_TRUE(sound == one.sound ||
                    (sound != nullptr && one.sound != nullptr && std::strcmp(sound, one.sound) == 0))
            << (sound != nullptr ? sound : "none");
    }
}

TEST(PlayRules, ParticlesCountByStepAndSizeAndFlyUpToEitherSide) {
    EXPECT_EQ(game::particleCount(2, 4), 12);
    EXPECT_EQ(game::particleCount(3, 11), 32) << "not 44";
    EXPECT_EQ(game::particleCount(0, 3), 3);
    EXPECT_EQ(game::particleCount(0, 0), 0);

    game::Random random(99);
    std::set<int> sideways;
    std::set<int> upwards;
    bool left = false;
    bool right = false;
    for (int i = 0; i < 400; ++i) {
        const game::Velocity velocity = game::particleVelocity(random);
        const float side = velocity.x < 0 ? -velocity.x : velocity.x;
        EXPECT_GE(side, 0.5f - 1e-4f);
        EXPECT_LE(side, 3.5f + 1e-4f);
        EXPECT_LE(velocity.y, -6.0f + 1e-4f);
        EXPECT_GE(velocity.y, -7.3f);
        sideways.insert(static_cast<int>(side * 10.0f + 0.5f));
        upwards.insert(static_cast<int>(-velocity.y * 100.0f + 0.5f));
        left = left || velocity.x < 0;
        right = right || velocity.x > 0;
    }
    EXPECT_EQ(sideways, (std::set<int>{5, 15, 25, 35})) << "real division: four speeds to the side";
    EXPECT_EQ(upwards.size(), 10u) << "and ten upwards";
    EXPECT_TRUE(left && right);
}

TEST(PlayRules, ComboSignsAreCarriedFromTheFieldIntoTheirBand) {
    const kernel::Rect field(59, 60, 522, 412);
    const kernel::Rect band(170, 150, 300, 230);
    struct Case {
        std::int32_t x, y, expectedX, expectedY;
    };
    const Case cases[] = {{59, 60, 170, 150},    // the field's corner: the band's
                          {10, 20, 170, 150},    // left of and above the field: its edges
                          {320, 266, 320, 265},  // the middle, truncated
                          {581, 472, 470, 380},  // the far corner
                          {700, 600, 538, 451}}; // beyond it: beyond the band too
    for (const Case& one : cases) {
        const game::Point point = game::comboPoint(one.x, one.y, field, band);
        EXPECT_EQ(point.x, one.expectedX) << one.x;
        EXPECT_EQ(point.y, one.expectedY) << one.y;
    }
    const game::Point flat = game::comboPoint(100, 100, kernel::Rect(0, 0, 0, 0), band);
    EXPECT_EQ(flat.x, band.x) << "a field of no size divides by nothing";
    EXPECT_EQ(game::averageFrameRate(600, 10), 60);
    EXPECT_EQ(game::averageFrameRate(0, 0), 0) << "no sample: 0, not a division by zero";
}

} // namespace
