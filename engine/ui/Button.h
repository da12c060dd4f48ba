#pragma once

#include "engine/graphics/ImageBase.h"
#include "engine/kernel/InputListener.h"
#include "engine/kernel/SmartPtr.h"
#include "engine/ui/EnabledFlag.h"
#include "engine/ui/Sprite.h"
#include "engine/ui/WidgetCallback.h"

#include <cstdint>
#include <string>

namespace kernel {
class NodeValue;
class Value;
} // namespace kernel

namespace ui {

// The clickable image widget: four frames stacked in its image (normal, over, pressed, disabled), a
// pointer state machine, an optional hit mask, click, over and disabled sounds, and a callback that fires
// when a press is released over the button.
class Button : public Sprite, public kernel::InputListener, public WidgetCallback, public EnabledFlag {
public:
    enum State : int { Normal = 0, Over = 1, Pressed = 2 };
    static constexpr int stackedFrames = 4;
    static constexpr int disabledFrame = 3;

    // The sprite's keys, then "enabled", "hitmask" (an image in "section"), "clicksound", "disabledsound",
    // "oversound" and "soundsection", each only when present.
    explicit Button(kernel::NodeValue& settings);
    ~Button() override;

    // The button's own flag, not the listener part's.
    using EnabledFlag::isEnabled;
    using EnabledFlag::setEnabled;

    // Shows the frame of the state, or the disabled frame whatever the state while disabled.
    void setCurrentFrame(int state) override;
    bool containsPoint(int px, int py) const override;
    // Cuts the new image into the four frames.
    void setImage(graphics::ImageBase* value) override;
    // A killed button leaves the groups it joined at once, while they surely still exist.
    bool setDead(bool value) override;
    virtual void setState(int value);
    int getState() const { return state; }

    void onMouseMove(int x, int y, std::uint32_t keyFlags) override;
    bool onLeftButtonDown(int x, int y, std::uint32_t keyFlags, bool doubleClick) override;
    bool onLeftButtonUp(int x, int y, std::uint32_t keyFlags) override;

    graphics::ImageBase* getHitMask() const { return hitMask.get(); }

    static kernel::Object* createInstance(kernel::Value& settings);

    static constexpr kernel::ClassInfo classInfo{&Sprite::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

protected:
    void onEnabledChanged() override;

private:
    void readSettings(kernel::NodeValue& settings);
    void cutFrames();

    int state = Normal;
    std::string clickSound;
    std::string disabledSound;
    std::string overSound;
    std::string soundSection;
    kernel::SmartPtr<graphics::ImageBase> hitMask;
};

} // namespace ui
