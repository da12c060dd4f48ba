#pragma once

#include "engine/graphics/PointF.h"
#include "engine/kernel/InputListener.h"
#include "engine/kernel/SmartPtr.h"
#include "engine/ui/EnabledFlag.h"
#include "engine/ui/Sprite.h"
#include "engine/ui/WidgetCallback.h"

#include <cstdint>

namespace kernel {
class ListenerGroup;
class NodeValue;
class Value;
} // namespace kernel

namespace ui {

class Button;

// The value widget: a knob button dragged along a straight track inside the slider's rectangle, with
// optional increment and decrement buttons outside its ends. The knob's place along the track shows the
// value's fraction of the range; the callback fires whenever the user changes the value.
class Slider : public Sprite, public kernel::InputListener, public WidgetCallback, public EnabledFlag {
public:
    // The share of the range that a step button adds or takes away.
    static constexpr float stepFactor = 0.1f;

    // The sprite's keys, then "enabled", "minvalue", "maxvalue", "vertical", the knob from "button", the
    // step buttons from "incbutton" and "decbutton", and the track from "offset1" and "offset2" or else
    // "minx", "miny", "maxx" and "maxy". Without a knob the slider cannot work; the factory refuses it.
    explicit Slider(kernel::NodeValue& settings);
    ~Slider() override;

    // The slider's own flag, handed on to the knob and the step buttons; the listener part keeps its own.
    using EnabledFlag::isEnabled;
    using EnabledFlag::setEnabled;

    // Game-area coordinates against the slider's own rectangle; the anchor is not considered.
    bool containsPoint(int px, int py) const override;
    // A killed slider takes its own and its step buttons' listeners out of their groups at once.
    bool setDead(bool flag) override;
    // Also for an owner that dies with the slider inside it, since the slider itself is then never killed.
    void leaveAllListenerGroups();
    // The slider's listener at the front, so it sees a press before the step buttons at the back.
    void enlistListeners(kernel::ListenerGroup& group) override;

    float getValue() const { return value; }
    // Neither clamps nor fires: a value outside the range places the knob beyond the track's end.
    void setValue(float newValue);
    float getMinimum() const { return minimum; }
    float getMaximum() const { return maximum; }
    bool isVertical() const { return vertical; }

    // The track from the origin to the far end of the slider less the knob's size.
    void updateTrack();
    void placeKnob();
    // A step of a tenth of the range, stopping at the range's end; fires.
    void increment();
    void decrement();
    // Moves the knob holder to the track point nearest the pointer less the grab offset and takes the
    // value from it.
    void dragTo(int x, int y);

    // Where the knob holder's origin sits at the minimum and at the maximum, in the slider's coordinates.
    const graphics::PointF& getTrackStart() const { return trackStart; }
    const graphics::PointF& getTrackEnd() const { return trackEnd; }
    GameNode* getKnobHolder() const { return knobHolder.get(); }
    Button* getKnob() const { return knob.get(); }
    Button* getIncrementButton() const { return incrementButton.get(); }
    Button* getDecrementButton() const { return decrementButton.get(); }

    void onMouseMove(int x, int y, std::uint32_t keyFlags) override;
    bool onLeftButtonDown(int x, int y, std::uint32_t keyFlags, bool doubleClick) override;
    bool onLeftButtonUp(int x, int y, std::uint32_t keyFlags) override;

    // Null for a declaration whose "button" makes no knob.
    static kernel::Object* createInstance(kernel::Value& settings);

    static constexpr kernel::ClassInfo classInfo{&Sprite::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

protected:
    void onEnabledChanged() override;

private:
    void createKnobHolder();
    void readRange(kernel::NodeValue& settings);
    void createKnob(kernel::NodeValue& settings);
    void createStepButtons(kernel::NodeValue& settings);
    kernel::SmartPtr<Button> createButton(kernel::NodeValue& settings, const char* key);
    void readTrack(kernel::NodeValue& settings);
    void placeStepButtons();
    void grabAt(int x, int y, bool onKnob);
    bool knobContains(int x, int y) const;
    void setKnobState(int state);
    int knobState() const;
    void fire() { invoke(this); }

    static void onIncrementButton(void* receiver, GameNode* sender);
    static void onDecrementButton(void* receiver, GameNode* sender);

    float value = 0.0f;
    float minimum = 0.0f;
    float maximum = 1.0f;
    bool vertical = false;
    graphics::PointF trackStart;
    graphics::PointF trackEnd;
    int grabX = 0;
    int grabY = 0;
    kernel::SmartPtr<GameNode> knobHolder;
    kernel::SmartPtr<Button> knob;
    kernel::SmartPtr<Button> incrementButton;
    kernel::SmartPtr<Button> decrementButton;
};

} // namespace ui
