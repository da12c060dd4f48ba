#pragma once

#include "engine/graphics/ImagePainter.h"
#include "engine/graphics/MemoryImage32.h"
#include "engine/kernel/Rect.h"
#include "engine/kernel/SmartPtr.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace game {

// The field renderer's picture of the resting board, 32-bit and opaque, kept as a grid of tiles. Each
// frame draws all of it; a repaint changes only the tiles it reaches. The scene renderer redraws only
// what differs from the last frame, and a tile it has drawn before with the same pixels is no difference:
// so a pibble that moves costs the tiles around it, not the whole screen (nor the whole 16-bit twin).
class FieldCache {
public:
    static constexpr int tileSize = 80;

    FieldCache(int width, int height);

    // Clears the area's rows (clipped to the cache) to black across the whole width of each tile they reach,
    // then lets draw paint them tile by tile: through a painter whose origin is the cache's top-left corner
    // and whose clip keeps it inside that part of the tile, which draw is handed too.
    void repaint(const kernel::Rect& area,
                 const std::function<void(graphics::ImagePainter&, const kernel::Rect& part)>& draw);
    // Every tile at the painter's origin, at the painter's alpha.
    void draw(graphics::ImagePainter& painter) const;

    int getWidth() const { return width; }
    int getHeight() const { return height; }
    // 0 outside the cache.
    std::uint32_t pixel(int x, int y) const;

private:
    struct Tile {
        kernel::Rect area;
        kernel::SmartPtr<graphics::MemoryImage32> image;
        kernel::SmartPtr<graphics::ImagePainter> painter;
    };

    int width;
    int height;
    std::vector<Tile> tiles;
};

} // namespace game
