#pragma once

#include "game/field/PibbleModifier.h"

namespace game {

// The clicked pibble drops into a hole: the hole opens, the parts hop up and fall into it behind its
// edge with a swoosh, the hole closes, and the pibble is left invisible down there. The field counts it
// as running, so a move is judged only once the pibble is gone.
class PibbleHoleModifier : public PibbleModifier {
public:
    static constexpr int depth = 100;

    explicit PibbleHoleModifier(Pibble* pibble);

    void update(std::uint32_t elapsed) override;
    bool isClosing() const { return closeStarted; }

    static constexpr kernel::ClassInfo classInfo{&PibbleModifier::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    void open();
    void fall(int dt);
    void vanish();

    bool closeStarted = false;
};

} // namespace game
