#include "game/frontend/DialogAlbumPage.h"

#include "engine/kernel/NodeValue.h"
#include "engine/kernel/ObjectFactory.h"
#include "engine/ui/Button.h"
#include "engine/ui/CallbackModifier.h"
#include "engine/ui/FadeModifier.h"
#include "game/frontend/AlbumPictures.h"
#include "game/frontend/DialogAlbum.h"

namespace game {

namespace {

const kernel::ClassRegistrar registrar("DialogAlbumPage", DialogAlbumPage::createInstance);

template <class Kind, class Use> void eachComponent(DialogAlbumPage& page, Use use) {
    ui::GameNode* content = page.getContentNode();
    for (ui::GameNode* node = content != nullptr ? content->getFirstChild() : nullptr; node != nullptr;
         node = node->getNextSibling()) {
        if (node->isKindOf(Kind::classInfo)) {
            use(*static_cast<Kind*>(node));
        }
    }
}

DialogAlbum* openAlbum() {
    AlbumPictures* pictures = AlbumPictures::instance();
    return pictures != nullptr ? pictures->albumDialog() : nullptr;
}

} // namespace

DialogAlbumPage::DialogAlbumPage(kernel::NodeValue& settings) : DialogPibble(settings) {}

kernel::Object* DialogAlbumPage::createInstance(kernel::Value& settings) {
    return settings.isNode() ? new DialogAlbumPage(settings.asNode()) : nullptr;
}

void DialogAlbumPage::appear() {
    fill();
    fadeSprites(0, 255);
    ui::Modifier* fade = addModifier(new ui::FadeModifier(0, 255, fadeMs));
    fade->addFlags(ui::Modifier::blocking);
    addModifier(new ui::CallbackModifier(this, [](void* page, ui::GameNode*) {
        static_cast<DialogAlbumPage*>(page)->onAppeared();
        if (DialogAlbum* album = openAlbum()) {
            album->onPageShown();
        }
    }));
}

void DialogAlbumPage::disappear() {
    fadeSprites(255, 0);
    ui::Modifier* fade = addModifier(new ui::FadeModifier(255, 0, fadeMs));
    fade->addFlags(ui::Modifier::blocking);
    addModifier(new ui::CallbackModifier(this, [](void* page, ui::GameNode*) {
        static_cast<DialogAlbumPage*>(page)->onDisappeared();
        if (DialogAlbum* album = openAlbum()) {
            album->onPageLeft();
        }
    }));
}

void DialogAlbumPage::fadeSprites(int from, int to) {
    eachComponent<ui::Sprite>(*this, [from, to](ui::Sprite& sprite) {
        sprite.addModifier(new ui::FadeModifier(from, to, fadeMs));
    });
}

void DialogAlbumPage::setSpritesAlpha(int alpha) {
    eachComponent<ui::Sprite>(*this, [alpha](ui::Sprite& sprite) { sprite.setAlpha(alpha); });
}

void DialogAlbumPage::resetSprites() {
    setSpritesAlpha(0);
}

void DialogAlbumPage::setButtonsEnabled(bool enabled) {
    eachComponent<ui::Button>(*this, [enabled](ui::Button& button) { button.setEnabled(enabled); });
}

} // namespace game
