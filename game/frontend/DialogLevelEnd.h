#pragma once

#include "engine/graphics/ImageBase.h"
#include "engine/kernel/Rect.h"
#include "engine/kernel/SmartPtr.h"
#include "game/foundation/GameIds.h"
#include "game/frontend/DialogPibble.h"

#include <array>
#include <cstdint>
#include <vector>

namespace ui {
class Button;
class GameNode;
class Label;
class Sprite;
} // namespace ui

namespace game {

class SpriteLabel;

// The end of every level and VIB chapter: a carrot slides in, the header's letters jump out of it one by
// one, and the carrot is eaten in thirteen bites with crumbs flying off. Then, by the level-end kind it
// was shown with, it continues by itself (a finished level or chapter) or explains the failure and waits
// for the continue button (ACTION, RELAX) or the try-again question (VIB). Continuing hands the level back
// to the play scene through the scene's virtual operations.
class DialogLevelEnd : public DialogPibble {
public:
    static constexpr int bites = ids::carrotBites;
    static constexpr int crumbKinds = ids::carrotCrumbKinds;
    // Where the bites' masks are declared: a section never loaded as a whole, each mask read at its bite.
    static constexpr const char* biteMaskSection = "carrotbites";

    // The dialog's keys. The level-end kind goes back to 0: the opener stores the new one after this.
    explicit DialogLevelEnd(kernel::NodeValue& settings);
    // The level-end kind goes back to 0, unless a newer dialog has been shown with it since.
    ~DialogLevelEnd() override;

    // Takes the level-end kind and builds the whole sequence afresh.
    void show() override;
    void hide() override;
    // Waits for the last letter, then composes the carrot and starts the bites; the hand over the continue
    // button.
    void onUpdate(std::uint32_t elapsedMs) override;
    // After a failed ACTION or RELAX level, a click anywhere continues once the continue button has arrived.
    bool onLeftButtonDown(int x, int y, std::uint32_t keyFlags, bool doubleClick) override;

    // The handlers: the receiver is the dialog.
    static void onContinue(void* dialog, ui::GameNode* sender);
    static void onTryAgain(void* dialog, ui::GameNode* sender);
    // From a letter's jump: the carrot's front is cut away up to the letter.
    static void clipCarrotFront(void* dialog, ui::GameNode* glyph);
    static void enableYesNo(void* dialog, ui::GameNode* sender);
    static void biteCarrot(void* dialog, ui::GameNode* sender);

    // The kind taken at the last show (1 finished, 2 failed, 3 chapter finished).
    std::int32_t getKind() const { return kind; }
    std::int32_t getBiteCount() const { return biteCount; }
    ui::Sprite* getWhiteBar() const { return whiteBar; }
    ui::Sprite* getCarrot() const { return carrot; }
    ui::Sprite* getCarrotFront() const { return carrotFront; }
    ui::Sprite* getCarrotBack() const { return carrotBack; }
    ui::Button* getButtonContinue() const { return buttonContinue; }
    ui::Button* getButtonYes() const { return buttonYes; }
    ui::Button* getButtonNo() const { return buttonNo; }
    SpriteLabel* getHeader() const { return header; }
    ui::Label* getText() const { return text; }
    ui::Label* getTryAgain() const { return tryAgain; }
    ui::Sprite* getLastGlyph() const { return lastGlyph.get(); }
    const kernel::Rect& getFrontClip() const { return frontClip; }
    const std::vector<kernel::SmartPtr<ui::Sprite>>& getCrumbs() const { return crumbs; }

    static kernel::Object* createInstance(kernel::Value& settings);

    static constexpr kernel::ClassInfo classInfo{&DialogPibble::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    void findComponents();
    void bindButtons();
    void loadImages();
    void resetSequence();
    void setTexts();
    void jumpLetters();
    void layOut();
    void showFailure();
    void showFailureVib();
    void showFailureContinue();
    void slideInCarrot();

    bool lettersDone() const;
    void composeCarrot();
    void startBites();
    void bite();
    void followPointer();
    // Whether the continue button stands still where it was going.
    bool continueArrived() const;

    ui::Sprite* whiteBar = nullptr;
    ui::Sprite* carrot = nullptr;
    ui::Sprite* carrotFront = nullptr;
    ui::Sprite* carrotBack = nullptr;
    kernel::SmartPtr<ui::Sprite> lastGlyph;
    ui::Button* buttonContinue = nullptr;
    ui::Button* buttonYes = nullptr;
    ui::Button* buttonNo = nullptr;
    kernel::Rect frontClip;
    std::array<kernel::SmartPtr<graphics::ImageBase>, crumbKinds> crumbImages;
    SpriteLabel* header = nullptr;
    ui::Label* text = nullptr;
    ui::Label* tryAgain = nullptr;
    std::int32_t biteCount = 0;
    std::int32_t kind = 0;
    bool bitesStarted = false;
    // Once only: a second answer in the same frame must not end the level twice.
    bool answered = false;
    std::vector<kernel::SmartPtr<ui::Sprite>> crumbs;
};

} // namespace game
