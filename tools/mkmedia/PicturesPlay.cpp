// The play scene's own pictures: the captions that float over the field (scores are drawn with the
// floater fonts) and the padlock over a hint button that cannot be used.
#include "tools/mkmedia/Pictures.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace mkmedia {

namespace {

constexpr Rgb nightShade = 0x2A1A3A;

// The rectangle of a picture's visible pixels.
struct Ink {
    int x = 0;
    int y = 0;
    int w = 0;
    int h = 0;
};

Ink inkOf(const graphics::MemoryImage32& picture) {
    int left = picture.getWidth();
    int top = picture.getHeight();
    int right = -1;
    int bottom = -1;
    for (int y = 0; y < picture.getHeight(); ++y) {
        for (int x = 0; x < picture.getWidth(); ++x) {
            if ((picture.pixels32()[picture.pixelIndex(x, y)] >> 24) != 0) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    return right < 0 ? Ink{} : Ink{left, top, right - left + 1, bottom - top + 1};
}

// The layer's pixels as one soft shape of the colour: its alpha blurred by `radius` and strengthened by
// `strength`, for glows and shadows behind it.
Canvas haloOf(const Canvas& layer, Rgb colour, int radius, float strength) {
    Canvas halo(layer.width(), layer.height());
    halo.copyFrom(layer, 0, 0);
    std::uint32_t* pixels = halo.image().pixels32();
    const int count = halo.width() * halo.height();
    for (int i = 0; i < count; ++i) {
        pixels[i] = (pixels[i] & 0xFF000000u) | colour;
    }
    blurLane(halo.image(), 0, radius);
    for (int i = 0; i < count; ++i) {
        const auto alpha = std::min(255L, std::lround(static_cast<float>(pixels[i] >> 24) * strength));
        pixels[i] = alpha == 0 ? 0 : (pixels[i] & 0x00FFFFFFu) | static_cast<std::uint32_t>(alpha) << 24;
    }
    return halo;
}

// The glow's blur grows with the letters; two box passes reach twice the radius.
int glowRadius(const Ink& ink) {
    return std::max(2, ink.h / 12);
}

int shadowDrop(const Ink& ink) {
    return std::max(1, ink.h / 16);
}

// How far the glow and shadow reach past the letters on every side.
int haloReach(const Ink& ink) {
    return 2 * glowRadius(ink) + shadowDrop(ink) + 1;
}

} // namespace

bool floaterFits(const PictureRequest& request, std::string& error) {
    if (!request.caption) {
        error = "a floater needs its \"text\"";
        return false;
    }
    const Ink ink = inkOf(*request.caption);
    const int needW = ink.w + 2 * haloReach(ink);
    const int needH = ink.h + 2 * haloReach(ink);
    if (request.width < needW || request.height < needH) {
        error = "the caption needs a picture of " + std::to_string(needW) + " x " + std::to_string(needH);
        return false;
    }
    return true;
}

// The letters' middle on the picture's, since the game draws a floater about its centre and scales it
// there; behind them a dark shadow dropped a little and a pale glow of their own colour, so the caption
// reads on light ground and dark alike.
void drawFloater(const PictureRequest& request, int, Canvas& canvas) {
    if (!request.caption) {
        return;
    }
    const Ink ink = inkOf(*request.caption);
    const float middleX = static_cast<float>(ink.x) + static_cast<float>(ink.w) / 2;
    const float middleY = static_cast<float>(ink.y) + static_cast<float>(ink.h) / 2;
    Canvas letters(canvas.width(), canvas.height());
    letters.stamp(*request.caption,
                  static_cast<int>(std::lround(static_cast<float>(canvas.width()) / 2 - middleX)),
                  static_cast<int>(std::lround(static_cast<float>(canvas.height()) / 2 - middleY)));
    const Rgb glow = lighter(rgbOr(request.entry.text("textcolor"), 0xFFFFFF), 0.7f);
    canvas.stamp(haloOf(letters, nightShade, glowRadius(ink), 0.9f).image(), 0, shadowDrop(ink));
    canvas.stamp(haloOf(letters, glow, glowRadius(ink), 1.6f).image(), 0, 0);
    canvas.stamp(letters.image(), 0, 0);
}

// A padlock in the lower right, where it covers the button's edge but leaves its symbol readable, on a
// soft dark shadow so it stands out on any button colour.
void drawLock(const PictureRequest&, int, Canvas& canvas) {
    const float size = static_cast<float>(std::min(canvas.width(), canvas.height()));
    Canvas lock(canvas.width(), canvas.height());
    drawPadlock(lock, static_cast<float>(canvas.width()) - size * 0.26f,
                static_cast<float>(canvas.height()) - size * 0.33f, 0, 255, size / 30);
    canvas.stamp(haloOf(lock, nightShade, std::max(1, static_cast<int>(size / 24)), 0.8f).image(), 0, 1);
    canvas.stamp(lock.image(), 0, 0);
}

} // namespace mkmedia
