#pragma once

#include "game/field/PibbleModifier.h"

namespace game {

// Fades the whole pibble from one alpha to another. A VIB pibble whose shine runs meanwhile loses its
// glow's pulse, and gets it back at the end when it ends fully opaque.
class PibbleAlphaModifier : public PibbleModifier {
public:
    PibbleAlphaModifier(Pibble* pibble, int from, int to, int duration);

    void update(std::uint32_t elapsed) override;

    static constexpr kernel::ClassInfo classInfo{&PibbleModifier::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    void fadeStep(int dt);
    void endFade();

    int from;
    int to;
    int duration;
    int elapsedTime = 0;
};

} // namespace game
