#pragma once

#include <cstdint>

namespace ui {
class GameNode;
}

namespace game {

class ParticleEmitter;
class ParticleParams;

// The sparkles of a party match: an endless emitter over 20 x 20 pixels around its parent's origin whose
// particles are the sparkle picture ("SPARKLE" of "sceneplay", 14 frames side by side) in one colour.
class SparkleEffect {
public:
    // The emitter, added to the parent and emitting; null when the picture is not loaded or the parent
    // is missing. The colour is 0xRRGGBB (its alpha byte is not read): the sparkle's shape comes from the
    // red lane of the picture.
    static ParticleEmitter* spawn(ui::GameNode* parent, ParticleParams* params, std::uint32_t colour);
};

} // namespace game
