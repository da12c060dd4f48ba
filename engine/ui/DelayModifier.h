#pragma once

#include "engine/kernel/SmartPtr.h"
#include "engine/ui/Modifier.h"

namespace ui {

// A pause in a sequence: blocking from the start, it finishes once its time has run out or, when it waits
// for another node, once that node's modifiers have all finished.
class DelayModifier : public Modifier {
public:
    explicit DelayModifier(int duration);
    explicit DelayModifier(GameNode* awaited);
    ~DelayModifier() override;

    void update(std::uint32_t elapsed) override;

    int getRemaining() const { return remaining; }

    static constexpr kernel::ClassInfo classInfo{&Modifier::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    int remaining = 0;
    kernel::SmartPtr<GameNode> awaited;
};

} // namespace ui
