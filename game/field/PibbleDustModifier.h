#pragma once

#include "game/field/PibbleModifier.h"

namespace game {

// A cloud of dust where a pibble takes off or lands: the dust's frames play once at that point (in the
// pibble's parent's coordinates), after a start delay.
class PibbleDustModifier : public PibbleModifier {
public:
    PibbleDustModifier(Pibble* pibble, int x, int y, int startDelay = 0);

    int getPointX() const { return x; }
    int getPointY() const { return y; }

    static constexpr kernel::ClassInfo classInfo{&PibbleModifier::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    void onStart() override;
    void onEnd() override;

    int x;
    int y;
    int startDelay;
};

} // namespace game
