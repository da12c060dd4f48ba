#include "engine/ui/CallbackModifier.h"
#include "engine/ui/DelayModifier.h"
#include "engine/ui/FadeModifier.h"
#include "engine/ui/MoveModifier.h"
#include "engine/ui/ResizeModifier.h"
#include "engine/ui/SceneRootNode.h"
#include "engine/ui/SoundModifier.h"
#include "engine/ui/Sprite.h"
#include "engine/ui/VisibilityModifier.h"
#include "game/field/Pibble.h"
#include "game/field/PlayField.h"
#include "game/foundation/GameIds.h"
#include "game/foundation/GameUtilities.h"
#include "game/foundation/PibblePlayer.h"
#include "game/frontend/AlbumPictures.h"
#include "game/frontend/DialogAlbum.h"
#include "game/frontend/DialogCollectables.h"
#include "game/frontend/DialogPibble.h"
#include "game/play/PlayScene.h"

namespace game {

// The photograph, from the moment of the call: the white flash and the camera at 0 ms, fading from 500 ms;
// the photo grows from 900 to 1400 ms while its light copy fades out; the veil lifts from 1400 ms to
// uncover the album at the collectable's page; the photo flies into the polaroid frame from 2900 ms and
// fades, and at 4000 ms the play goes on.
namespace {

constexpr std::uint32_t white = 0xFFFFFFFFu;
constexpr std::uint32_t black = 0xFF000000u;
constexpr int backdropAlpha = 153;
constexpr int centreX = 320;
constexpr int centreY = 240;
constexpr int flashHoldMs = 500;
constexpr int flashFadeMs = 1000;
constexpr int photoDelayMs = 900;
constexpr int growMs = 500;
constexpr int photoHoldMs = 1500;
constexpr int lightFadeMs = 1000;
constexpr int flyMs = 600;
constexpr int photoFadeMs = 500;
constexpr int polaroidDelayMs = 3400;
constexpr int backdropDelayMs = 1400;
constexpr int backdropFadeMs = 500;
constexpr std::int32_t firstClaims = 2;

ui::Modifier* flagged(ui::Modifier* modifier, std::uint32_t flags) {
    modifier->addFlags(flags);
    return modifier;
}

ui::Modifier* sound(const char* id) {
    auto* modifier = new ui::SoundModifier(nullptr);
    modifier->setSoundName(ids::groupGameSounds, id);
    return modifier;
}

// Hidden at the centre; after its delay it shows and grows from a point to its own size.
kernel::SmartPtr<ui::Sprite> growingPicture(graphics::ImageBase* picture, const char* growSound) {
    const kernel::SmartPtr<ui::Sprite> sprite = new ui::Sprite(centreX, centreY, picture);
    sprite->setAnchor(ui::Sprite::Center);
    sprite->setAlpha(255);
    sprite->setVisible(false);
    sprite->addModifier(new ui::DelayModifier(photoDelayMs));
    sprite->addModifier(new ui::VisibilityModifier(true));
    if (growSound != nullptr) {
        sprite->addModifier(sound(growSound));
    }
    sprite->addModifier(flagged(new ui::ResizeModifier(1, 1, sprite->getWidth(), sprite->getHeight(), growMs),
                                ui::Modifier::blocking));
    return sprite;
}

} // namespace

void PlayScene::onCollectableTaken(const GameEvent& match) {
    if (isDialogOpen(ids::dialogHint)) {
        DialogPibble::closeDialog(ids::dialogHint);
    }
    onCollectablePhoto(match.pibble != nullptr ? match.pibble->getCollectableId() : 0);
}

// An id the album does not place has no page to fly to: nothing happens for it.
void PlayScene::onCollectablePhoto(std::int32_t collectableId) {
    AlbumPictures* pictures = AlbumPictures::instance();
    ui::GameNode* root = getRootNode();
    if (pictures == nullptr || root == nullptr || pictures->albumOrderOf(collectableId) == 0) {
        return;
    }
    graphics::ImageBase* picture = pictures->buildCollectablePicture(collectableId);
    graphics::ImageBase* lightPicture = pictures->buildCollectablePictureLight(collectableId);

    const kernel::SmartPtr<ui::Sprite> flash = makeScreenSprite(white);
    flash->addModifier(sound(ids::soundCamera));
    flash->addModifier(new ui::DelayModifier(flashHoldMs));
    flash->addModifier(
        flagged(new ui::FadeModifier(255, 0, flashFadeMs), ui::Modifier::blocking | ui::Modifier::killNode));
    root->addChild(flash.get());

    const kernel::SmartPtr<ui::Sprite> backdrop = makeScreenSprite(black);
    backdrop->setAlpha(backdropAlpha);
    flash->insertBefore(backdrop.get());

    const kernel::SmartPtr<ui::Sprite> photo = growingPicture(picture, ids::soundRemoveCollectable);
    photo->addModifier(new ui::DelayModifier(photoHoldMs));
    backdrop->insertAfter(photo.get());

    const kernel::SmartPtr<ui::Sprite> light = growingPicture(lightPicture, nullptr);
    light->addModifier(
        flagged(new ui::FadeModifier(255, 0, lightFadeMs), ui::Modifier::blocking | ui::Modifier::killNode));
    photo->insertAfter(light.get());

    if (PibblePlayer* player = currentPlayer()) {
        player->claimCollectable(collectableId);
    }

    pictures->showCollectable(collectableId);
    DialogAlbum* album = pictures->albumDialog();
    if (album != nullptr) {
        backdrop->insertBefore(album);
    }
    ui::Sprite* polaroid = nullptr;
    if (album != nullptr && album->getPageDialog() != nullptr &&
        album->getPageDialog()->isKindOf(DialogCollectables::classInfo)) {
        polaroid = static_cast<DialogCollectables*>(album->getPageDialog())->polaroid();
    }
    int targetX = centreX;
    int targetY = centreY;
    if (polaroid != nullptr) {
        polaroid->setVisible(false);
        targetX = polaroid->getAbsoluteX() + polaroid->getWidth() / 2;
        targetY = polaroid->getAbsoluteY() + polaroid->getHeight() / 2;
    }
    pictures->enableAlbum(false);

    photo->addModifier(flagged(new ui::MoveModifier(centreX, centreY, targetX, targetY, flyMs, true),
                               ui::Modifier::blocking));
    photo->addModifier(flagged(new ui::FadeModifier(255, 0, photoFadeMs), ui::Modifier::blocking));
    photo->addModifier(flagged(new ui::CallbackModifier(this, onPhotoDone), ui::Modifier::killNode));

    if (polaroid != nullptr) {
        polaroid->addModifier(new ui::DelayModifier(polaroidDelayMs));
        polaroid->addModifier(new ui::VisibilityModifier(true));
    }

    backdrop->addModifier(new ui::DelayModifier(backdropDelayMs));
    backdrop->addModifier(flagged(new ui::FadeModifier(backdropAlpha, 0, backdropFadeMs),
                                  ui::Modifier::blocking | ui::Modifier::killNode));

    if (PlayField* field = getField()) {
        field->freeze();
    }
    inputBlocked = true;
}

void PlayScene::onPhotoDone(void* scene, ui::GameNode* /*node*/) {
    auto* self = static_cast<PlayScene*>(scene);
    self->inputBlocked = false;
    if (AlbumPictures* pictures = AlbumPictures::instance()) {
        pictures->enableAlbum(true);
    }
    const PibblePlayer* player = currentPlayer();
    if (player != nullptr && player->claimedCollectableCount() < firstClaims) {
        DialogPibble::showMessage(ids::textFirstClaimed, ids::textFirstClaimedHeader);
    }
    if (PlayField* field = self->getField()) {
        field->resume();
    }
}

} // namespace game
