#include "game/field/PibbleStyleModifier.h"

#include "game/field/Pibble.h"

namespace game {

PibbleStyleModifier::PibbleStyleModifier(Pibble* pibble, std::int32_t style)
    : PibbleModifier(pibble, 0, 0, Counting::none, false), style(style) {}

void PibbleStyleModifier::update(std::uint32_t /*elapsed*/) {
    if (pibble != nullptr) {
        pibble->setStyle(style);
    }
    finish();
}

} // namespace game
