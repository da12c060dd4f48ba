#include "tools/mkmedia/Colors.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace mkmedia {

bool parseRgb(const std::string& text, Rgb& colour) {
    const std::string digits = !text.empty() && text.front() == '#' ? text.substr(1) : text;
    if (digits.size() != 6 || !std::all_of(digits.begin(), digits.end(), [](char c) {
            return std::isxdigit(static_cast<unsigned char>(c)) != 0;
        })) {
        return false;
    }
    colour = static_cast<Rgb>(std::stoul(digits, nullptr, 16));
    return true;
}

Rgb rgbOr(const std::string& text, Rgb fallback) {
    Rgb colour = 0;
    return parseRgb(text, colour) ? colour : fallback;
}

int channel(Rgb colour, int shift) {
    return static_cast<int>((colour >> shift) & 0xFF);
}

Rgb mix(Rgb a, Rgb b, float t) {
    const float u = std::clamp(t, 0.0f, 1.0f);
    Rgb result = 0;
    for (const int shift : {16, 8, 0}) {
        const float value =
            static_cast<float>(channel(a, shift)) * (1 - u) + static_cast<float>(channel(b, shift)) * u;
        result |= static_cast<Rgb>(std::lround(value)) << shift;
    }
    return result;
}

Rgb lighter(Rgb colour, float amount) {
    return mix(colour, 0xFFFFFF, amount);
}

Rgb darker(Rgb colour, float amount) {
    return mix(colour, 0x000000, amount);
}

std::uint32_t stableHash(const std::string& text) {
    // FNV-1a: small, and the same on every platform.
    std::uint32_t hash = 2166136261u;
    for (const char c : text) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
    }
    return hash;
}

} // namespace mkmedia
