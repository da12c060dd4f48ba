#pragma once

#include "engine/ui/Sprite.h"

#include <cstdint>

namespace game {

// A sprite that dies by itself once its lifetime has passed: every particle is one.
class OneShotTimer : public ui::Sprite {
public:
    OneShotTimer(int x, int y, graphics::ImageBase* image) : ui::Sprite(x, y, image) {}

    void onUpdate(std::uint32_t elapsedMs) override;

    void setLifetime(int value) { lifetime = value; }
    int getLifetime() const { return lifetime; }
    int getElapsed() const { return elapsed; }

    static constexpr kernel::ClassInfo classInfo{&ui::Sprite::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    int lifetime = 0;
    int elapsed = 0;
    bool expired = false;
};

} // namespace game
