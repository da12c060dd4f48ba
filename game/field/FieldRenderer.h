#pragma once

#include "engine/kernel/Rect.h"
#include "engine/kernel/SmartPtr.h"
#include "engine/ui/Sprite.h"
#include "game/field/FieldCache.h"

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace game {

class FieldSprite;

// Draws the board. Its sprites live in three layers under it, which the scene's renderer never draws:
// the background (the backdrop and the decorations under the pibbles), the field (resting pibbles and
// the other decorations) and the top (animated pibbles). The first two are kept in a cache picture that
// is repainted only inside two dirty rectangles, a left and a right one split at a fixed x so that a
// change in the queue column does not widen the field's; the top layer is drawn live over the cache,
// only where its sprites are.
//
// Everything here is in the layers' coordinates, which lie at the renderer's position; the cache covers
// 640 x 480 of them. Each frame draws two passes over the field and top layers merged in paint order:
// first every sprite's shadow, then the sprites, so that no shadow covers a neighbour.
class FieldRenderer : public ui::Sprite {
public:
    static constexpr int cacheWidth = 640;
    static constexpr int cacheHeight = 480;

    // True while the album's pictures cover the board. The album lives in the front end, which installs
    // this; without one the board is never hidden by the album.
    using AlbumBlockingHook = bool (*)();
    static void setAlbumBlockingHook(AlbumBlockingHook hook);

    // Made and destroyed with the field; a second create keeps the first renderer.
    static FieldRenderer* create();
    static FieldRenderer* instance();
    static void destroy();

    FieldRenderer();
    ~FieldRenderer() override;

    // Each marks the sprite's bounds dirty and queues it for its layer; it moves there (out of any other
    // layer) at the next paint. The last of these calls for a sprite before that paint decides its layer.
    void addBackgroundItem(FieldSprite* sprite);
    void addFieldItem(FieldSprite* sprite);
    void addTopItem(FieldSprite* sprite);
    // Takes a killed sprite out of the queues, so no paint links it again: the cleaner's unlinking clears its
    // dead mark, and a frame that cleans before it paints (or does not paint) would bring it back.
    void forget(const FieldSprite* sprite);

    // Pibbles standing above the field's top row, falling in or jumping off, are drawn only from the
    // ceiling down: the scene's top bar lies above it, and they pass behind the bar instead of showing
    // between and through its parts. Those on the field, hopping ones too, are drawn whole, wherever their
    // ears reach. A ceiling of 0 cuts nothing.
    void setCeiling(int y);
    int getCeiling() const { return ceiling; }
    // Where the pibbles of the field's top row stand (their feet).
    void setTopRowGround(int y);
    int getTopRowGround() const { return topRowGround; }

    // Joins the rectangle to the right dirty rectangle when it starts at or beyond the border, else to the
    // left one. An empty rectangle marks nothing.
    void invalidate(const kernel::Rect& rect);
    // Both halves dirty over the whole cache (true), or both clean and empty (false).
    void invalidateAll(bool flag);

    // Queued sprites enter their layers; unless the board is hidden, the cache is repainted where dirty,
    // drawn whole, and the animated sprites are drawn over it.
    void paint(graphics::ImagePainter& painter) override;
    // Repaints the dirty parts of the cache and clears both halves.
    void repaintCache();
    // Puts the layer back into paint order when it is out of it; nothing when it holds.
    static void sortLayer(ui::GameNode& layer);

    ui::GameNode& getBackgroundLayer() const { return *layers[background]; }
    ui::GameNode& getFieldLayer() const { return *layers[field]; }
    ui::GameNode& getTopLayer() const { return *layers[top]; }
    int backgroundCount() const { return countOf(background); }
    int fieldCount() const { return countOf(field); }
    int topCount() const { return countOf(top); }

    int getBorder() const { return border; }
    bool isLeftDirty() const { return leftDirty; }
    bool isRightDirty() const { return rightDirty; }
    const kernel::Rect& getLeftRect() const { return leftRect; }
    const kernel::Rect& getRightRect() const { return rightRect; }
    const FieldCache& getCache() const { return cache; }

    static constexpr kernel::ClassInfo classInfo{&ui::Sprite::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    enum Layer : int { background = 0, field = 1, top = 2 };

    void queue(FieldSprite* sprite, Layer layer);
    void insertWaiting();
    static void insertSorted(ui::GameNode& layer, FieldSprite& sprite);
    static bool isBoardHidden();
    void paintPiece(FieldSprite& sprite, graphics::ImagePainter& painter, bool shadow) const;
    void paintWhole(graphics::ImagePainter& painter);
    void drawOver(graphics::ImagePainter& painter, const FieldCache& picture);
    // Each area (clipped to the cache) of the target repainted from the background and field layers.
    void repaintInto(FieldCache& target, const std::vector<kernel::Rect>& areas);
    void composeHalf(graphics::ImagePainter& painter, bool leftHalf);
    int countOf(Layer layer) const;

    std::array<kernel::SmartPtr<ui::GameNode>, 3> layers;
    std::array<std::vector<kernel::SmartPtr<FieldSprite>>, 3> waiting;
    FieldCache cache;
    // The frame check's: repainted whole whenever it draws.
    std::unique_ptr<FieldCache> wholeCache;
    bool leftDirty = false;
    bool rightDirty = false;
    kernel::Rect leftRect;
    kernel::Rect rightRect;
    int border;
    int ceiling = 0;
    int topRowGround = 0;
};

} // namespace game
