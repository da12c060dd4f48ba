#pragma once

#include "game/field/PibbleModifier.h"

namespace game {

// The glow of a new clown (or party pibble): the glow's frames play once. The field's jumps wait for it.
class PibbleClownGlowModifier : public PibbleModifier {
public:
    explicit PibbleClownGlowModifier(Pibble* pibble);

    static constexpr kernel::ClassInfo classInfo{&PibbleModifier::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    void onStart() override;
    void onEnd() override;
};

} // namespace game
