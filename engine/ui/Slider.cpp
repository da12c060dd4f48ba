#include "engine/ui/Slider.h"

#include "engine/kernel/NodeValue.h"
#include "engine/kernel/ObjectFactory.h"
#include "engine/ui/Button.h"
#include "engine/ui/SliderGeometry.h"

#include <cmath>

namespace ui {

namespace {

const kernel::ClassRegistrar registerSlider("Slider", Slider::createInstance);

// Scalars of the slider are read as doubles and kept as floats.
float readFloat(const kernel::NodeValue& settings, const char* key, float fallback) {
    return settings.hasChild(key) ? static_cast<float>(settings.getValue(key).asDouble()) : fallback;
}

float distance(const graphics::PointF& a, const graphics::PointF& b) {
    return std::hypot(b.getX() - a.getX(), b.getY() - a.getY());
}

void placeButton(Button* button, int anchor, int x, int y) {
    if (button != nullptr) {
        button->setAnchor(anchor);
        button->setPosition(x, y);
    }
}

} // namespace

Slider::Slider(kernel::NodeValue& settings) : Sprite(settings) {
    createKnobHolder();
    readRange(settings);
    createKnob(settings);
    createStepButtons(settings);
    // Before the track keys, which override the computed track.
    updateTrack();
    readTrack(settings);
    placeStepButtons();
    placeKnob();
}

Slider::~Slider() = default;

kernel::Object* Slider::createInstance(kernel::Value& settings) {
    auto* slider = new Slider(settings.isNode() ? settings.asNode() : kernel::DUMMY_NODE());
    if (slider->getKnob() == nullptr) {
        // Nothing would show the value or take a drag; the dialog is better off without the slider.
        slider->destroySelf();
        return nullptr;
    }
    return slider;
}

void Slider::createKnobHolder() {
    knobHolder = new GameNode();
    addChild(knobHolder.get());
}

void Slider::readRange(kernel::NodeValue& settings) {
    if (settings.hasChild("enabled")) {
        setEnabled(settings.getValue("enabled").asBool());
    }
    if (settings.hasChild("minvalue")) {
        minimum = readFloat(settings, "minvalue", minimum);
        placeKnob();
    }
    if (settings.hasChild("maxvalue")) {
        maximum = readFloat(settings, "maxvalue", maximum);
        placeKnob();
    }
    if (settings.hasChild("vertical")) {
        vertical = settings.getValue("vertical").asBool();
    }
}

kernel::SmartPtr<Button> Slider::createButton(kernel::NodeValue& settings, const char* key) {
    kernel::Value* declaration = settings.findChild(key);
    if (declaration == nullptr) {
        return nullptr;
    }
    const kernel::SmartPtr<kernel::Object> made =
        kernel::ObjectFactory::instance()->createObject(*declaration);
    if (!made || !made->isKindOf(Button::classInfo)) {
        return nullptr;
    }
    kernel::SmartPtr<Button> button(static_cast<Button*>(made.get()));
    // "enabled" was applied before the buttons existed; a disabled slider must not offer live buttons.
    if (!isEnabled()) {
        button->setEnabled(false);
    }
    return button;
}

void Slider::createKnob(kernel::NodeValue& settings) {
    knob = createButton(settings, "button");
    if (knob) {
        knobHolder->addChild(knob.get());
        placeKnob();
    }
}

void Slider::createStepButtons(kernel::NodeValue& settings) {
    incrementButton = createButton(settings, "incbutton");
    if (incrementButton) {
        incrementButton->bind(this, &Slider::onIncrementButton);
        addChild(incrementButton.get());
    }
    decrementButton = createButton(settings, "decbutton");
    if (decrementButton) {
        decrementButton->bind(this, &Slider::onDecrementButton);
        addChild(decrementButton.get());
    }
}

// The offsets give only the cross-axis position of both ends; the corner keys count only without them.
void Slider::readTrack(kernel::NodeValue& settings) {
    if (settings.hasChild("offset1") || settings.hasChild("offset2")) {
        const float first = readFloat(settings, "offset1", 0.0f);
        const float second = readFloat(settings, "offset2", 0.0f);
        if (vertical) {
            trackStart.setX(first);
            trackEnd.setX(second);
        } else {
            trackStart.setY(first);
            trackEnd.setY(second);
        }
        return;
    }
    trackStart.setX(readFloat(settings, "minx", trackStart.getX()));
    trackStart.setY(readFloat(settings, "miny", trackStart.getY()));
    trackEnd.setX(readFloat(settings, "maxx", trackEnd.getX()));
    trackEnd.setY(readFloat(settings, "maxy", trackEnd.getY()));
}

// Outside the two ends of the slider, centred on its cross axis.
void Slider::placeStepButtons() {
    const int w = getWidth();
    const int h = getHeight();
    if (vertical) {
        const int middle = graphics::roundToInt(static_cast<float>(w) * 0.5f);
        placeButton(decrementButton.get(), Bottom, middle, 0);
        placeButton(incrementButton.get(), Top, middle, h);
    } else {
        const int middle = graphics::roundToInt(static_cast<float>(h) * 0.5f);
        placeButton(decrementButton.get(), Right, 0, middle);
        placeButton(incrementButton.get(), Left, w, middle);
    }
}

void Slider::setValue(float newValue) {
    value = newValue;
    placeKnob();
}

void Slider::updateTrack() {
    trackStart = graphics::PointF();
    if (vertical) {
        trackEnd = graphics::PointF(0.0f, static_cast<float>(getHeight() - (knob ? knob->getHeight() : 0)));
    } else {
        trackEnd = graphics::PointF(static_cast<float>(getWidth() - (knob ? knob->getWidth() : 0)), 0.0f);
    }
    placeKnob();
}

// Truncated, unlike a drag, which rounds. A range of zero width has no fraction: the knob stays at the
// start rather than at a position computed from zero divided by zero.
void Slider::placeKnob() {
    const float range = maximum - minimum;
    const float t = range != 0.0f ? std::fabs((value - minimum) / range) : 0.0f;
    const float x = (trackEnd.getX() - trackStart.getX()) * t + trackStart.getX();
    const float y = (trackEnd.getY() - trackStart.getY()) * t + trackStart.getY();
    knobHolder->setPosition(truncateToInt(x), truncateToInt(y));
}

void Slider::increment() {
    const float next = value + (maximum - minimum) * stepFactor;
    value = next >= maximum ? maximum : next;
    placeKnob();
    fire();
}

void Slider::decrement() {
    const float next = value - (maximum - minimum) * stepFactor;
    value = next <= minimum ? minimum : next;
    placeKnob();
    fire();
}

// A track of zero length (a knob as long as the slider) leaves no fraction to take: the value is the
// minimum rather than zero divided by zero.
void Slider::dragTo(int x, int y) {
    const graphics::PointF wanted(static_cast<float>(x - grabX), static_cast<float>(y - grabY));
    const graphics::PointF point = projectOntoSegment(trackStart, trackEnd, wanted);
    knobHolder->setPosition(graphics::roundToInt(point.getX()), graphics::roundToInt(point.getY()));
    const float length = distance(trackStart, trackEnd);
    value = length > 0.0f ? minimum + (maximum - minimum) * distance(trackStart, point) / length : minimum;
}

bool Slider::containsPoint(int px, int py) const {
    const int left = getAbsoluteX();
    const int top = getAbsoluteY();
    return left <= px && px < left + getWidth() && top <= py && py < top + getHeight();
}

bool Slider::setDead(bool flag) {
    if (flag) {
        leaveAllListenerGroups();
    }
    return Sprite::setDead(flag);
}

void Slider::leaveAllListenerGroups() {
    leaveListenerGroups();
    if (incrementButton) {
        incrementButton->leaveListenerGroups();
    }
    if (decrementButton) {
        decrementButton->leaveListenerGroups();
    }
}

// The step buttons join through their own parts, so a step button killed alone leaves as well.
void Slider::enlistListeners(kernel::ListenerGroup& group) {
    joinGroup(group, this, true);
    if (incrementButton) {
        incrementButton->joinGroup(group, incrementButton.get(), false);
    }
    if (decrementButton) {
        decrementButton->joinGroup(group, decrementButton.get(), false);
    }
}

void Slider::onEnabledChanged() {
    for (Button* button : {knob.get(), incrementButton.get(), decrementButton.get()}) {
        if (button != nullptr) {
            button->setEnabled(isEnabled());
        }
    }
}

bool Slider::knobContains(int x, int y) const {
    return knob && knob->containsPoint(x, y);
}

void Slider::setKnobState(int state) {
    if (knob) {
        knob->setState(state);
    }
}

int Slider::knobState() const {
    return knob ? knob->getState() : Button::Normal;
}

// The holder's screen position, not its place in the slider: a press on the knob keeps the knob where
// it is under the pointer, and a press elsewhere on the track lets it jump to the pointer.
void Slider::grabAt(int x, int y, bool onKnob) {
    grabX = getAbsoluteX();
    grabY = getAbsoluteY();
    if (onKnob) {
        grabX += x - knobHolder->getAbsoluteX();
        grabY += y - knobHolder->getAbsoluteY();
    }
}

void Slider::onMouseMove(int x, int y, std::uint32_t) {
    if (!isEnabled()) {
        return;
    }
    if (knobState() == Button::Pressed) {
        dragTo(x, y);
        fire();
        return;
    }
    setKnobState(knobContains(x, y) ? Button::Over : Button::Normal);
}

// Taken whenever it lands on the slider, enabled or not, so nothing under a disabled slider reacts.
bool Slider::onLeftButtonDown(int x, int y, std::uint32_t, bool) {
    const bool onKnob = knobContains(x, y);
    if (!onKnob && !containsPoint(x, y)) {
        return false;
    }
    if (isEnabled()) {
        grabAt(x, y, onKnob);
        dragTo(x, y);
        setKnobState(Button::Pressed);
        fire();
    }
    return true;
}

bool Slider::onLeftButtonUp(int x, int y, std::uint32_t) {
    if (knobContains(x, y)) {
        setKnobState(Button::Over);
        return true;
    }
    setKnobState(Button::Normal);
    return containsPoint(x, y);
}

void Slider::onIncrementButton(void* receiver, GameNode*) {
    static_cast<Slider*>(receiver)->increment();
}

void Slider::onDecrementButton(void* receiver, GameNode*) {
    static_cast<Slider*>(receiver)->decrement();
}

} // namespace ui
