#include "game/frontend/DialogAlbum.h"

#include "engine/kernel/NodeValue.h"
#include "engine/kernel/ObjectFactory.h"
#include "engine/platform/PointerPosition.h"
#include "engine/ui/Button.h"
#include "engine/ui/CallbackModifier.h"
#include "engine/ui/DelayModifier.h"
#include "engine/ui/FadeModifier.h"
#include "engine/ui/Sprite.h"
#include "game/foundation/GameIds.h"
#include "game/foundation/GameUtilities.h"
#include "game/foundation/PibblePlayer.h"
#include "game/frontend/AlbumPictures.h"
#include "game/frontend/DialogAlbumPage.h"
#include "game/frontend/DialogCollectables.h"
#include "game/frontend/DialogCredits.h"
#include "game/frontend/DialogHighscores.h"
#include "game/frontend/PageTurner.h"

#include <algorithm>
#include <cstdlib>

namespace game {

namespace {

const kernel::ClassRegistrar registrar("DialogAlbum", DialogAlbum::createInstance);

constexpr std::int32_t arrowCursor = 2;
constexpr std::int32_t handCursor = 3;

bool albumLocked() {
    const AlbumPictures* pictures = AlbumPictures::instance();
    return pictures == nullptr || pictures->isAlbumLocked();
}

void fade(ui::GameNode* node, int from, int to, int ms) {
    if (node != nullptr) {
        node->addModifier(new ui::FadeModifier(from, to, ms));
    }
}

bool inside(const ui::Sprite* sprite, int x, int y) {
    return sprite != nullptr && sprite->containsPoint(x, y);
}

} // namespace

DialogSection DialogAlbum::pictures{ids::groupAlbum};

DialogAlbum::DialogAlbum(kernel::NodeValue& settings) : DialogPibble(pictures.readFor(settings)) {
    findComponents();
    bindCallback(ids::buttonMenu, this, onMenuButton, listenerList());
    bindCallback(ids::buttonNext, this, onNextButton, listenerList());
    bindCallback(ids::buttonPrev, this, onPrevButton, listenerList());
    bindCallback(ids::buttonBookmarker, this, onBookmarkerButton, listenerList());
    turnSprite = spriteNextPage;
}

DialogAlbum::~DialogAlbum() {
    pictures.letGo();
}

kernel::Object* DialogAlbum::createInstance(kernel::Value& settings) {
    return settings.isNode() ? new DialogAlbum(settings.asNode()) : nullptr;
}

void DialogAlbum::findComponents() {
    spriteBackground = findComponentAs<ui::Sprite>(ids::spriteBackground);
    spriteLeftPage = findComponentAs<ui::Sprite>(ids::spriteLeftPage);
    spritePreviousPage = findComponentAs<ui::Sprite>(ids::spritePreviousPage);
    spriteNextPage = findComponentAs<ui::Sprite>(ids::spriteNextPage);
    spriteBookmarker = findComponentAs<ui::Sprite>(ids::spriteBookmarker);
    spriteCornerLeft = findComponentAs<ui::Sprite>(ids::spriteCornerLeft);
    spriteCornerRight = findComponentAs<ui::Sprite>(ids::spriteCornerRight);
    buttonBookmarker = findComponentAs<ui::Button>(ids::buttonBookmarker);
    buttonMenu = findComponentAs<ui::Button>(ids::buttonMenu);
    buttonNext = findComponentAs<ui::Button>(ids::buttonNext);
    buttonPrev = findComponentAs<ui::Button>(ids::buttonPrev);
}

void DialogAlbum::show() {
    playSound(ids::soundBookAppears, ids::groupSounds);
    DialogPibble::show();
    state = idle;
    if (spriteLeftPage != nullptr) {
        spriteLeftPage->setAlpha(0);
    }
    turnDistance = 1;
    turnSprite = spriteNextPage;
    creditsMode = false;
}

void DialogAlbum::hide() {
    playSound(ids::soundBookDisappears, ids::groupSounds);
    DialogPibble::hide();
    closePageDialog();
    removeAllModifiers();
}

void DialogAlbum::openAtContents() {
    page = 0;
    turnDistance = 1;
    openPageDialog();
}

void DialogAlbum::openCredits() {
    page = 0;
    turnDistance = 1;
    creditsMode = true;
    showNode(spriteBookmarker, false);
    showNode(buttonBookmarker, false);
    showNode(buttonNext, false);
    showNode(buttonPrev, false);
    openPageDialog();
}

void DialogAlbum::setPage(std::int32_t value) {
    turnDistance = std::abs(value - page);
    page = value;
}

void DialogAlbum::selectNextCorner() {
    turnSprite = spriteNextPage;
}

void DialogAlbum::selectPreviousCorner() {
    turnSprite = spritePreviousPage;
}

// Opening and leaving pages.

DialogAlbumPage* DialogAlbum::openPageOfPlan() {
    const auto open = [](const char* name) -> DialogAlbumPage* {
        ui::Dialog* made = DialogPibble::openDialog(name);
        return made != nullptr && made->isKindOf(DialogAlbumPage::classInfo)
                   ? static_cast<DialogAlbumPage*>(made)
                   : nullptr;
    };
    if (creditsMode) {
        DialogAlbumPage* opened = open(ids::dialogCredits);
        if (opened != nullptr && opened->isKindOf(DialogCredits::classInfo)) {
            static_cast<DialogCredits*>(opened)->setPage(page);
        }
        return opened;
    }
    if (page == 0) {
        return open(ids::dialogToc);
    }
    if (page < AlbumPictures::firstHighscorePage) {
        return open(ids::dialogStatistics);
    }
    if (page < AlbumPictures::firstCollectablePage) {
        DialogAlbumPage* opened = open(ids::dialogHighscores);
        if (opened != nullptr && opened->isKindOf(DialogHighscores::classInfo)) {
            static_cast<DialogHighscores*>(opened)->setMode(page - AlbumPictures::firstHighscorePage);
        }
        return opened;
    }
    DialogAlbumPage* opened = open(ids::dialogCollectables);
    if (opened != nullptr && opened->isKindOf(DialogCollectables::classInfo)) {
        const AlbumPictures* pictures = AlbumPictures::instance();
        const std::int32_t position = page - AlbumPictures::firstCollectablePage + 1;
        static_cast<DialogCollectables*>(opened)->setCollectable(
            pictures != nullptr ? pictures->collectableAt(position) : 0);
    }
    return opened;
}

// The contents have no picture; the credits show theirs only to a player who has seen the hard VIB game.
void DialogAlbum::showLeftPicture() {
    if (spriteLeftPage == nullptr) {
        return;
    }
    AlbumPictures* pictures = AlbumPictures::instance();
    graphics::ImageBase* picture = nullptr;
    if (pictures != nullptr && page > 0) {
        if (!creditsMode) {
            picture = pictures->buildAlbumLeftPagePicture(page);
        } else if (PibblePlayer::isHardModeUnlocked(0)) {
            picture = pictures->buildCreditsLeftPagePicture(page);
        }
    }
    if (picture != nullptr) {
        spriteLeftPage->setImage(picture);
        spriteLeftPage->setVisible(true);
    } else {
        spriteLeftPage->setVisible(false);
    }
}

void DialogAlbum::openPageDialog() {
    state = opening;
    pageDialog = nullptr;
    if (page < 0 || (!creditsMode && page > AlbumPictures::lastPage)) {
        state = idle;
        return;
    }
    if (creditsMode) {
        showNode(buttonBookmarker, false);
    }
    pageDialog = openPageOfPlan();
    showLeftPicture();
    if (!pageDialog) {
        return;
    }
    // Drawn over the book's background and under its other parts.
    if (spriteBackground != nullptr) {
        spriteBackground->insertAfter(pageDialog.get());
    } else if (ui::GameNode* content = getContentNode()) {
        content->addChild(pageDialog.get());
    }
    pageDialog->resetSprites();
}

void DialogAlbum::fadeInPage() {
    if (!albumLocked()) {
        setEnabled(true);
    }
    fade(spriteLeftPage, 0, 255, DialogAlbumPage::fadeMs);
    if (pageDialog) {
        pageDialog->appear();
    } else {
        onPageShown();
    }
}

void DialogAlbum::leavePage() {
    setEnabled(false);
    state = leaving;
    if (AlbumPictures* pictures = AlbumPictures::instance()) {
        pictures->prepareTurnStrip(turnSprite != spritePreviousPage);
    }
    if (spriteLeftPage != nullptr) {
        fade(spriteLeftPage, 255, 0, DialogAlbumPage::fadeMs);
        spriteLeftPage->setVisible(false);
    }
    if (pageDialog) {
        pageDialog->disappear();
    } else {
        onPageLeft();
    }
}

void DialogAlbum::closePageDialog() {
    if (!pageDialog) {
        return;
    }
    pageDialog->removeAllModifiers();
    DialogPibble::closeDialog(pageDialog->getName());
    pageDialog = nullptr;
}

// The sheets of a finished turn have nothing left to show.
void DialogAlbum::onPageShown() {
    for (PageTurner* sheet = firstTurner.get(); sheet != nullptr; sheet = sheet->getNext()) {
        sheet->kill();
    }
    firstTurner = nullptr;
    lastTurner = nullptr;
    state = idle;
    if (creditsMode) {
        const std::int32_t displayMs = pageDialog && pageDialog->isKindOf(DialogCredits::classInfo)
                                           ? static_cast<DialogCredits*>(pageDialog.get())->displayTime()
                                           : 0;
        addModifier(new ui::DelayModifier(displayMs));
        addModifier(new ui::CallbackModifier(
            this, [](void* album, ui::GameNode*) { static_cast<DialogAlbum*>(album)->nextCreditsPage(); }));
        enableButton(buttonMenu, true);
        return;
    }
    if (!albumLocked()) {
        refreshCorners(platform::pointerX, platform::pointerY, false);
    }
}

void DialogAlbum::onPageLeft() {
    closePageDialog();
    turnPages(turnDistance);
}

void DialogAlbum::onTurnFinished(PageTurner& /*sheet*/) {
    openPageDialog();
    fadeInPage();
}

// Turning.

void DialogAlbum::turnPages(std::int32_t count) {
    for (PageTurner* sheet = firstTurner.get(); sheet != nullptr; sheet = sheet->getNext()) {
        sheet->kill();
    }
    const kernel::SmartPtr<PageTurner> first = new PageTurner(*this);
    addChild(first.get());
    first->turnPage(turnSprite, turnStrip());
    firstTurner = first;
    lastTurner = first.get();
    for (std::int32_t i = 1; i < std::min(count, maxSheets); ++i) {
        addSheet();
    }
    state = turning;
    firstTurner->startTurn();
}

// The strip of the way the pages turn, read at the first turn that way.
graphics::ImageBase* DialogAlbum::turnStrip() const {
    AlbumPictures* pictures = AlbumPictures::instance();
    return pictures != nullptr ? pictures->turnStrip(turnSprite != spritePreviousPage) : nullptr;
}

// A sheet joins behind the last one and is drawn beneath it.
void DialogAlbum::addSheet() {
    const kernel::SmartPtr<PageTurner> sheet = new PageTurner(*this);
    lastTurner->attach(sheet.get());
    sheet->turnPage(turnSprite, turnStrip());
    lastTurner->insertBefore(sheet.get());
    lastTurner = sheet.get();
}

void DialogAlbum::nextPage() {
    if (page >= AlbumPictures::lastPage) {
        return;
    }
    if (state == idle) {
        selectNextCorner();
        page += 1;
        turnDistance = 1;
        leavePage();
    } else if (state == turning && turnSprite == spriteNextPage && lastTurner != nullptr) {
        page += 1;
        addSheet();
    }
}

void DialogAlbum::previousPage() {
    if (page < 1) {
        return;
    }
    if (state == idle) {
        selectPreviousCorner();
        page -= 1;
        turnDistance = 1;
        leavePage();
    } else if (state == turning && turnSprite == spritePreviousPage && lastTurner != nullptr) {
        page -= 1;
        addSheet();
    }
}

void DialogAlbum::onBookmarkerButton(void* album, ui::GameNode* /*sender*/) {
    auto* self = static_cast<DialogAlbum*>(album);
    if (self->page < 1) {
        return;
    }
    self->setPage(0);
    self->selectPreviousCorner();
    self->leavePage();
}

void DialogAlbum::onMenuButton(void* /*album*/, ui::GameNode* /*sender*/) {
    if (AlbumPictures* pictures = AlbumPictures::instance()) {
        pictures->closeAlbum();
    }
}

void DialogAlbum::onNextButton(void* album, ui::GameNode* /*sender*/) {
    static_cast<DialogAlbum*>(album)->nextPage();
}

void DialogAlbum::onPrevButton(void* album, ui::GameNode* /*sender*/) {
    static_cast<DialogAlbum*>(album)->previousPage();
}

void DialogAlbum::nextCreditsPage() {
    page += 1;
    enableButton(buttonMenu, false);
    if (page < AlbumPictures::creditsPageCount()) {
        leavePage();
    } else if (AlbumPictures* pictures = AlbumPictures::instance()) {
        pictures->closeAlbum();
    }
}

// Buttons and the bookmarker.

void DialogAlbum::setEnabled(bool enabled) {
    if (pageDialog) {
        pageDialog->setButtonsEnabled(enabled);
    }
    ui::GameNode* content = getContentNode();
    for (ui::GameNode* node = content != nullptr ? content->getFirstChild() : nullptr; node != nullptr;
         node = node->getNextSibling()) {
        if (node->isKindOf(ui::Button::classInfo)) {
            static_cast<ui::Button*>(node)->setEnabled(enabled);
        }
    }
}

void DialogAlbum::showBookmarkerButton() {
    showNode(buttonBookmarker, true);
    showNode(spriteBookmarker, false);
}

void DialogAlbum::hideBookmarkerButton() {
    showNode(buttonBookmarker, false);
    showNode(spriteBookmarker, true);
}

void DialogAlbum::fadeInBookmarker() {
    fade(spriteBookmarker, 0, 255, fadeMs);
    fade(buttonBookmarker, 0, 255, fadeMs);
}

void DialogAlbum::fadeOutBookmarker() {
    fade(spriteBookmarker, 255, 0, fadeMs);
    fade(buttonBookmarker, 255, 0, fadeMs);
}

void DialogAlbum::fadeInLeftPage() {
    fade(spriteLeftPage, 0, 255, fadeMs);
}

void DialogAlbum::fadeOutLeftPage() {
    fade(spriteLeftPage, 255, 0, fadeMs);
}

// Input.

void DialogAlbum::onUpdate(std::uint32_t elapsedMs) {
    DialogPibble::onUpdate(elapsedMs);
    const bool ready = !albumLocked() && state == idle;
    enableButton(buttonPrev, ready && page > 0);
    enableButton(buttonNext, ready && page < AlbumPictures::lastPage);
}

void DialogAlbum::refreshCorners(int x, int y, bool requestCursor) {
    const bool idleNow = state == idle;
    const bool left = idleNow && page >= 1 && inside(spriteCornerLeft, x, y);
    const bool right = idleNow && page < AlbumPictures::lastPage && inside(spriteCornerRight, x, y);
    showNode(spriteCornerLeft, left);
    showNode(spriteCornerRight, right);
    if (!requestCursor) {
        return;
    }
    const bool onBookmarker = idleNow && page != 0 && inside(buttonBookmarker, x, y);
    if (AlbumPictures* pictures = AlbumPictures::instance()) {
        pictures->setCursorRequest(left || right || onBookmarker ? handCursor : arrowCursor, 0);
    }
}

void DialogAlbum::onMouseMove(int x, int y, std::uint32_t keyFlags) {
    DialogPibble::onMouseMove(x, y, keyFlags);
    if (albumLocked() || creditsMode) {
        return;
    }
    refreshCorners(x, y, true);
}

bool DialogAlbum::onLeftButtonDown(int x, int y, std::uint32_t keyFlags, bool doubleClick) {
    if (albumLocked() || creditsMode) {
        return false;
    }
    DialogPibble::onLeftButtonDown(x, y, keyFlags, doubleClick);
    if (page > 0 && inside(spriteCornerLeft, x, y)) {
        previousPage();
        return true;
    }
    if (page <= AlbumPictures::lastPage && inside(spriteCornerRight, x, y)) {
        nextPage();
        return true;
    }
    return false;
}

} // namespace game
