#pragma once

#include "game/field/PibbleModifier.h"

namespace game {

// The flash of a pibble removed late in a combo: the combo picture fades in and out again.
class PibbleComboGlowModifier : public PibbleModifier {
public:
    explicit PibbleComboGlowModifier(Pibble* pibble);

    static constexpr kernel::ClassInfo classInfo{&PibbleModifier::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    void onStart() override;
};

} // namespace game
