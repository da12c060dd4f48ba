#pragma once

#include "game/field/PibbleModifier.h"

namespace game {

// A stubborn pibble removed: its burst plays, stays a moment and fades.
class PibbleStubbornMatchModifier : public PibbleModifier {
public:
    explicit PibbleStubbornMatchModifier(Pibble* pibble);

    static constexpr kernel::ClassInfo classInfo{&PibbleModifier::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    void onStart() override;
};

} // namespace game
