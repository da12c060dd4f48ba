#pragma once

#include "engine/ui/Modifier.h"

#include <functional>

namespace ui {

// The last step of a sequence: calls its function once with its argument and the node, then finishes.
// The function may add or remove modifiers of the same node.
class CallbackModifier : public Modifier {
public:
    using Function = std::function<void(void* argument, GameNode* node)>;

    CallbackModifier(void* argument, Function function);

    void update(std::uint32_t elapsed) override;

    static constexpr kernel::ClassInfo classInfo{&Modifier::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    void* argument;
    Function function;
};

} // namespace ui
