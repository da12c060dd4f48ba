#include "game/frontend/PageTurner.h"

#include "engine/ui/CallbackModifier.h"
#include "engine/ui/DelayModifier.h"
#include "engine/ui/ModifierFrame.h"
#include "engine/ui/SoundModifier.h"
#include "game/foundation/GameIds.h"
#include "game/frontend/DialogAlbum.h"

namespace game {

namespace {

ui::Modifier* blocking(ui::Modifier* modifier) {
    modifier->addFlags(ui::Modifier::blocking);
    return modifier;
}

} // namespace

PageTurner::PageTurner(DialogAlbum& album) : ui::Sprite(0, 0, nullptr), album(album) {}

// A sheet that goes first unlinks itself from the sheets still around it.
PageTurner::~PageTurner() {
    if (previous != nullptr && previous->next == this) {
        previous->next = nullptr;
    }
    if (next != nullptr && next->previous == this) {
        next->previous = nullptr;
    }
}

void PageTurner::attach(PageTurner* follower) {
    next = follower;
    if (follower != nullptr) {
        follower->previous = this;
    }
}

void PageTurner::turnPage(const ui::Sprite* place, graphics::ImageBase* strip) {
    if (pageSprite) {
        pageSprite->kill();
    }
    // The sheet turns where the book places its strip.
    const int x = place != nullptr ? place->getX() : 0;
    const int y = place != nullptr ? place->getY() : 0;
    pageSprite = new ui::Sprite(x, y, strip);
    pageSprite->setVisible(false);
    pageSprite->setupFrames(frames, false, true);
    addChild(pageSprite.get());
    if (previous != nullptr && previous->reachedMiddle) {
        startTurn();
    }
}

void PageTurner::startTurn() {
    if (!pageSprite) {
        return;
    }
    pageSprite->setCurrentFrame(0);
    pageSprite->setVisible(true);
    auto* sound = new ui::SoundModifier(nullptr);
    sound->setSoundName(ids::groupSounds, ids::soundBookTurnPage);
    pageSprite->addModifier(sound);
    pageSprite->addModifier(new ui::ModifierFrame(frameMs, 1));
    pageSprite->addModifier(blocking(new ui::DelayModifier(middleMs)));
    pageSprite->addModifier(new ui::CallbackModifier(this, onMiddle));
    if (album.getPage() == 0 && next == nullptr) {
        album.hideBookmarkerButton();
    }
}

// Each following sheet starts at this one's middle.
void PageTurner::onMiddle(void* sheet, ui::GameNode* /*node*/) {
    auto* self = static_cast<PageTurner*>(sheet);
    self->reachedMiddle = true;
    self->pageSprite->addModifier(blocking(new ui::DelayModifier(turnMs - middleMs)));
    self->pageSprite->addModifier(new ui::CallbackModifier(self, onTurnDone));
    if (self->next != nullptr) {
        self->next->startTurn();
    }
}

void PageTurner::onTurnDone(void* sheet, ui::GameNode* /*node*/) {
    auto* self = static_cast<PageTurner*>(sheet);
    if (self->album.getPage() > 0) {
        self->album.showBookmarkerButton();
    }
    self->pageSprite->setVisible(false);
    if (self->next == nullptr) {
        self->album.onTurnFinished(*self);
    }
}

} // namespace game
