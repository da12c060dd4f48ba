#pragma once

#include "game/field/PibbleModifier.h"

namespace game {

// A VIB pibble's shine: the shine's frames play once.
class PibbleVibShineModifier : public PibbleModifier {
public:
    explicit PibbleVibShineModifier(Pibble* pibble);

    static constexpr kernel::ClassInfo classInfo{&PibbleModifier::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    void onStart() override;
};

} // namespace game
