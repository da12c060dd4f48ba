#pragma once
// Colours as 0xRRGGBB and the little arithmetic the pictures shade with.

#include <cstdint>
#include <string>

namespace mkmedia {

using Rgb = std::uint32_t;

// "#RRGGBB" or "RRGGBB"; false for anything else.
bool parseRgb(const std::string& text, Rgb& colour);
// The colour attribute's value, or the fallback when it is absent or malformed.
Rgb rgbOr(const std::string& text, Rgb fallback);

// t 0 gives a, 1 gives b.
Rgb mix(Rgb a, Rgb b, float t);
Rgb lighter(Rgb colour, float amount);
Rgb darker(Rgb colour, float amount);
int channel(Rgb colour, int shift);

// A stable number from a text, so pictures vary with their file name but never between runs.
std::uint32_t stableHash(const std::string& text);

} // namespace mkmedia
