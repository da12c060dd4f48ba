#pragma once

#include "game/field/PibbleModifier.h"

namespace game {

// An unhappy pibble: it takes the unhappy head and shakes it for a while, a while that stands still
// while a dialog is open. One whose time runs out keeps the unhappy head; one stopped before that gets
// its normal head back.
class PibbleUnhappyModifier : public PibbleModifier {
public:
    explicit PibbleUnhappyModifier(Pibble* pibble);

    void stop() { phase = finishing; }

    static constexpr kernel::ClassInfo classInfo{&PibbleModifier::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    void onStart() override;
    void onRun(int dt) override;
    bool clockRuns() const override;
    void onEnd() override;
    void shakeHead();
};

} // namespace game
