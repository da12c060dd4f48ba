#pragma once

#include "game/field/PibbleModifier.h"

namespace game {

// A stubborn pibble's sulk: the stubborn cloud's frames play twice over the normal head.
class PibbleStubbornModifier : public PibbleModifier {
public:
    explicit PibbleStubbornModifier(Pibble* pibble);

    static constexpr kernel::ClassInfo classInfo{&PibbleModifier::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    void onStart() override;
};

} // namespace game
