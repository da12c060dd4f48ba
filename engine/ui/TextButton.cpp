#include "engine/ui/TextButton.h"

#include "engine/graphics/ImagePainter.h"
#include "engine/kernel/Color.h"
#include "engine/kernel/NodeValue.h"
#include "engine/kernel/ObjectFactory.h"

namespace ui {

namespace {

const kernel::ClassRegistrar registerTextButton("TextButton", TextButton::createInstance);

// The inner line contrasts with the box: black inside a light box, white inside a dark one.
constexpr int lightSum = 384;
constexpr std::uint32_t black = 0x000000;
constexpr std::uint32_t white = 0xFFFFFF;

std::uint32_t contrastColor(std::uint32_t colour) {
    const kernel::Color box(colour);
    const int sum = box.component(1) + box.component(2) + box.component(3);
    return sum > lightSum ? black : white;
}

std::uint32_t readColor(const kernel::NodeValue& settings, const char* key, std::uint32_t fallback) {
    return settings.hasChild(key) ? static_cast<std::uint32_t>(settings.getValue(key).asInt()) : fallback;
}

} // namespace

TextButton::TextButton(kernel::NodeValue& settings) : Button(settings) {
    readHeight(settings);
    cutSingleFrame();
    readSettings(settings);
    applyStateColor();
}

TextButton::~TextButton() = default;

kernel::Object* TextButton::createInstance(kernel::Value& settings) {
    return new TextButton(settings.isNode() ? settings.asNode() : kernel::DUMMY_NODE());
}

// The button divided the height into four frames; a text button has one.
void TextButton::readHeight(kernel::NodeValue& settings) {
    setHeight(settings.getValue("height").asInt());
}

void TextButton::cutSingleFrame() {
    setupFrames(1, false, true);
}

void TextButton::readSettings(kernel::NodeValue& settings) {
    textColor = readColor(settings, "textcolor", textColor);
    highlightColor = readColor(settings, "highlightcolor", highlightColor);
    pressedColor = readColor(settings, "pressedcolor", pressedColor);
    disabledColor = readColor(settings, "disabledcolor", disabledColor);
    createLabel(settings);
    if (settings.hasChild("drawbox")) {
        drawBox = settings.getValue("drawbox").asBool();
    }
}

// A missing "label", or one that makes no label, leaves a button that draws only its box: the rest of
// the dialog still works.
void TextButton::createLabel(kernel::NodeValue& settings) {
    kernel::Value* declaration = settings.findChild("label");
    if (declaration == nullptr) {
        return;
    }
    const kernel::SmartPtr<kernel::Object> made =
        kernel::ObjectFactory::instance()->createObject(*declaration);
    if (made && made->isKindOf(Label::classInfo)) {
        label = static_cast<Label*>(made.get());
        placeLabel();
        addChild(label.get());
    }
}

// Centred on the button, whatever the button's own anchor, and lowered by the font's top pad, which the
// label's buffer leaves above the text.
void TextButton::placeLabel() {
    label->setSize(getWidth(), getHeight());
    label->setAlignH(Label::AlignCenter);
    label->setAlignV(Label::AlignMiddle);
    label->setAnchor(Center);
    label->setDirty(true);
    const graphics::PointF& anchor = getAnchorPoint();
    label->setPosition(getWidth() / 2 - anchor.getRoundedX(), getHeight() / 2 - anchor.getRoundedY());
    if (const graphics::BitmapFont* font = label->getFont()) {
        label->setY(label->getY() + font->getTopPad());
    }
}

int TextButton::frameFor(int state) const {
    return isEnabled() ? state : disabledFrame;
}

void TextButton::setCurrentFrame(int state) {
    if (frameFor(state) == getCurrentFrame()) {
        return;
    }
    Button::setCurrentFrame(state);
    applyStateColor();
}

std::uint32_t TextButton::stateColor() const {
    if (!isEnabled()) {
        return disabledColor;
    }
    switch (getState()) {
    case Over:
        return highlightColor;
    case Pressed:
        return pressedColor;
    default:
        return textColor;
    }
}

void TextButton::applyStateColor() {
    if (label) {
        label->setColor(stateColor());
    }
}

void TextButton::paint(graphics::ImagePainter& painter) {
    if (drawBox) {
        const kernel::Color saved = painter.getColor();
        painter.setColor(kernel::Color(getColor()));
        painter.drawRect(getX(), getY(), getWidth(), getHeight());
        painter.setColor(kernel::Color(contrastColor(getColor())));
        painter.drawRect(getX() + 1, getY() + 1, getWidth() - 2, getHeight() - 2);
        painter.setColor(saved);
    }
    setDirty(false);
}

} // namespace ui
