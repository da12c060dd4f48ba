#pragma once

#include "game/field/PibbleModifier.h"

namespace game {

// A chain breaking: the chain's frames play from the second to the last, then the chain is gone.
class PibbleDechainModifier : public PibbleModifier {
public:
    explicit PibbleDechainModifier(Pibble* pibble);

    static constexpr kernel::ClassInfo classInfo{&PibbleModifier::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    void onStart() override;
    void onEnd() override;
};

} // namespace game
