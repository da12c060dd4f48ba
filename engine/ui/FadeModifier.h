#pragma once

#include "engine/ui/Modifier.h"

namespace ui {

// Fades a sprite's alpha linearly from one value to another. The first update sets the start alpha; the
// end alpha is set by the update after the time has run out, which also finishes it.
class FadeModifier : public Modifier {
public:
    FadeModifier(int from, int to, int duration);

    void update(std::uint32_t elapsed) override;

    float getCurrent() const { return current; }

    static constexpr kernel::ClassInfo classInfo{&Modifier::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    int from;
    int to;
    float current;
    int duration;
    int elapsedTime = 0;
};

} // namespace ui
