#pragma once
// Inside the host only: the game's picture scaled to where a larger window shows it. Bilinear, as a
// graphics card's linear filter does it (each output pixel samples the picture at its centre, edges held),
// and any part of the output comes out exactly as it would in a drawing of the whole, so that only what
// changed needs drawing again.

#include <SDL.h>

#include <cstdint>
#include <vector>

namespace host {

class PictureScaler {
public:
    // A picture of sourceWidth x sourceHeight shown at shownWidth x shownHeight.
    void setLayout(int sourceWidth, int sourceHeight, int shownWidth, int shownHeight);

    // The part of the shown picture (relative to its top-left) that a change of the picture's rectangle
    // reaches.
    SDL_Rect reachOf(const SDL_Rect& changed) const;

    // Draws the part (relative to the shown picture's top-left) from the picture (32-bit pixels whose top
    // byte is ignored, rows sourcePitch bytes apart) to target, the first pixel of the part, rows
    // targetPitch bytes apart. Written pixels are opaque XRGB.
    void draw(const std::uint32_t* source, int sourcePitch, const SDL_Rect& part, std::uint32_t* target,
              int targetPitch) const;

private:
    // The two picture pixels an output pixel reads along one axis, and the weight of the second (0..255).
    struct Tap {
        int first;
        int second;
        std::uint32_t weight;
    };
    static std::vector<Tap> tapsFor(int sourceLength, int shownLength);

    std::vector<Tap> columns;
    std::vector<Tap> rows;
    int sourceWidth = 0;
    int sourceHeight = 0;
};

} // namespace host
