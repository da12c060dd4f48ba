#pragma once

#include "game/field/PibbleModifier.h"

namespace game {

// A pibble's jump from where it stands to a target: a straight line under an arc, with a sound by its
// direction, a landing bounce at either end, dust at either end and a trail of fading copies. The field
// counts it as running from its making to its end, and it stands still while the field is paused, plays
// its party match, or runs effect animations.
class PibbleJumpModifier : public PibbleModifier {
public:
    struct Options {
        bool bounceAtStart = false;
        bool bounceAtEnd = false;
        // A fall past a removed pibble: counted under the second kind's bit.
        bool secondKind = false;
        bool trail = false;
        bool dustAtStart = false;
        bool dustAtEnd = false;
    };

    PibbleJumpModifier(Pibble* pibble, int toX, int toY, const Options& options);

    void update(std::uint32_t elapsed) override;

    // The direction code of a step by (dx, dy), y growing downwards.
    static std::int32_t directionOf(int dx, int dy);
    // The sound of a jump from y to y (none upwards on the screen).
    static const char* soundOf(int fromY, int toY);

    int getTargetX() const { return toX; }
    int getTargetY() const { return toY; }
    const Options& getOptions() const { return options; }

    static constexpr kernel::ClassInfo classInfo{&PibbleModifier::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    bool standsStill() const;
    void takeOff();
    void step(int dt);
    void leaveCopy(int x, int y);
    void land();
    void startDust(int x, int y);

    int fromX = 0;
    int fromY = 0;
    int toX;
    int toY;
    int elapsedTime = 0;
    int duration;
    int height;
    int lastX = 0;
    int lastY = 0;
    int trailInterval = 0;
    int lastTrailX = 0;
    Options options;
};

} // namespace game
