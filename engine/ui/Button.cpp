#include "engine/ui/Button.h"

#include "engine/kernel/NodeValue.h"
#include "engine/kernel/ObjectFactory.h"
#include "engine/ui/WidgetSupport.h"
#include "host/Window.h"

namespace ui {

namespace {

const kernel::ClassRegistrar registerButton("Button", Button::createInstance);

bool leftButtonHeld(std::uint32_t keyFlags) {
    return (keyFlags & host::MK_LBUTTON) != 0;
}

} // namespace

Button::Button(kernel::NodeValue& settings) : Sprite(settings) {
    readSettings(settings);
    cutFrames();
    setWrapStyle(PingPong);
}

Button::~Button() = default;

kernel::Object* Button::createInstance(kernel::Value& settings) {
    return new Button(settings.isNode() ? settings.asNode() : kernel::DUMMY_NODE());
}

void Button::readSettings(kernel::NodeValue& settings) {
    if (settings.hasChild("enabled")) {
        setEnabled(settings.getValue("enabled").asBool());
    }
    if (settings.hasChild("hitmask")) {
        hitMask = findImage(settingText(settings, "hitmask"), settingText(settings, "section"));
    }
    readSettingText(settings, "clicksound", clickSound);
    readSettingText(settings, "disabledsound", disabledSound);
    readSettingText(settings, "oversound", overSound);
    readSettingText(settings, "soundsection", soundSection);
}

// Four frames stacked in the image, or in the sprite's own size while it has none; frame 0 first, then
// the state's frame.
void Button::cutFrames() {
    setSourceRect(nullptr);
    setupFrames(stackedFrames, false, true);
    setCurrentFrame(state);
}

void Button::setImage(graphics::ImageBase* value) {
    if (value == getImage()) {
        return;
    }
    Sprite::setImage(value);
    cutFrames();
}

void Button::setCurrentFrame(int stateToShow) {
    Sprite::setCurrentFrame(isEnabled() ? stateToShow : disabledFrame);
}

void Button::onEnabledChanged() {
    setCurrentFrame(state);
}

void Button::setState(int value) {
    if (value != state) {
        state = value;
        setCurrentFrame(state);
    }
}

bool Button::setDead(bool value) {
    if (value) {
        leaveListenerGroups();
    }
    return Sprite::setDead(value);
}

bool Button::containsPoint(int px, int py) const {
    return hitsWidget(*this, hitMask.get(), px, py);
}

// With the button held only a press that began here arms the button: it disarms when the pointer leaves
// and arms again on return, while a press from elsewhere never does.
void Button::onMouseMove(int x, int y, std::uint32_t keyFlags) {
    const bool inside = containsPoint(x, y);
    if (leftButtonHeld(keyFlags)) {
        if (inside && state == Over) {
            setState(Pressed);
        } else if (!inside && state == Pressed) {
            setState(Over);
        }
        return;
    }
    if (!inside) {
        setState(Normal);
        return;
    }
    if (isEnabled() && state == Normal) {
        playWidgetSound(overSound, soundSection);
    }
    setState(Over);
}

bool Button::onLeftButtonDown(int x, int y, std::uint32_t, bool) {
    if (!containsPoint(x, y)) {
        return false;
    }
    const bool enabled = isEnabled();
    playWidgetSound(enabled ? clickSound : disabledSound, soundSection);
    setState(Pressed);
    // A disabled button leaves the press to the listeners after it.
    return enabled;
}

bool Button::onLeftButtonUp(int x, int y, std::uint32_t) {
    if (!containsPoint(x, y)) {
        setState(Normal);
        return false;
    }
    if (!isEnabled() || state != Pressed) {
        setState(Over);
        return false;
    }
    invoke(this);
    setState(Normal);
    return true;
}

} // namespace ui
