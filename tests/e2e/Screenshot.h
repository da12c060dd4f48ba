#pragma once
// The screen of the virtual X server as the game shows it: taken with xwd and read from its dump format.

#include <cstdint>
#include <string>
#include <vector>

namespace e2e {

struct Rgb {
    int r = 0;
    int g = 0;
    int b = 0;
};

// Each channel within tolerance.
bool closeTo(Rgb a, Rgb b, int tolerance);

// 0x00RRGGBB as the engine's 32-bit images hold their colour.
Rgb fromArgb(std::uint32_t pixel);

class Screenshot {
public:
    // The whole root window; empty (width 0) when xwd fails or its dump cannot be read.
    static Screenshot takeRoot(const std::string& scratchFile);
    // From the bytes of an X window dump in Z format of 24 or 32 bits per pixel.
    static Screenshot parse(const std::string& bytes);

    int width() const { return columns; }
    int height() const { return rows; }
    bool empty() const { return pixels.empty(); }
    // Black outside the picture.
    Rgb at(int x, int y) const;

private:
    int columns = 0;
    int rows = 0;
    std::vector<Rgb> pixels;
};

} // namespace e2e
