#include "engine/ui/MusicSlot.h"

#include <algorithm>

namespace ui {

int MusicSlot::fadedVolume() const {
    const float faded = std::clamp(static_cast<float>(volume) * fade, 0.0f, 255.0f);
    return static_cast<int>(faded);
}

} // namespace ui
