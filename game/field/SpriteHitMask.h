#pragma once

#include "engine/kernel/SmartPtr.h"
#include "engine/ui/Sprite.h"

namespace kernel {
class NodeValue;
class Value;
} // namespace kernel

namespace game {

// A sprite that takes the pointer only where its mask is white: an irregular picture reacts only where it
// is painted. Declared as "SpriteHitMask" with the sprite's keys and "hitmask" (the mask picture's name)
// in the resource section "section". The mask is authored the size of the sprite.
class SpriteHitMask : public ui::Sprite {
public:
    SpriteHitMask() = default;
    explicit SpriteHitMask(kernel::NodeValue& settings);
    ~SpriteHitMask() override;

    // Inside the anchored frame rectangle and, with a mask, where the mask's blue byte is above 128.
    bool containsPoint(int px, int py) const override;

    // Null removes the mask.
    void setHitMask(graphics::ImageBase* mask);
    graphics::ImageBase* getHitMask() const { return hitMask.get(); }

    static kernel::Object* createInstance(kernel::Value& settings);

    static constexpr kernel::ClassInfo classInfo{&ui::Sprite::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    kernel::SmartPtr<graphics::ImageBase> hitMask;
};

} // namespace game
