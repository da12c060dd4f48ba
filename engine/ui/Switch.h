#pragma once

#include "engine/graphics/ImageBase.h"
#include "engine/kernel/InputListener.h"
#include "engine/kernel/SmartPtr.h"
#include "engine/ui/EnabledFlag.h"
#include "engine/ui/Sprite.h"
#include "engine/ui/WidgetCallback.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kernel {
class NodeValue;
class Value;
} // namespace kernel

namespace ui {

// The check box and radio button: eight frames stacked in its image (normal, over, pressed, disabled,
// then the same four checked), on and off sounds and a callback that fires when a click changes it.
// Switches that share a group id of 0 or more are radio buttons: checking one unchecks the others, in
// whatever dialog they are.
class Switch : public Sprite, public kernel::InputListener, public WidgetCallback, public EnabledFlag {
public:
    enum State : int { Normal = 0, Over = 1, Pressed = 2 };
    static constexpr int stackedFrames = 8;
    static constexpr int disabledFrame = 3;
    // The checked frames follow the unchecked ones.
    static constexpr int checkedOffset = 4;

    // The sprite's keys, then "image" (with "section"), "hitmask", "groupid", "onsound", "offsound",
    // "soundsection", "enabled" and "checked", each only when present.
    explicit Switch(kernel::NodeValue& settings);
    ~Switch() override;

    // The switch's own flag, not the listener part's.
    using EnabledFlag::isEnabled;
    using EnabledFlag::setEnabled;

    void setCurrentFrame(int state) override;
    bool containsPoint(int px, int py) const override;
    // A killed switch leaves the groups it joined at once, while they surely still exist.
    bool setDead(bool value) override;
    // Checking a member of a radio group unchecks the other members first; unchecking touches no other.
    virtual void setChecked(bool value);
    bool isChecked() const { return checked; }
    int getState() const { return state; }
    int getGroupId() const { return groupId; }

    void onMouseMove(int x, int y, std::uint32_t keyFlags) override;
    bool onLeftButtonDown(int x, int y, std::uint32_t keyFlags, bool doubleClick) override;
    bool onLeftButtonUp(int x, int y, std::uint32_t keyFlags) override;

    // Every live switch, in the order they were made.
    static const std::vector<Switch*>& liveSwitches();

    static kernel::Object* createInstance(kernel::Value& settings);

    static constexpr kernel::ClassInfo classInfo{&Sprite::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

protected:
    void onEnabledChanged() override;

private:
    void readSettings(kernel::NodeValue& settings);
    void readImage(kernel::NodeValue& settings);
    void cutFrames();
    void changeState(int value);
    void uncheckGroup();
    void toggle();

    int state = Normal;
    bool checked = false;
    std::string onSound;
    std::string offSound;
    std::string soundSection;
    kernel::SmartPtr<graphics::ImageBase> hitMask;
    int groupId = -1;
};

} // namespace ui
