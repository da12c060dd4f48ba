#pragma once

#include "game/field/PibbleModifier.h"

namespace game {

// A party pibble's party: the hat bobs and the streamers behind it turn for as long as the pibble lives.
// The animation itself ends after a few frames and leaves those running; the party bit stays, so the
// pibble is drawn layer by layer from then on.
class PibblePartyModifier : public PibbleModifier {
public:
    explicit PibblePartyModifier(Pibble* pibble);

    void update(std::uint32_t elapsed) override;

    static constexpr kernel::ClassInfo classInfo{&PibbleModifier::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    int updates = 0;
};

} // namespace game
