#pragma once

#include "game/field/PibbleModifier.h"

namespace game {

// A pibble climbs back out of its hole: the hole opens, the parts rise out of it once it is open and
// settle with a little bounce, and the hole closes behind them. Counted by the field as running.
class PibbleHoleRiseModifier : public PibbleModifier {
public:
    explicit PibbleHoleRiseModifier(Pibble* pibble);

    void update(std::uint32_t elapsed) override;
    bool isClosing() const { return closeStarted; }

    static constexpr kernel::ClassInfo classInfo{&PibbleModifier::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    void open();
    void rise(int dt);
    void standUp();

    int closeTimer;
    bool closeStarted = false;
};

} // namespace game
