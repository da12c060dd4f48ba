#include "game/field/FieldSprite.h"

#include "engine/graphics/ImagePainter.h"
#include "game/field/HitMask.h"

namespace game {

namespace {

std::uint32_t serialCounter = 0;

} // namespace

FieldSprite::FieldSprite() : serial(++serialCounter) {}

FieldSprite::FieldSprite(int x, int y, graphics::ImageBase* image)
    : ui::Sprite(x, y, image), serial(++serialCounter) {}

FieldSprite::~FieldSprite() = default;

void FieldSprite::paint(graphics::ImagePainter& painter) {
    painter.moveOriginY(-depthOffset);
    ui::Sprite::paint(painter);
    painter.moveOriginY(depthOffset);
}

bool FieldSprite::containsPoint(int px, int py) const {
    const int x = px + getAnchorPoint().getRoundedX() - getAbsoluteX();
    const int y = py + getAnchorPoint().getRoundedY() - (getAbsoluteY() - depthOffset);
    if (x < 0 || y < 0 || x >= getWidth() || y >= getHeight()) {
        return false;
    }
    return !hitMask || maskAllows(*hitMask, x, y);
}

kernel::Rect FieldSprite::updateBounds() {
    bounds = kernel::Rect(getX() - getAnchorPoint().getRoundedX(),
                          getDrawnY() - getAnchorPoint().getRoundedY(), getWidth(), getHeight());
    return bounds;
}

void FieldSprite::setHitMask(graphics::ImageBase* mask) {
    hitMask = mask;
}

bool paintsAfter(const FieldSprite& a, const FieldSprite& b) {
    if (a.getY() != b.getY()) {
        return a.getY() > b.getY();
    }
    return a.getDepthOffset() > b.getDepthOffset();
}

} // namespace game
