#include "game/field/FieldCache.h"

#include "engine/graphics/ImageFactory.h"
#include "engine/kernel/Color.h"

#include <algorithm>

namespace game {

FieldCache::FieldCache(int width, int height) : width(std::max(width, 0)), height(std::max(height, 0)) {
    for (int y = 0; y < this->height; y += tileSize) {
        for (int x = 0; x < this->width; x += tileSize) {
            Tile tile;
            tile.area =
                kernel::Rect(x, y, std::min(tileSize, this->width - x), std::min(tileSize, this->height - y));
            tile.image = graphics::createImage32(tile.area.w, tile.area.h);
            if (!tile.image) {
                continue;
            }
            tile.painter = tile.image->createPainter();
            tiles.push_back(std::move(tile));
        }
    }
}

void FieldCache::repaint(const kernel::Rect& area,
                         const std::function<void(graphics::ImagePainter&, const kernel::Rect& part)>& draw) {
    for (Tile& tile : tiles) {
        kernel::Rect rows;
        kernel::Rect::intersect(area, tile.area, rows);
        if (rows.isEmpty()) {
            continue;
        }
        // The blits take a row's pixels in pairs from where the drawn row starts and copy an opaque pair
        // where they blend a lone pixel: a side within the tile that cut a sprite would leave other pixels
        // there than a repaint of the whole cache. So the rows start and end where the tile's do, as in that
        // repaint, whatever the sprites. It costs little, since a tile repainted anywhere is drawn again
        // whole on the screen; widening a side to whole pairs of each sprite it cuts instead would run from
        // sprite to sprite (the backdrop, a row of overlapping pibbles) across the field.
        const kernel::Rect part(tile.area.x, rows.y, tile.area.w, rows.h);
        graphics::ImagePainter& painter = *tile.painter;
        painter.setOrigin(-tile.area.x, -tile.area.y);
        painter.setClip(part.x - tile.area.x, part.y - tile.area.y, part.w, part.h);
        painter.setAlpha(255);
        painter.setColor(kernel::Color(0xFF000000u));
        painter.fillRect(part);
        draw(painter, part);
        painter.resetClip();
        painter.setOrigin(0, 0);
        // The 16-bit twin is converted again only when told.
        tile.image->setModified(true);
    }
}

void FieldCache::draw(graphics::ImagePainter& painter) const {
    for (const Tile& tile : tiles) {
        painter.blit(*tile.image, tile.area.x, tile.area.y);
    }
}

std::uint32_t FieldCache::pixel(int x, int y) const {
    for (const Tile& tile : tiles) {
        if (x >= tile.area.x && x < tile.area.right() && y >= tile.area.y && y < tile.area.bottom()) {
            return tile.image->pixels32()[tile.image->pixelIndex(x - tile.area.x, y - tile.area.y)];
        }
    }
    return 0;
}

} // namespace game
