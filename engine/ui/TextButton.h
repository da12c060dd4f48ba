#pragma once

#include "engine/kernel/SmartPtr.h"
#include "engine/ui/Button.h"
#include "engine/ui/Label.h"

#include <cstdint>

namespace kernel {
class NodeValue;
class Value;
} // namespace kernel

namespace graphics {
class ImagePainter;
}

namespace ui {

// A button whose face is a child label coloured by the button's state, inside an optional two-line box;
// the button's image is never drawn. Input, sounds, hit test and callback are the button's.
class TextButton : public Button {
public:
    // The button's keys, "height" (0 when absent), then "textcolor", "highlightcolor", "pressedcolor",
    // "disabledcolor", the "label" Node (any registered label class) and "drawbox".
    explicit TextButton(kernel::NodeValue& settings);
    ~TextButton() override;

    // The box only: the label is drawn by the renderer as a child.
    void paint(graphics::ImagePainter& painter) override;
    // A change of the shown frame recolours the label.
    void setCurrentFrame(int state) override;

    // Null when the declaration made no label.
    Label* getLabel() const { return label.get(); }
    bool getDrawBox() const { return drawBox; }

    static kernel::Object* createInstance(kernel::Value& settings);

    static constexpr kernel::ClassInfo classInfo{&Button::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    void readHeight(kernel::NodeValue& settings);
    void cutSingleFrame();
    void readSettings(kernel::NodeValue& settings);
    void createLabel(kernel::NodeValue& settings);
    void placeLabel();
    void applyStateColor();
    std::uint32_t stateColor() const;
    int frameFor(int state) const;

    kernel::SmartPtr<Label> label;
    std::uint32_t textColor = 0x000000;
    std::uint32_t highlightColor = 0x004488;
    std::uint32_t pressedColor = 0x002244;
    std::uint32_t disabledColor = 0x888888;
    bool drawBox = true;
};

} // namespace ui
