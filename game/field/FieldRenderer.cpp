#include "game/field/FieldRenderer.h"

#include "engine/graphics/ImagePainter.h"
#include "engine/ui/FrameCheck.h"
#include "engine/ui/Scene.h"
#include "game/field/FieldSprite.h"
#include "game/foundation/GameIds.h"
#include "game/foundation/GameUtilities.h"

#include <algorithm>

namespace game {

namespace {

FieldRenderer* current = nullptr;
FieldRenderer::AlbumBlockingHook albumBlocking = nullptr;

FieldSprite* fieldSpriteOf(ui::GameNode* node) {
    return node != nullptr && node->isKindOf(FieldSprite::classInfo) ? static_cast<FieldSprite*>(node)
                                                                     : nullptr;
}

// The level's decorations keep the whole picture; everything else on the board is a piece.
bool isDecoration(const FieldSprite& sprite) {
    const int kind = sprite.fieldSpriteKind();
    return kind == FieldSprite::Item || kind == FieldSprite::LevelElement;
}

bool isShown(const FieldSprite& sprite) {
    return !sprite.isDead() && sprite.isVisible();
}

std::vector<FieldSprite*> spritesOf(const ui::GameNode& layer) {
    std::vector<FieldSprite*> sprites;
    for (ui::GameNode* child = layer.getFirstChild(); child != nullptr; child = child->getNextSibling()) {
        if (FieldSprite* sprite = fieldSpriteOf(child)) {
            sprites.push_back(sprite);
        }
    }
    return sprites;
}

// The sprites of the layer that reach into the area, each drawn with its children.
void paintLayerWithin(const ui::GameNode& layer, graphics::ImagePainter& painter, const kernel::Rect& area) {
    for (FieldSprite* sprite : spritesOf(layer)) {
        if (sprite->updateBounds().intersects(area)) {
            sprite->paintTree(painter);
        }
    }
}

// The two layers as one list in paint order; a resting sprite goes before an animated one it ties with.
std::vector<FieldSprite*> merged(const ui::GameNode& fieldLayer, const ui::GameNode& topLayer) {
    const std::vector<FieldSprite*> resting = spritesOf(fieldLayer);
    const std::vector<FieldSprite*> moving = spritesOf(topLayer);
    std::vector<FieldSprite*> all;
    all.reserve(resting.size() + moving.size());
    std::merge(resting.begin(), resting.end(), moving.begin(), moving.end(), std::back_inserter(all),
               [](const FieldSprite* a, const FieldSprite* b) { return paintsAfter(*b, *a); });
    return all;
}

} // namespace

void FieldRenderer::setAlbumBlockingHook(AlbumBlockingHook hook) {
    albumBlocking = hook;
}

FieldRenderer* FieldRenderer::create() {
    if (current == nullptr) {
        current = new FieldRenderer();
        current->addRef();
    }
    return current;
}

FieldRenderer* FieldRenderer::instance() {
    return current;
}

void FieldRenderer::destroy() {
    FieldRenderer* renderer = current;
    current = nullptr;
    if (renderer != nullptr) {
        renderer->release();
    }
}

FieldRenderer::FieldRenderer() : cache(cacheWidth, cacheHeight), border(propertyInt(ids::cfgRenderBorder)) {
    for (kernel::SmartPtr<ui::GameNode>& layer : layers) {
        layer = new ui::GameNode();
        layer->setVisible(false);
    }
    addChild(layers[field].get());
    addChild(layers[background].get());
    addChild(layers[top].get());
}

FieldRenderer::~FieldRenderer() = default;

void FieldRenderer::addBackgroundItem(FieldSprite* sprite) {
    queue(sprite, background);
}

void FieldRenderer::addFieldItem(FieldSprite* sprite) {
    queue(sprite, field);
}

void FieldRenderer::addTopItem(FieldSprite* sprite) {
    queue(sprite, top);
}

// A sprite queued for two layers before one paint (an animation started and ended in one frame) would
// otherwise end in whichever layer is filled last, not in the one asked for last.
void FieldRenderer::queue(FieldSprite* sprite, Layer layer) {
    if (sprite == nullptr) {
        return;
    }
    invalidate(sprite->updateBounds());
    forget(sprite);
    waiting[layer].emplace_back(sprite);
}

void FieldRenderer::forget(const FieldSprite* sprite) {
    for (std::vector<kernel::SmartPtr<FieldSprite>>& list : waiting) {
        std::erase_if(list,
                      [sprite](const kernel::SmartPtr<FieldSprite>& held) { return held.get() == sprite; });
    }
}

void FieldRenderer::setCeiling(int y) {
    if (y != ceiling) {
        ceiling = y;
        invalidateAll(true);
    }
}

void FieldRenderer::setTopRowGround(int y) {
    if (y != topRowGround) {
        topRowGround = y;
        invalidateAll(true);
    }
}

void FieldRenderer::invalidate(const kernel::Rect& rect) {
    if (rect.isEmpty()) {
        return;
    }
    if (rect.x >= border) {
        rightRect = rightDirty ? kernel::Rect::joined(rightRect, rect) : rect;
        rightDirty = true;
    } else {
        leftRect = leftDirty ? kernel::Rect::joined(leftRect, rect) : rect;
        leftDirty = true;
    }
}

void FieldRenderer::invalidateAll(bool flag) {
    leftDirty = flag;
    rightDirty = flag;
    const kernel::Rect area = flag ? kernel::Rect(0, 0, cacheWidth, cacheHeight) : kernel::Rect();
    leftRect = area;
    rightRect = area;
}

void FieldRenderer::insertWaiting() {
    for (int layer : {background, field, top}) {
        // Taken first: inserting may free a sprite whose last holder was its old layer.
        std::vector<kernel::SmartPtr<FieldSprite>> sprites = std::move(waiting[layer]);
        waiting[layer].clear();
        for (const kernel::SmartPtr<FieldSprite>& sprite : sprites) {
            // Linking would revive a sprite that was killed while it waited.
            if (!sprite->isDead()) {
                insertSorted(*layers[layer], *sprite);
            }
        }
    }
}

// Before the first sprite that paints after it, so a new sprite goes after those it ties with.
void FieldRenderer::insertSorted(ui::GameNode& layer, FieldSprite& sprite) {
    for (ui::GameNode* child = layer.getFirstChild(); child != nullptr; child = child->getNextSibling()) {
        FieldSprite* other = fieldSpriteOf(child);
        if (other != nullptr && other != &sprite && paintsAfter(*other, sprite)) {
            child->insertBefore(&sprite);
            return;
        }
    }
    layer.addChild(&sprite);
}

void FieldRenderer::sortLayer(ui::GameNode& layer) {
    const std::vector<FieldSprite*> sprites = spritesOf(layer);
    const auto outOfOrder = std::adjacent_find(
        sprites.begin(), sprites.end(), [](FieldSprite* a, FieldSprite* b) { return paintsAfter(*a, *b); });
    if (outOfOrder == sprites.end()) {
        return;
    }
    std::vector<kernel::SmartPtr<FieldSprite>> held(sprites.begin(), sprites.end());
    std::stable_sort(held.begin(), held.end(),
                     [](const kernel::SmartPtr<FieldSprite>& a, const kernel::SmartPtr<FieldSprite>& b) {
                         return paintsAfter(*b, *a);
                     });
    for (const kernel::SmartPtr<FieldSprite>& sprite : held) {
        layer.addChild(sprite.get());
    }
}

bool FieldRenderer::isBoardHidden() {
    ui::Scene* scene = currentScene();
    if (scene != nullptr && scene->isDialogOpen(ids::dialogProgress)) {
        return true;
    }
    return albumBlocking != nullptr && albumBlocking();
}

void FieldRenderer::paint(graphics::ImagePainter& painter) {
    if (ui::FrameCheck::drawingWhole()) {
        paintWhole(painter);
        return;
    }
    insertWaiting();
    if (isBoardHidden()) {
        return;
    }
    if (leftDirty || rightDirty) {
        repaintCache();
    }
    drawOver(painter, cache);
}

// What the board would show were its cache repainted whole: a cache of its own, so that neither the cache
// nor the queues change.
void FieldRenderer::paintWhole(graphics::ImagePainter& painter) {
    if (isBoardHidden()) {
        return;
    }
    if (!wholeCache) {
        wholeCache = std::make_unique<FieldCache>(cacheWidth, cacheHeight);
    }
    repaintInto(*wholeCache, {kernel::Rect(0, 0, cacheWidth, cacheHeight)});
    drawOver(painter, *wholeCache);
}

// The cache at the renderer's place, then the animated sprites over it.
void FieldRenderer::drawOver(graphics::ImagePainter& painter, const FieldCache& picture) {
    const int originX = painter.getOriginX();
    const int originY = painter.getOriginY();
    const int alpha = painter.getAlpha();
    painter.setOrigin(originX + getX(), originY + getY());
    painter.setAlpha(getAlpha());
    picture.draw(painter);
    painter.setAlpha(alpha);
    composeHalf(painter, true);
    composeHalf(painter, false);
    painter.setOrigin(originX, originY);
}

// The painter's origin is the layers'.
void FieldRenderer::composeHalf(graphics::ImagePainter& painter, bool leftHalf) {
    kernel::Rect area;
    for (FieldSprite* sprite : spritesOf(*layers[top])) {
        const kernel::Rect bounds = sprite->updateBounds();
        if (isShown(*sprite) && (bounds.x < border) == leftHalf) {
            area = kernel::Rect::joined(area, bounds);
        }
    }
    if (area.isEmpty()) {
        return;
    }
    const kernel::Rect clip = painter.getClip();
    painter.intersectClip(area.x + painter.getOriginX(), area.y + painter.getOriginY(), area.w, area.h);
    paintLayerWithin(*layers[background], painter, area);
    sortLayer(*layers[top]);
    const std::vector<FieldSprite*> sprites = merged(*layers[field], *layers[top]);
    for (FieldSprite* sprite : sprites) {
        if (isShown(*sprite) && sprite->updateBounds().intersects(area)) {
            paintPiece(*sprite, painter, true);
        }
    }
    for (FieldSprite* sprite : sprites) {
        if (sprite->updateBounds().intersects(area)) {
            paintPiece(*sprite, painter, false);
        }
    }
    painter.setClip(clip);
}

// A piece above the top row is cut at the ceiling; the painter's origin is the layers'.
void FieldRenderer::paintPiece(FieldSprite& sprite, graphics::ImagePainter& painter, bool shadow) const {
    const bool cut = ceiling > 0 && sprite.getY() < topRowGround && !isDecoration(sprite);
    const kernel::Rect clip = painter.getClip();
    if (cut) {
        const int top = painter.getOriginY() + ceiling;
        painter.intersectClip(clip.x, top, clip.w, clip.bottom() - top);
    }
    if (shadow) {
        sprite.paintShadow(painter);
    } else {
        sprite.paintTree(painter);
    }
    if (cut) {
        painter.setClip(clip);
    }
}

// Each tile gets only the sprites that reach it: a sprite draws nothing outside its bounds, and a large
// dirty area spans many tiles.
void FieldRenderer::repaintCache() {
    std::vector<kernel::Rect> areas;
    for (const auto& [dirty, rect] : {std::pair{leftDirty, leftRect}, std::pair{rightDirty, rightRect}}) {
        if (dirty) {
            areas.push_back(rect);
        }
    }
    repaintInto(cache, areas);
    invalidateAll(false);
}

void FieldRenderer::repaintInto(FieldCache& target, const std::vector<kernel::Rect>& areas) {
    const kernel::Rect whole(0, 0, cacheWidth, cacheHeight);
    std::vector<std::pair<FieldSprite*, kernel::Rect>> resting;
    for (const Layer layer : {background, field}) {
        for (FieldSprite* sprite : spritesOf(*layers[layer])) {
            resting.emplace_back(sprite, sprite->updateBounds());
        }
    }
    for (const kernel::Rect& rect : areas) {
        kernel::Rect area;
        kernel::Rect::intersect(rect, whole, area);
        if (area.isEmpty()) {
            continue;
        }
        target.repaint(area, [&](graphics::ImagePainter& painter, const kernel::Rect& part) {
            for (const auto& [sprite, bounds] : resting) {
                if (bounds.intersects(part)) {
                    paintPiece(*sprite, painter, false);
                }
            }
        });
    }
}

int FieldRenderer::countOf(Layer layer) const {
    int count = 0;
    for (ui::GameNode* child = layers[layer]->getFirstChild(); child != nullptr;
         child = child->getNextSibling()) {
        ++count;
    }
    return count;
}

} // namespace game
