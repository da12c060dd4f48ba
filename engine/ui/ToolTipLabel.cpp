#include "engine/ui/ToolTipLabel.h"

#include "engine/graphics/ImagePainter.h"
#include "engine/kernel/Color.h"
#include "engine/kernel/NodeValue.h"
#include "engine/kernel/ObjectFactory.h"

namespace ui {

namespace {
const kernel::ClassRegistrar registerToolTipLabel("ToolTipLabel", ToolTipLabel::createInstance);
}

ToolTipLabel::ToolTipLabel(kernel::NodeValue& settings) : Label(settings) {
    readBox(settings);
}

ToolTipLabel::~ToolTipLabel() = default;

kernel::Object* ToolTipLabel::createInstance(kernel::Value& settings) {
    return new ToolTipLabel(settings.isNode() ? settings.asNode() : kernel::DUMMY_NODE());
}

void ToolTipLabel::readBox(kernel::NodeValue& settings) {
    if (settings.hasChild("backgroundcolor")) {
        backgroundColor = static_cast<std::uint32_t>(settings.getValue("backgroundcolor").asInt());
    }
    if (settings.hasChild("bordercolor")) {
        borderColor = static_cast<std::uint32_t>(settings.getValue("bordercolor").asInt());
    }
    if (settings.hasChild("padding")) {
        padding = settings.getValue("padding").asInt();
    }
}

void ToolTipLabel::setToolTipText(const kernel::WideString& value) {
    setText(value);
}

void ToolTipLabel::paint(graphics::ImagePainter& painter) {
    paintBox(painter);
    Label::paint(painter);
}

// Drawn with the label's alpha; the painter's own colour and alpha are put back for the label.
void ToolTipLabel::paintBox(graphics::ImagePainter& painter) const {
    const kernel::Color oldColor = painter.getColor();
    const int oldAlpha = painter.getAlpha();
    painter.setAlpha(getAlpha());
    const int boxWidth = getWidth() + 2 * padding;
    const int boxHeight = getHeight() + 2 * padding;
    painter.setColor(kernel::Color(borderColor));
    painter.drawRect(-padding, -padding, boxWidth, boxHeight);
    painter.setColor(kernel::Color(backgroundColor));
    painter.fillRect(1 - padding, 1 - padding, boxWidth - 2, boxHeight - 2);
    painter.setColor(oldColor);
    painter.setAlpha(oldAlpha);
}

} // namespace ui
