#include "game/field/PibbleBlinkModifier.h"

#include "game/foundation/FieldCodes.h"
#include "game/foundation/GameIds.h"
#include "game/foundation/GameUtilities.h"

namespace game {

PibbleBlinkModifier::PibbleBlinkModifier(Pibble* pibble)
    : PibbleModifier(pibble, animationBit::blink, propertyInt(ids::cfgBlinkDuration), Counting::none, false) {
}

} // namespace game
