#pragma once

#include "game/field/PibbleModifier.h"

#include <cstdint>

namespace game {

// A change of head as a step of a sequence: once reached, the pibble takes the style.
class PibbleStyleModifier : public PibbleModifier {
public:
    PibbleStyleModifier(Pibble* pibble, std::int32_t style);

    void update(std::uint32_t elapsed) override;

    static constexpr kernel::ClassInfo classInfo{&PibbleModifier::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    std::int32_t style;
};

} // namespace game
