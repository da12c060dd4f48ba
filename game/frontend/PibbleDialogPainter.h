#pragma once

#include "engine/ui/DialogPainter.h"

namespace kernel {
class NodeValue;
class Value;
} // namespace kernel

namespace game {

// The game's dialog frame: declared under its own name, drawn exactly as the engine's dialog painter.
class PibbleDialogPainter : public ui::DialogPainter {
public:
    explicit PibbleDialogPainter(kernel::NodeValue& settings);
    ~PibbleDialogPainter() override;

    static kernel::Object* createInstance(kernel::Value& settings);

    static constexpr kernel::ClassInfo classInfo{&ui::DialogPainter::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }
};

} // namespace game
