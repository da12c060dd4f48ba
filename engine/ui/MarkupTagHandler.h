#pragma once

#include "engine/kernel/Object.h"
#include "engine/kernel/TextConversion.h"

#include <vector>

namespace ui {

class StyleLabel;

// Answers one markup tag name, or an opening and a closing name, by changing a styled label's layout state.
class MarkupTagHandler : public kernel::Object {
public:
    explicit MarkupTagHandler(std::vector<kernel::WideString> tagNames);
    ~MarkupTagHandler() override;

    // nameIndex says which of the names matched; the value is empty for a tag without "=".
    virtual void apply(int nameIndex, const kernel::WideString& value, StyleLabel& label) = 0;

    // The index of the name that equals the tag name exactly, or -1.
    int indexOf(const kernel::WideString& name) const;
    const std::vector<kernel::WideString>& getNames() const { return names; }

    static constexpr kernel::ClassInfo classInfo{&kernel::Object::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    std::vector<kernel::WideString> names;
};

} // namespace ui
