#pragma once
// Where a pibble stands in the game's frames of 100 x 125, which every part and overlay of the pibbles
// shares: the game draws each frame at the same place, the feet on its cell.

#include "tools/mkmedia/Pibble.h"
#include "tools/mkmedia/Pictures.h"

namespace mkmedia {

inline constexpr float pibbleFeetX = 48;
inline constexpr float pibbleFeetY = 101;
// The body fits the field's cells of 44 x 44; ears, hats and effects use the frame above and around it.
inline constexpr float pibbleRadius = 21;
inline constexpr float pibbleCentreY = pibbleFeetY - pibbleRadius;
// The game repaints a resting pibble down to 10 pixels below its feet: nothing may be drawn lower.
inline constexpr int pibbleLastRow = 110;

// A pibble of the look standing at rest in the frame.
inline PibblePose standingPibble(const PibbleLook* look) {
    PibblePose pose;
    pose.cx = pibbleFeetX;
    pose.ground = pibbleFeetY;
    pose.radius = pibbleRadius;
    pose.look = look;
    pose.body = look != nullptr ? look->body : pose.body;
    return pose;
}

// 0 at the first frame, 1 at the last.
inline float progress(const PictureRequest& request, int frame) {
    return request.frames > 1 ? static_cast<float>(frame) / static_cast<float>(request.frames - 1) : 0.0f;
}

// 0 at the first frame, approaching 1 at the last: for strips that loop, whose frame after the last is
// the first again.
inline float cycle(const PictureRequest& request, int frame) {
    return static_cast<float>(frame) / static_cast<float>(request.frames);
}

// The shared overlays and effects; false when `part` names none of them.
bool drawPibbleEffect(const PictureRequest& request, const std::string& part, int frame, Canvas& canvas);

} // namespace mkmedia
