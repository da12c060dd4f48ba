#pragma once

#include "engine/ui/Modifier.h"

namespace ui {

// Shows or hides its node as a step of a sequence, in its first update.
class VisibilityModifier : public Modifier {
public:
    static constexpr int show = 5;
    static constexpr int hide = 4;

    explicit VisibilityModifier(bool showNode) : mode(showNode ? show : hide) {}

    void update(std::uint32_t elapsed) override;

    int getMode() const { return mode; }

    static constexpr kernel::ClassInfo classInfo{&Modifier::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    int mode;
};

} // namespace ui
