#pragma once

#include "engine/ui/Dialog.h"
#include "game/frontend/DialogSection.h"

#include <cstdint>

namespace kernel {
class NodeValue;
class Value;
} // namespace kernel

namespace ui {
class GameNode;
}

namespace game {

// The cover over a paused play scene. It fades in when it is made, sounds the pause when shown and the
// end of it when closed, shows the hand over its "continue" text, and any click fades it out and closes
// it. The play scene stops and resumes its game by whether a dialog is open, so closing is all it does.
class DialogPause : public ui::Dialog {
public:
    // The dialog's keys, then the fade-in.
    explicit DialogPause(kernel::NodeValue& settings);
    ~DialogPause() override;
    // "scenepause": read as a pause is made, let go with the last pause.
    static DialogSection pictures;

    void activate() override;
    // The sound plays once, however often the dialog is taken down.
    void deactivate() override;
    bool isShown() const { return shown; }

    void onMouseMove(int x, int y, std::uint32_t keyFlags) override;
    // Every release adds a fade-out, a wait as long and the close; the release is taken.
    bool onLeftButtonUp(int x, int y, std::uint32_t keyFlags) override;

    // Closes and forgets the current scene's pause when it is this one, and the arrow comes back; a pause
    // closed already, or replaced by a fresh one, is left alone.
    void close();

    static kernel::Object* createInstance(kernel::Value& settings);

    static constexpr kernel::ClassInfo classInfo{&ui::Dialog::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    static void onFadedOut(void* dialog, ui::GameNode* node);
    bool overContinue(int x, int y);

    bool shown = false;
};

} // namespace game
