#pragma once

#include "game/foundation/PibbleOptions.h"
#include "game/frontend/DialogPibble.h"

#include <cstdint>

namespace ui {
class Slider;
class Switch;
} // namespace ui

namespace game {

// The settings: the effects and music volumes, full screen and whether hints are shown. The dialog is
// itself an options record whose full-screen flag and volumes live in its widgets, so the stored options
// are copied into it to show them and out of it to keep them. The sliders are heard at once (and the
// effects slider plops with a pitch that follows it); the switches take effect on OK; Cancel puts the
// volumes back.
class DialogSettings : public DialogPibble, public PibbleOptions {
public:
    // The least time between two plops while the effects slider moves (ms).
    static constexpr std::uint32_t plopIntervalMs = 500;
    // The value of the plop before any was heard.
    static constexpr int noPlopValue = -100;

    // The dialog's keys; the buttons "BUTTON_OK", "BUTTON_CANCEL" and "BUTTON_INFO", the two volume sliders
    // (over 0 to 255) and the two switches are its components.
    explicit DialogSettings(kernel::NodeValue& settings);
    ~DialogSettings() override;

    // Shows the stored options, with the switch telling whether the game is in full screen now.
    void show() override;
    void hide() override;
    // The plop of a moved effects slider.
    void onUpdate(std::uint32_t elapsedMs) override;

    // The options the widgets hold; without its widget an option is kept in the record as usual.
    bool getFullScreen() const override;
    std::int32_t getSoundVolume() const override;
    std::int32_t getMusicVolume() const override;
    // Shows whether the game is in full screen now: the flag handed in is not used.
    void setFullScreen(bool flag) override;
    void setSoundVolume(std::int32_t volume) override;
    void setMusicVolume(std::int32_t volume) override;

    // The handlers: the receiver is the dialog as a game node.
    static void onOk(void* dialog, ui::GameNode* sender);
    static void onCancel(void* dialog, ui::GameNode* sender);
    static void onInfo(void* dialog, ui::GameNode* sender);
    static void onSoundSlider(void* dialog, ui::GameNode* sender);
    static void onMusicSlider(void* dialog, ui::GameNode* sender);
    static void onSwitch(void* dialog, ui::GameNode* sender);

    ui::Slider* getSoundSlider() const { return soundSlider; }
    ui::Slider* getMusicSlider() const { return musicSlider; }
    ui::Switch* getFullScreenSwitch() const { return fullScreenSwitch; }
    ui::Switch* getShowHintsSwitch() const { return showHintsSwitch; }

    static kernel::Object* createInstance(kernel::Value& settings);

    static constexpr kernel::ClassInfo classInfo{&DialogPibble::classInfo};
    // Answers for both bases: the dialog is known by its own record.
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    static DialogSettings& of(void* dialog);
    void applyDisplayAndVolumes();
    void keepOptions();
    void plop(int number);

    ui::Slider* soundSlider = nullptr;
    ui::Slider* musicSlider = nullptr;
    ui::Switch* fullScreenSwitch = nullptr;
    ui::Switch* showHintsSwitch = nullptr;
    std::uint32_t now = 0;
    std::uint32_t lastPlopTime = 0;
    int lastPlopValue = noPlopValue;
};

} // namespace game
