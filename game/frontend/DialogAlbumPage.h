#pragma once

#include "game/frontend/DialogPibble.h"

namespace game {

// The base of the album's right-hand pages. A page fills in its contents as it starts to fade in, fades
// all its sprites in and out over 250 ms, and tells the album when a fade is over, which drives the turn.
class DialogAlbumPage : public DialogPibble {
public:
    static constexpr int fadeMs = 250;

    // The dialog's keys.
    explicit DialogAlbumPage(kernel::NodeValue& settings);

    // Fill, then fade every sprite and the page in; then onAppeared and the album's onPageShown.
    virtual void appear();
    // Fade every sprite and the page out; then onDisappeared and the album's onPageLeft.
    virtual void disappear();
    // Every component that is a sprite (labels and buttons too).
    virtual void setSpritesAlpha(int alpha);
    // All transparent, so the page never shows at full opacity before its fade.
    virtual void resetSprites();
    virtual void fill() {}
    // Every component that is a button.
    virtual void setButtonsEnabled(bool enabled);
    virtual void onAppeared() {}
    virtual void onDisappeared() {}

    static kernel::Object* createInstance(kernel::Value& settings);

    static constexpr kernel::ClassInfo classInfo{&DialogPibble::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    void fadeSprites(int from, int to);
};

} // namespace game
