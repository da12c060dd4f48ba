#pragma once

#include "engine/ui/Modifier.h"

namespace kernel {
class NodeValue;
}

namespace ui {

class Sprite;

// Steps a sprite through its frames every delay milliseconds, by the sprite's wrap style and reverse flag,
// for a number of passes (-1: for ever). The node must be a Sprite. The one modifier that declarations
// can name ("ModifierFrame").
class ModifierFrame : public Modifier {
public:
    ModifierFrame(int delay, int loopCount);
    // "loopcount" (default -1) and "delay" (default 100).
    explicit ModifierFrame(kernel::NodeValue& settings);

    void update(std::uint32_t elapsed) override;

    int getLoopsLeft() const { return loopsLeft; }
    int getDelay() const { return delay; }

    static constexpr kernel::ClassInfo classInfo{&Modifier::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    void runDueSteps(Sprite& sprite);
    void stepFrame(Sprite& sprite);
    static int wrapFrame(Sprite& sprite, int frame, int count);
    void noteEnd(const Sprite& sprite, int count);

    int loopsLeft = -1;
    int delay = 100;
    int accumulated = 0;
    bool atEnd = false;
};

} // namespace ui
