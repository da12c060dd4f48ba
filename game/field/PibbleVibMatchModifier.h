#pragma once

#include "game/field/PibbleModifier.h"

namespace game {

// A VIB pibble removed: its burst plays twice, stays a moment and fades.
class PibbleVibMatchModifier : public PibbleModifier {
public:
    explicit PibbleVibMatchModifier(Pibble* pibble);

    static constexpr kernel::ClassInfo classInfo{&PibbleModifier::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    void onStart() override;
};

} // namespace game
