#pragma once

#include "engine/kernel/Object.h"
#include "engine/kernel/SmartPtr.h"
#include "engine/ui/Label.h"

#include <vector>

namespace kernel {
class Value;
}

namespace ui {

// One finished line of a styled label: its pieces (one small label per run), in the order they were placed.
class TextLine : public kernel::Object {
public:
    TextLine();
    ~TextLine() override;

    std::vector<kernel::SmartPtr<Label>> pieces;

    static kernel::Object* createInstance(kernel::Value& settings);

    static constexpr kernel::ClassInfo classInfo{&kernel::Object::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }
};

} // namespace ui
