#pragma once

#include "game/frontend/DialogPibble.h"

namespace ui {
class GameNode;
}

namespace game {

// The rules page that opens over a mode's first game. The field waits until its play button is pressed.
class DialogHowToPlay : public DialogPibble {
public:
    // The dialog's keys; "BUTTON_PLAY" is bound here.
    explicit DialogHowToPlay(kernel::NodeValue& settings);

    // The field announces ready and the page closes, in one press.
    static void onPlay(void* dialog, ui::GameNode* sender);

    static kernel::Object* createInstance(kernel::Value& settings);

    static constexpr kernel::ClassInfo classInfo{&DialogPibble::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }
};

} // namespace game
