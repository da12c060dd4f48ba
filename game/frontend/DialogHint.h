#pragma once

#include "engine/kernel/SmartPtr.h"
#include "game/frontend/DialogPibble.h"

#include <string>

namespace graphics {
class MemoryImage32;
}

namespace ui {
class Button;
class DialogPainter;
class GameNode;
class Label;
class Sprite;
class Switch;
} // namespace ui

namespace game {

// The hint: a speech bubble with one hint text that points at a target on the screen (its bubble chosen
// by the target's quarter of the screen), over a veil that darkens everything but the bubble and what it
// points at, with an OK button and a switch that turns this hint off for the player. Every hint is a fresh
// dialog: OK fades it out and removes it from the scene.
//
// The declaration lays the bubble's contents out in the plain dialog frame. A bubble frame whose sides or
// rows are wider (the arrow's column, the time bar's tail) widens the dialog by as much and moves the
// contents with its inner side, so they keep their place in the bubble's body.
class DialogHint : public DialogPibble {
public:
    // Bubble placement: the target's quarter is split at the screen's middle; the bubble's corner lies this
    // far from the target.
    static constexpr int screenMiddleX = 320;
    static constexpr int screenMiddleY = 240;
    static constexpr int arrowLeft = 63;
    static constexpr int arrowAbove = 112;
    static constexpr int arrowBelow = 14;
    // The pibble a bubble points at stays lit: a soft round light about its body, which stands this far
    // above its feet.
    static constexpr int lightAboveFeet = 24;
    static constexpr int lightRadiusX = 28;
    static constexpr int lightRadiusY = 28;
    static constexpr int lightSoftness = 8;
    // Without a target the time bar's hints stand at the bottom left, the others in the middle, enlarged.
    static constexpr int timeBarX = 62;
    static constexpr int timeBarBelow = 35;
    static constexpr float enlargeWidth = 1.2f;
    static constexpr float enlargeHeight = 1.1f;
    // The veil's darkness and how long the hint fades in and out (ms).
    static constexpr int veilAlpha = 153;
    static constexpr int fadeMs = 300;

    // The widths of a frame's side columns and the heights of its top and bottom rows.
    struct FrameInsets {
        int left = 0;
        int top = 0;
        int right = 0;
        int bottom = 0;
    };

    // The dialog's keys; "SWITCH", "BUTTON_OK", "LABEL_HINT" and "LABEL_SHOW" are its components.
    explicit DialogHint(kernel::NodeValue& settings);
    ~DialogHint() override;

    void setTarget(ui::GameNode* node);
    // The text of the key goes into the hint label.
    void setHintText(const std::string& key);
    // Grows by the text, takes its place and bubble, veils the screen and fades in.
    void show() override;
    void hide() override;
    // Turns the hint off when the switch is checked, fades out and closes.
    static void onOk(void* dialog, ui::GameNode* sender);

    ui::GameNode* getTarget() const { return target.get(); }
    const std::string& getHintKey() const { return hintKey; }
    ui::Sprite* getVeil() const { return veil.get(); }
    // The veil picture all hints share; null until the first hint shows.
    static graphics::ImageBase* sharedVeilImage();

    static kernel::Object* createInstance(kernel::Value& settings);

    static constexpr kernel::ClassInfo classInfo{&DialogPibble::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    // Null or a frame without its pictures has none.
    static FrameInsets insetsOf(const ui::DialogPainter* painter);
    void growByText();
    void place();
    void placeByTarget();
    void enlargeInTheMiddle();
    void usePainter(const char* declaration);
    void moveContents(int dx, int dy);
    void spreadVeil();
    void clearUnderBubble(graphics::MemoryImage32& image) const;
    void lightTarget(graphics::MemoryImage32& image) const;
    void lightTimeBar(graphics::MemoryImage32& image) const;
    void fadeAll(int from, int to);

    ui::Switch* hintSwitch = nullptr;
    ui::Button* buttonOk = nullptr;
    ui::Label* hintLabel = nullptr;
    ui::Label* showLabel = nullptr;
    kernel::SmartPtr<ui::GameNode> target;
    kernel::SmartPtr<ui::Sprite> veil;
    std::string hintKey;
};

} // namespace game
