#pragma once

#include "game/field/PibbleModifier.h"

namespace game {

// The idle blink: the closed eyes are drawn over the head for the blink's time.
class PibbleBlinkModifier : public PibbleModifier {
public:
    explicit PibbleBlinkModifier(Pibble* pibble);

    static constexpr kernel::ClassInfo classInfo{&PibbleModifier::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }
};

} // namespace game
