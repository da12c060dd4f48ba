#pragma once

#include "game/field/PibbleModifier.h"

namespace game {

// The head-shaking "no" of a pibble that cannot be moved: ears and head take the colour's shaking
// pictures for two passes of their frames; the normal look comes back at the next paint.
class PibbleLookModifier : public PibbleModifier {
public:
    explicit PibbleLookModifier(Pibble* pibble);

    void stop() { phase = finishing; }

    static constexpr kernel::ClassInfo classInfo{&PibbleModifier::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    void onStart() override;
    void onEnd() override;
    void shake(int layer, const char* part);
};

} // namespace game
