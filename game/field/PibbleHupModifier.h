#pragma once

#include "game/field/PibbleModifier.h"

namespace game {

// A hop in place: up under an arc and down where it started, with a landing bounce at either end and its
// sound when the sound is on. Not counted by the field, and it runs on while the field is paused.
class PibbleHupModifier : public PibbleModifier {
public:
    explicit PibbleHupModifier(Pibble* pibble);

    void update(std::uint32_t elapsed) override;

    void setBounces(bool atStart, bool atEnd) {
        bounceAtStart = atStart;
        bounceAtEnd = atEnd;
    }

    static constexpr kernel::ClassInfo classInfo{&PibbleModifier::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    void takeOff();
    void step(int dt);
    void standAtStart();

    int startX = 0;
    int startY = 0;
    int elapsedTime = 0;
    int duration;
    int height;
    bool bounceAtStart = false;
    bool bounceAtEnd = false;
};

} // namespace game
