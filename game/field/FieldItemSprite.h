#pragma once

#include "game/field/FieldSprite.h"

namespace game {

// A fixed picture of the board that is no pibble and no level decoration: the field's backdrop.
class FieldItemSprite : public FieldSprite {
public:
    FieldItemSprite() = default;
    FieldItemSprite(int x, int y, graphics::ImageBase* image) : FieldSprite(x, y, image) {}

    int fieldSpriteKind() const override { return Item; }

    static constexpr kernel::ClassInfo classInfo{&FieldSprite::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }
};

} // namespace game
