#pragma once

#include "engine/kernel/SmartPtr.h"
#include "game/frontend/DialogPibble.h"
#include "game/frontend/DialogSection.h"

#include <cstdint>

namespace graphics {
class ImageBase;
}

namespace ui {
class Button;
class GameNode;
class Sprite;
} // namespace ui

namespace game {

class DialogAlbumPage;
class PageTurner;

// The album book: a left-hand picture and a right-hand page dialog moved into the book, 35 pages (the
// contents, the statistics, three highscore pages, thirty collectables) or, in credits mode, the credits
// pages. Pages turn with one sheet per page (at most ten), through the buttons, the corners or the
// bookmarker, which goes back to the contents.
class DialogAlbum : public DialogPibble {
public:
    // The turn: idle, sheets turning, the page being opened, the page being left.
    enum State : std::int32_t { idle = 0, turning = 1, opening = 2, leaving = 3 };
    static constexpr int maxSheets = 10;
    static constexpr int fadeMs = 450;

    // The dialog's keys and its components, the buttons bound.
    explicit DialogAlbum(kernel::NodeValue& settings);
    ~DialogAlbum() override;
    // "album": read as an album is made (its pages are made inside it and find their pictures there), let
    // go with the last album; asked of the loader ahead where an album is known to be coming.
    static DialogSection pictures;

    void show() override;
    void hide() override;
    void onUpdate(std::uint32_t elapsedMs) override;
    void onMouseMove(int x, int y, std::uint32_t keyFlags) override;
    bool onLeftButtonDown(int x, int y, std::uint32_t keyFlags, bool doubleClick) override;

    void openAtContents();
    void openCredits();
    std::int32_t getPage() const { return page; }
    // The jump's distance is remembered for the sheets of the next turn.
    void setPage(std::int32_t value);
    std::int32_t getTurnDistance() const { return turnDistance; }
    std::int32_t getState() const { return state; }
    DialogAlbumPage* getPageDialog() const { return pageDialog.get(); }
    bool isCreditsMode() const { return creditsMode; }
    void selectNextCorner();
    void selectPreviousCorner();

    void nextPage();
    void previousPage();
    static void onBookmarkerButton(void* album, ui::GameNode* sender);
    // Opens the current page's dialog, hidden, inside the book.
    void openPageDialog();
    void fadeInPage();
    void leavePage();
    void closePageDialog();
    // From the page when its fade is over.
    void onPageShown();
    void onPageLeft();
    // From the last sheet of a turn.
    void onTurnFinished(PageTurner& sheet);
    void nextCreditsPage();

    // The page's buttons and every button of the book.
    void setEnabled(bool enabled) override;
    void showBookmarkerButton();
    void hideBookmarkerButton();
    void fadeInBookmarker();
    void fadeOutBookmarker();
    void fadeInLeftPage();
    void fadeOutLeftPage();

    PageTurner* getFirstTurner() const { return firstTurner.get(); }
    ui::Sprite* getLeftPage() const { return spriteLeftPage; }
    ui::Sprite* getCornerLeft() const { return spriteCornerLeft; }
    ui::Sprite* getCornerRight() const { return spriteCornerRight; }
    ui::Sprite* getBookmarker() const { return spriteBookmarker; }
    ui::Button* getButtonBookmarker() const { return buttonBookmarker; }
    ui::Button* getButtonMenu() const { return buttonMenu; }
    ui::Button* getButtonNext() const { return buttonNext; }
    ui::Button* getButtonPrev() const { return buttonPrev; }

    static kernel::Object* createInstance(kernel::Value& settings);

    static constexpr kernel::ClassInfo classInfo{&DialogPibble::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    void findComponents();
    void turnPages(std::int32_t count);
    void addSheet();
    graphics::ImageBase* turnStrip() const;
    // The page dialog of the current page, set up; null when none opens.
    DialogAlbumPage* openPageOfPlan();
    void showLeftPicture();
    void refreshCorners(int x, int y, bool requestCursor);
    static void onMenuButton(void* album, ui::GameNode* sender);
    static void onNextButton(void* album, ui::GameNode* sender);
    static void onPrevButton(void* album, ui::GameNode* sender);
    static void onCreditsPageShown(void* album, ui::GameNode* node);

    std::int32_t page = 0;
    std::int32_t turnDistance = 1;
    std::int32_t state = idle;
    bool creditsMode = false;
    ui::Sprite* spriteBackground = nullptr;
    ui::Sprite* spriteLeftPage = nullptr;
    ui::Sprite* spritePreviousPage = nullptr;
    ui::Sprite* spriteNextPage = nullptr;
    ui::Sprite* spriteBookmarker = nullptr;
    ui::Sprite* spriteCornerLeft = nullptr;
    ui::Sprite* spriteCornerRight = nullptr;
    ui::Sprite* turnSprite = nullptr;
    ui::Button* buttonBookmarker = nullptr;
    ui::Button* buttonMenu = nullptr;
    ui::Button* buttonNext = nullptr;
    ui::Button* buttonPrev = nullptr;
    kernel::SmartPtr<PageTurner> firstTurner;
    PageTurner* lastTurner = nullptr;
    kernel::SmartPtr<DialogAlbumPage> pageDialog;
};

} // namespace game
