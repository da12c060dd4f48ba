#pragma once

#include "engine/kernel/Object.h"
#include "engine/kernel/SmartPtr.h"
#include "engine/kernel/TextConversion.h"
#include "engine/ui/MarkupTagHandler.h"

#include <vector>

namespace ui {

class StyleLabel;

// The markup tag handlers, asked in registration order for every tag of a styled label's text. One
// registry exists at a time: a layout makes it at its first tag and drops it when the layout ends.
class MarkupTagRegistry : public kernel::Object {
public:
    // Made with the standard tags on first use.
    static MarkupTagRegistry* instance();
    static void destroy();

    void add(MarkupTagHandler* handler);
    // Applies the first handler with a name equal to the tag name; false when none has it.
    bool dispatch(const kernel::WideString& name, const kernel::WideString& value, StyleLabel& label);
    const std::vector<kernel::SmartPtr<MarkupTagHandler>>& getHandlers() const { return handlers; }

    static constexpr kernel::ClassInfo classInfo{&kernel::Object::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    MarkupTagRegistry();

    std::vector<kernel::SmartPtr<MarkupTagHandler>> handlers;
};

} // namespace ui
