#pragma once
// What the contact sheet is made of: the pictures the manifest made, found again by what their entries
// say, and the labelled tiles of frames and titled sections that the sheet lays out.

#include "engine/graphics/MemoryImage32.h"
#include "engine/kernel/SmartPtr.h"
#include "tools/mkmedia/Canvas.h"
#include "tools/mkmedia/Generators.h"

#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace mkmedia {

// A pibble's frame; a missing strip shows as an empty frame of this size.
inline constexpr int frameWidth = 100;
inline constexpr int frameHeight = 125;
inline constexpr int frameGap = 2;
inline constexpr int labelHeight = 17;

struct Strip {
    kernel::SmartPtr<graphics::MemoryImage32> image;
    int frames = 1;
    int width = 0;
    int height = 0;
    bool across = false;
};

// A labelled run of frames; frames share the tile's row.
struct Tile {
    std::string label;
    std::vector<Canvas> frames;

    int width() const {
        int total = 0;
        for (const Canvas& frame : frames) {
            total += frame.width() + frameGap;
        }
        return std::max(total - frameGap, 0);
    }
    int height() const {
        int tallest = 0;
        for (const Canvas& frame : frames) {
            tallest = std::max(tallest, frame.height());
        }
        return labelHeight + tallest;
    }
};

struct Section {
    std::string title;
    std::vector<Tile> tiles;
};

// The generated PNG pictures, found by kind, look, part and collectable, or by their file.
class Pictures {
public:
    Pictures(const std::vector<Entry>& entries, const Context& context);

    const Strip* find(const std::string& kind, const std::string& look, const std::string& part,
                      const std::string& number = {}) const;
    const Strip* pibble(const std::string& look, const std::string& part) const {
        return find("pibble", look, part);
    }
    // By the entry's "file", relative to the output folder.
    const Strip* file(const std::string& name) const;

    // A frame of the strip on a canvas of its own; an empty frame of a pibble's size for a missing strip.
    static Canvas frame(const Strip* strip, int index);

private:
    static std::string keyOf(const std::string& kind, const std::string& look, const std::string& part,
                             const std::string& number);

    std::map<std::string, Strip> strips;
    std::map<std::string, Strip> files;
};

// A frame of the picture made as the file, by its index in the strip.
Canvas frameOf(const Pictures& pictures, const std::string& file, int index = 0);
// An opaque canvas of one colour.
Canvas filled(int width, int height, Rgb colour);
// The picture over an opaque ground of the colour.
Canvas on(const Canvas& picture, Rgb ground);
// A full game-screen picture the manifest made as a JPEG file, over an opaque sky-blue ground (all the
// ground when the file is missing or of another size).
Canvas jpegScene(const Context& context, const std::string& file);

} // namespace mkmedia
