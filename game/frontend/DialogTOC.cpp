#include "game/frontend/DialogTOC.h"

#include "engine/kernel/NodeValue.h"
#include "engine/kernel/ObjectFactory.h"
#include "engine/ui/Label.h"
#include "engine/ui/Sprite.h"
#include "game/foundation/GameIds.h"
#include "game/frontend/AlbumPictures.h"
#include "game/frontend/DialogAlbum.h"

namespace game {

namespace {

const kernel::ClassRegistrar registrar("DialogTOC", DialogTOC::createInstance);

constexpr std::int32_t arrowCursor = 2;
constexpr std::int32_t handCursor = 3;
// The album's pointer slot that this page asks in.
constexpr std::int32_t contentsSlot = 1;
// The pages the entries open, by entry.
constexpr std::int32_t entryPages[] = {
    1, AlbumPictures::firstHighscorePage, AlbumPictures::firstHighscorePage + 1,
    AlbumPictures::firstHighscorePage + 2, AlbumPictures::firstCollectablePage};
// A press tries the entries in this order and takes the first one under the pointer: collectables, VIB,
// RELAX, ACTION, statistics.
constexpr std::size_t pressOrder[] = {4, 1, 3, 2, 0};

template <class Kind> Kind* componentOf(DialogTOC& dialog, const char* name) {
    ui::GameNode* found = dialog.findComponent(name);
    return found != nullptr && found->isKindOf(Kind::classInfo) ? static_cast<Kind*>(found) : nullptr;
}

void showLabel(ui::Label* label, bool visible) {
    if (label != nullptr) {
        label->setVisible(visible);
    }
}

// The album whose page this is, while it takes input: a press while it is locked or turning would start a
// second turn over the first.
DialogAlbum* albumTakingInput() {
    AlbumPictures* pictures = AlbumPictures::instance();
    DialogAlbum* album = pictures != nullptr ? pictures->albumDialog() : nullptr;
    if (album == nullptr || pictures->isAlbumLocked() || album->getState() != DialogAlbum::idle) {
        return nullptr;
    }
    return album;
}

void requestCursor(std::int32_t shape) {
    if (AlbumPictures* pictures = AlbumPictures::instance()) {
        pictures->setCursorRequest(shape, contentsSlot);
    }
}

} // namespace

DialogTOC::DialogTOC(kernel::NodeValue& settings) : DialogAlbumPage(settings) {
    labelHighscores = componentOf<ui::Label>(*this, ids::labelHighscores);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        entries[i].label = componentOf<ui::Label>(*this, ids::tocEntries[i]);
        entries[i].hover = componentOf<ui::Label>(*this, ids::tocEntriesOver[i]);
        entries[i].page = entryPages[i];
    }
    spriteBookmarker = componentOf<ui::Sprite>(*this, ids::spriteBookmarker);
    // Last, so that no text set while the page was built narrows the hit areas again.
    for (const Entry& entry : entries) {
        if (entry.label != nullptr) {
            entry.label->setWidth(entryWidth);
        }
    }
}

kernel::Object* DialogTOC::createInstance(kernel::Value& settings) {
    return settings.isNode() ? new DialogTOC(settings.asNode()) : nullptr;
}

void DialogTOC::appear() {
    DialogAlbumPage::appear();
    for (const Entry& entry : entries) {
        showLabel(entry.hover, false);
    }
}

void DialogTOC::onMouseMove(int x, int y, std::uint32_t keyFlags) {
    DialogAlbumPage::onMouseMove(x, y, keyFlags);
    const bool active = albumTakingInput() != nullptr;
    bool overAny = false;
    for (const Entry& entry : entries) {
        const bool over = active && entry.label != nullptr && entry.label->containsPoint(x, y);
        showLabel(entry.hover, over);
        showLabel(entry.label, !over);
        overAny = overAny || over;
    }
    requestCursor(overAny ? handCursor : arrowCursor);
}

// The page's own request goes back to the arrow when it is left: the album keeps the slot, and a hand
// left in it would win over every later request of the album.
bool DialogTOC::onLeftButtonDown(int x, int y, std::uint32_t keyFlags, bool doubleClick) {
    DialogAlbum* album = albumTakingInput();
    if (album == nullptr) {
        return DialogAlbumPage::onLeftButtonDown(x, y, keyFlags, doubleClick);
    }
    for (const std::size_t index : pressOrder) {
        const Entry& entry = entries[index];
        if (entry.label != nullptr && entry.label->containsPoint(x, y)) {
            requestCursor(arrowCursor);
            album->setPage(entry.page);
            album->selectNextCorner();
            album->leavePage();
            return true;
        }
    }
    return DialogAlbumPage::onLeftButtonDown(x, y, keyFlags, doubleClick);
}

} // namespace game
