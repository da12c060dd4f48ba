#pragma once

#include "engine/kernel/SmartPtr.h"
#include "engine/ui/Dialog.h"
#include "game/foundation/GameIds.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kernel {
class NodeValue;
class Value;
} // namespace kernel

namespace ui {
class Button;
class GameNode;
class Sprite;
} // namespace ui

namespace game {

// The first start's comic: full-screen pages of "strip" shown one after the other with a fade through
// black between them, and a "next" button that pulses while it may be pressed. A click anywhere on the
// comic counts as "next" too. After the last page it leads to the selection scene when it was shown over
// the loading scene, and closes itself anywhere else. Destroying it unloads the pages.
//
// It holds only the paper, the page shown and the next one: "strip" declares every picture and is where
// they are looked up, but the loader is asked for them by smaller sections that share them. The comic
// opens with its opening section loaded; the page after the one shown is read ahead on the loader thread
// and the page left behind is let go at the turn.
class DialogStrip : public ui::Dialog {
public:
    static constexpr int fadeMs = 450;
    static constexpr int pageCount = ids::stripPages;
    // The paper, the first page and the shine: what the comic opens with.
    static constexpr const char* openingSection = "stripopening";
    // The section of the page with that index (1 to pageCount - 1), the one page it holds.
    static std::string pageSection(int index);

    // The dialog's keys; "STRIP", "BUTTON_NEXT" and "BUTTON_NEXT_SHINE" are its components.
    explicit DialogStrip(kernel::NodeValue& settings);
    ~DialogStrip() override;

    // Puts the black above the page and starts the first fade.
    void activate() override;
    // A click on the comic outside the button; never taken, so the button and the scene hear it too.
    bool onLeftButtonDown(int x, int y, std::uint32_t keyFlags, bool doubleClick) override;
    static void onNext(void* receiver, ui::GameNode* sender);

    int getPage() const { return page; }
    // Null when the declaration lacks the component.
    ui::Button* getNextButton() const { return nextButton.get(); }
    ui::Sprite* getNextShine() const { return nextShine.get(); }
    ui::Sprite* getPageSprite() const { return pageSprite.get(); }
    ui::Sprite* getBlackOverlay() const { return blackOverlay.get(); }
    // "Next" may be asked for: the button is enabled, the comic fully shown and no fade runs.
    bool acceptsNext() const;

    static kernel::Object* createInstance(kernel::Value& settings);

    static constexpr kernel::ClassInfo classInfo{&ui::Dialog::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    void findComponents();
    void bindNextButton();
    void makeSurfaceWhenBare();
    void showPage();
    void readPageAhead() const;
    void letGoOfPage(int index) const;
    void releaseSceneBehind() const;

    void next();
    void fadeOut();
    void atFullBlack();
    void fadeIn();
    void afterFadeIn();
    void setNextOffered(bool offered);
    static bool shownOverLoadingScene();

    kernel::SmartPtr<ui::Button> nextButton;
    kernel::SmartPtr<ui::Sprite> nextShine;
    kernel::SmartPtr<ui::Sprite> pageSprite;
    kernel::SmartPtr<ui::Sprite> blackOverlay;
    std::vector<std::string> pages;
    int page = 0;
};

} // namespace game
