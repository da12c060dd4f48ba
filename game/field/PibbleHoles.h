#pragma once
// What the two hole animations share: the parts that go down the hole and the hole's pictures.

#include "game/foundation/FieldCodes.h"

namespace game {

class Pibble;

// The parts that drop into the hole and rise out of it.
inline constexpr int holeParts[] = {pibbleLayer::ears, pibbleLayer::head, pibbleLayer::body,
                                    pibbleLayer::feet};

// The hole layer takes the picture (4 frames) and plays its frames once.
void showHole(Pibble& pibble, const char* picture);
void clearHole(Pibble& pibble);

} // namespace game
