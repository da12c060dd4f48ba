#include "engine/ui/Switch.h"

#include "engine/kernel/NodeValue.h"
#include "engine/kernel/ObjectFactory.h"
#include "engine/ui/WidgetSupport.h"
#include "host/Window.h"

#include <algorithm>

namespace ui {

namespace {

const kernel::ClassRegistrar registerSwitch("Switch", Switch::createInstance);

// Plain pointers: a switch is listed from the end of its constructor to its destructor. Only the main
// thread makes, checks and frees switches.
std::vector<Switch*>& switchList() {
    static std::vector<Switch*> list;
    return list;
}

} // namespace

Switch::Switch(kernel::NodeValue& settings) : Sprite(settings) {
    readSettings(settings);
    cutFrames();
    switchList().push_back(this);
}

Switch::~Switch() {
    std::vector<Switch*>& list = switchList();
    if (const auto entry = std::find(list.begin(), list.end(), this); entry != list.end()) {
        list.erase(entry);
    }
}

const std::vector<Switch*>& Switch::liveSwitches() {
    return switchList();
}

kernel::Object* Switch::createInstance(kernel::Value& settings) {
    return new Switch(settings.isNode() ? settings.asNode() : kernel::DUMMY_NODE());
}

void Switch::readSettings(kernel::NodeValue& settings) {
    readImage(settings);
    if (settings.hasChild("hitmask")) {
        hitMask = findImage(settingText(settings, "hitmask"), settingText(settings, "section"));
    }
    if (settings.hasChild("groupid")) {
        groupId = settings.getValue("groupid").asInt();
    }
    readSettingText(settings, "onsound", onSound);
    readSettingText(settings, "offsound", offSound);
    readSettingText(settings, "soundsection", soundSection);
    if (settings.hasChild("enabled")) {
        setEnabled(settings.getValue("enabled").asBool());
    }
    // Through setChecked, so of two members of a group declared checked only the later one stays so.
    if (settings.hasChild("checked")) {
        setChecked(settings.getValue("checked").asBool());
    }
}

// The switch takes its size from the image whatever the declared size: no size while it is not loaded.
void Switch::readImage(kernel::NodeValue& settings) {
    if (!settings.hasChild("image")) {
        return;
    }
    graphics::ImageBase* image = findImage(settingText(settings, "image"), settingText(settings, "section"));
    Sprite::setImage(image);
    setSize(image != nullptr ? image->getWidth() : 0, image != nullptr ? image->getHeight() : 0);
}

// Cutting shows the frame of state 0, the state of every new switch.
void Switch::cutFrames() {
    setupFrames(stackedFrames, false, true);
    setWrapStyle(PingPong);
}

void Switch::setCurrentFrame(int stateToShow) {
    const int frame = isEnabled() ? stateToShow : disabledFrame;
    Sprite::setCurrentFrame(checked ? frame + checkedOffset : frame);
}

void Switch::onEnabledChanged() {
    setCurrentFrame(state);
}

void Switch::changeState(int value) {
    if (value != state) {
        state = value;
        setCurrentFrame(state);
    }
}

void Switch::setChecked(bool value) {
    if (value == checked) {
        return;
    }
    if (value && groupId >= 0) {
        uncheckGroup();
    }
    checked = value;
    setCurrentFrame(state);
}

// By index over the live list: an unchecked member's override may make or free switches.
void Switch::uncheckGroup() {
    const std::vector<Switch*>& list = switchList();
    for (std::size_t index = 0; index < list.size(); ++index) {
        Switch* other = list[index];
        if (other != this && other->groupId == groupId) {
            other->setChecked(false);
        }
    }
}

bool Switch::setDead(bool value) {
    if (value) {
        leaveListenerGroups();
    }
    return Sprite::setDead(value);
}

bool Switch::containsPoint(int px, int py) const {
    return hitsWidget(*this, hitMask.get(), px, py);
}

void Switch::onMouseMove(int x, int y, std::uint32_t keyFlags) {
    const bool inside = containsPoint(x, y);
    if ((keyFlags & host::MK_LBUTTON) == 0) {
        changeState(inside ? Over : Normal);
    } else if (inside && state == Over) {
        changeState(Pressed);
    } else if (!inside && state == Pressed) {
        changeState(Over);
    }
}

// Taken even while disabled: a disabled switch swallows presses on it.
bool Switch::onLeftButtonDown(int x, int y, std::uint32_t, bool) {
    if (!containsPoint(x, y)) {
        return false;
    }
    changeState(Pressed);
    return true;
}

bool Switch::onLeftButtonUp(int x, int y, std::uint32_t) {
    if (!containsPoint(x, y)) {
        changeState(Normal);
        return false;
    }
    if (!isEnabled() || state != Pressed) {
        changeState(Over);
        return false;
    }
    toggle();
    changeState(Normal);
    return true;
}

// A checked radio button stays checked and stays silent; anything else changes, reports, then sounds.
void Switch::toggle() {
    if (groupId >= 0 && checked) {
        return;
    }
    // The sound follows the click, not whatever the callback does to the switch.
    const bool nowChecked = groupId >= 0 || !checked;
    setChecked(nowChecked);
    invoke(this);
    playWidgetSound(nowChecked ? onSound : offSound, soundSection);
}

} // namespace ui
