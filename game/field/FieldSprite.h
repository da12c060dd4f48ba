#pragma once

#include "engine/kernel/Rect.h"
#include "engine/kernel/SmartPtr.h"
#include "engine/ui/Sprite.h"

#include <cstdint>

namespace game {

// The base of every sprite on the board. The field renderer, not the scene's renderer, draws it: kept in
// one of the renderer's layers in paint order, repainted where its bounds say.
//
// The node's y is the sprite's ground line, which decides the paint order; the depth offset lifts the
// drawing above it (a jumping pibble) without moving the ground. So a sprite is drawn at y - depthOffset
// and sorted by y, then by its depth offset.
class FieldSprite : public ui::Sprite {
public:
    enum Kind : int { Plain = 0, Item = 1, LevelElement = 2, PibbleKind = 3 };

    FieldSprite();
    FieldSprite(int x, int y, graphics::ImageBase* image);
    ~FieldSprite() override;

    // Drawn at the lifted position.
    void paint(graphics::ImagePainter& painter) override;
    // The anchored frame rectangle at the lifted position; with a hit mask, only where the mask allows.
    bool containsPoint(int px, int py) const override;

    virtual void setDepthOffset(int value) { depthOffset = value; }
    virtual int getDepthOffset() const { return depthOffset; }
    virtual int fieldSpriteKind() const { return Plain; }
    // The renderer's first pass draws every shadow before any sprite, so no shadow covers a neighbour.
    virtual void paintShadow(graphics::ImagePainter& painter) { (void)painter; }
    // Recomputes and returns the rectangle the renderer repaints for this sprite, in the coordinates of
    // the renderer's layers (the sprite's own x and y).
    virtual kernel::Rect updateBounds();

    // Null removes the mask.
    void setHitMask(graphics::ImageBase* mask);
    graphics::ImageBase* getHitMask() const { return hitMask.get(); }
    void setDirection(int value) { direction = value; }
    int getDirection() const { return direction; }
    int getDrawnY() const { return getY() - depthOffset; }
    const kernel::Rect& getBounds() const { return bounds; }
    // Counts the field sprites made in this run: the first is 1.
    std::uint32_t getSerial() const { return serial; }

    static constexpr kernel::ClassInfo classInfo{&ui::Sprite::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

protected:
    kernel::Rect bounds;

private:
    kernel::SmartPtr<graphics::ImageBase> hitMask;
    int depthOffset = 0;
    int direction = 0;
    std::uint32_t serial;
};

// Whether a must be painted after b: it stands lower on the field, or as low and lifted higher.
bool paintsAfter(const FieldSprite& a, const FieldSprite& b);

} // namespace game
