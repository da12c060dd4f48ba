#include "engine/ui/FadeModifier.h"

#include "engine/ui/Sprite.h"

namespace ui {

FadeModifier::FadeModifier(int from, int to, int duration)
    : from(from), to(to), current(static_cast<float>(from)), duration(duration) {}

void FadeModifier::update(std::uint32_t elapsed) {
    if (elapsedTime >= duration) {
        current = static_cast<float>(to);
        elapsedTime = duration;
        finish();
    } else {
        const float fraction = static_cast<float>(elapsedTime) / static_cast<float>(duration);
        current = static_cast<float>(from) + static_cast<float>(to - from) * fraction;
    }
    if (node != nullptr) {
        static_cast<Sprite*>(node)->setAlpha(static_cast<int>(current));
    }
    elapsedTime += static_cast<int>(elapsed);
}

} // namespace ui
