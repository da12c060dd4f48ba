#pragma once

namespace game {

class Pibble;

// The squat of a pibble landing or taking off, over `duration` ms: body, head and ears dip 4 pixels and
// come back, the head and the ears a little after the body, and the pibble's own modifiers wait the whole
// time. Everything goes in front of what the parts and the pibble run already, so a jump that asks for it
// stands still until the bounce is over.
void addLandingBounce(Pibble& pibble, int duration);

} // namespace game
