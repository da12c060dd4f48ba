#pragma once

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

// The usual renderer of a tool-tip: a label on a filled box with a one-pixel border, the box reaching
// padding pixels beyond the label on every side. The box is drawn about the painter's origin, so the label
// is declared at (0, 0) with the top-left anchor.
class ToolTipLabel : public Label {
public:
    static constexpr std::uint32_t defaultBackgroundColor = 0xFFFFE1;
    static constexpr std::uint32_t defaultBorderColor = 0;
    static constexpr int defaultPadding = 3;

    // The label's keys, then "backgroundcolor", "bordercolor" and "padding".
    explicit ToolTipLabel(kernel::NodeValue& settings);
    ~ToolTipLabel() override;

    // The box, then the label.
    void paint(graphics::ImagePainter& painter) override;
    // The text to show becomes the label's text; the label itself never carries a tool-tip.
    void setToolTipText(const kernel::WideString& value) override;

    std::uint32_t getBackgroundColor() const { return backgroundColor; }
    std::uint32_t getBorderColor() const { return borderColor; }
    int getPadding() const { return padding; }

    static kernel::Object* createInstance(kernel::Value& settings);

    static constexpr kernel::ClassInfo classInfo{&Label::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    void readBox(kernel::NodeValue& settings);
    void paintBox(graphics::ImagePainter& painter) const;

    std::uint32_t backgroundColor = defaultBackgroundColor;
    std::uint32_t borderColor = defaultBorderColor;
    int padding = defaultPadding;
};

} // namespace ui
