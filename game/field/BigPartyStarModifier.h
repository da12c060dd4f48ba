#pragma once

#include "game/field/PibbleModifier.h"

#include <memory>

namespace game {

// Three big stars fly in from the edges of the screen to a new party pibble and shrink there, one after
// the other. The stars are drawn over everything (in the scene's root); the animation ends when the
// third star has arrived, and the field's jumps wait until then.
//
// The stars outlive the animation when its pibble goes first: the last star's landing is told through a
// flag the two share, which the star holds, never through the animation itself.
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

    std::shared_ptr<bool> landed = std::make_shared<bool>(false);
};

} // namespace game
