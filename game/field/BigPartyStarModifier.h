#pragma once

#include "game/field/PibbleModifier.h"

namespace game {

// Three big stars fly in from the edges of the screen to a new party pibble and shrink there, one after
// the other. The stars are drawn over everything (in the scene's root); the animation ends when the
// third star has arrived, and the field's jumps wait until then.
class BigPartyStarModifier : public PibbleModifier {
public:
    static constexpr int starCount = 3;

    explicit BigPartyStarModifier(Pibble* pibble);

    void update(std::uint32_t elapsed) override;

    // Where star i starts above or below the pibble standing at y: from the side with more room, the
    // middle star from the other side while the pibble stands near the middle of the screen.
    static int startY(int i, int pibbleY);

    static constexpr kernel::ClassInfo classInfo{&PibbleModifier::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    bool launchStars();
};

} // namespace game
