#pragma once

#include "host/Sound.h"

#include <cstdint>
#include <string>

namespace ui {

// One of the two music streams that cross-fade: the playing tune or the incoming one.
struct MusicSlot {
    host::FSOUND_STREAM* stream = nullptr;
    // The channel the stream plays on; -1 once closed.
    int channel = -1;
    // The music volume; the stream plays at volume x fade.
    std::uint8_t volume = 255;
    float target = 1.0f;
    // Moves toward target by step per millisecond.
    float fade = 1.0f;
    float step = 0.0f;
    // The file of the open stream; empty when closed.
    std::string name;

    bool hasReachedTarget() const { return fade == target; }
    // volume x fade, truncated, held within 0..255 against odd fades.
    int fadedVolume() const;
};

} // namespace ui
