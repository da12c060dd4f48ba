#include "game/frontend/AlbumPictures.h"

#include "engine/graphics/ImageFactory.h"
#include "engine/graphics/MemoryImage32.h"
#include "engine/kernel/PropertyStore.h"
#include "engine/kernel/ResourceManager.h"
#include "engine/kernel/VectorValue.h"
#include "engine/platform/Application.h"
#include "engine/ui/CallbackModifier.h"
#include "engine/ui/DelayModifier.h"
#include "engine/ui/FadeModifier.h"
#include "engine/ui/Scene.h"
#include "engine/ui/VisibilityModifier.h"
#include "game/foundation/GameIds.h"
#include "game/foundation/GameUtilities.h"
#include "game/frontend/DialogAlbum.h"
#include "game/frontend/DialogCredits.h"
#include "game/frontend/DialogHighscores.h"
#include "game/frontend/TransitionScene.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace game {

namespace {

AlbumPictures* current = nullptr;

constexpr const char* collectablesFile = "media/properties/collectables.xml";
// The turning sheets: large strips (declared cut into their frames), read only for a turn and held while the
// album is open.
constexpr const char* turnStripNames[] = {"ALBUM_TURN_FORWARD", "ALBUM_TURN_BACKWARD"};
constexpr const char* turnStripSections[] = {AlbumPictures::forwardStripSection,
                                             AlbumPictures::backwardStripSection};
bool isPosition(std::int32_t value) {
    return value >= 1 && value <= AlbumPictures::collectableCount;
}

ui::Modifier* blocking(ui::Modifier* modifier) {
    modifier->addFlags(ui::Modifier::blocking);
    return modifier;
}

} // namespace

AlbumPictures* AlbumPictures::create() {
    if (current == nullptr) {
        current = new AlbumPictures();
        current->addRef();
    }
    return current;
}

AlbumPictures* AlbumPictures::instance() {
    return current;
}

void AlbumPictures::destroy() {
    AlbumPictures* pictures = current;
    current = nullptr;
    if (pictures != nullptr) {
        pictures->release();
    }
}

AlbumPictures::~AlbumPictures() = default;

// Entries whose id or position lies outside 1..30 are skipped, and a position taken twice keeps its first
// collectable, so a damaged file can neither write past the tables nor show one collectable twice.
void AlbumPictures::loadOrder() {
    collectablesDocument = new kernel::ValueDocument("");
    collectablesDocument->addFile(collectablesFile);
    collectablesDocument->load();
    albumOrder.fill(0);
    collectableAtPosition.fill(0);
    for (const kernel::SmartPtr<kernel::Value>& value :
         collectablesDocument->getVector("collectables").children()) {
        if (!value->isNode()) {
            continue;
        }
        const std::int32_t id = value->asNode().getValue("pibbleid").asInt();
        const std::int32_t position = value->asNode().getValue("albumorderid").asInt();
        if (isPosition(id) && isPosition(position) && collectableAtPosition[position] == 0 &&
            albumOrder[id] == 0) {
            albumOrder[id] = position;
            collectableAtPosition[position] = id;
        }
    }
    // The curtain's picture is made only while it falls or lifts.
    curtain = new ui::Sprite(0, 0, nullptr);
}

std::int32_t AlbumPictures::albumOrderOf(std::int32_t collectableId) const {
    return isPosition(collectableId) ? albumOrder[collectableId] : 0;
}

std::int32_t AlbumPictures::collectableAt(std::int32_t position) const {
    return isPosition(position) ? collectableAtPosition[position] : 0;
}

bool AlbumPictures::isCreditsMode() const {
    return album && album->isCreditsMode();
}

std::int32_t AlbumPictures::creditsPageCount() {
    kernel::PropertyStore* store = kernel::PropertyStore::instance();
    const std::int32_t entries =
        store != nullptr
            ? (store->vectorRef(ids::creditsList) ? store->vectorRef(ids::creditsList)->childCount() : 0)
            : 0;
    return (entries + 1) / 2;
}

// Opening.

DialogAlbum* AlbumPictures::openHidden() {
    closing = false;
    ui::Dialog* made = DialogPibble::openDialog(ids::dialogAlbum, nullptr, true);
    album =
        made != nullptr && made->isKindOf(DialogAlbum::classInfo) ? static_cast<DialogAlbum*>(made) : nullptr;
    if (album) {
        album->setVisible(false);
    }
    return album.get();
}

void AlbumPictures::openAtContents() {
    DialogAlbum* opened = openHidden();
    if (opened == nullptr) {
        return;
    }
    opened->openAtContents();
    opened->fadeInBookmarker();
    enableAlbum(false);
    fadeInBehindCurtain();
}

void AlbumPictures::openCredits() {
    DialogAlbum* opened = openHidden();
    if (opened == nullptr) {
        return;
    }
    opened->openCredits();
    enableAlbum(false);
    fadeInBehindCurtain();
}

void AlbumPictures::showHighscores(std::int32_t mode, std::int32_t entryIndex) {
    DialogAlbum* opened = openHidden();
    if (opened == nullptr) {
        return;
    }
    opened->setPage(mode + firstHighscorePage);
    opened->openPageDialog();
    opened->showBookmarkerButton();
    if (DialogAlbumPage* page = opened->getPageDialog();
        page != nullptr && page->isKindOf(DialogHighscores::classInfo)) {
        static_cast<DialogHighscores*>(page)->setHighlight(entryIndex);
    }
    fadeInBehindCurtain();
}

void AlbumPictures::linkCurtainAbove() {
    if (curtain && album) {
        curtain->removeAllModifiers();
        curtain->setAlpha(0);
        if (curtain->getImage() == nullptr) {
            curtain->setImage(makeScreenSprite(0xFF000000u)->getImage());
        }
        album->insertAfter(curtain.get());
    }
}

// A lifted curtain draws nothing: its screen-sized picture goes until it falls again.
void AlbumPictures::dropCurtainPicture(void* manager, ui::GameNode* /*node*/) {
    auto* self = static_cast<AlbumPictures*>(manager);
    if (self->curtain) {
        self->curtain->setImage(nullptr);
    }
}

// The screen darkens, the album shows behind the curtain, and the curtain lifts while the album fades in.
void AlbumPictures::fadeInBehindCurtain() {
    linkCurtainAbove();
    album->addModifier(new ui::DelayModifier(curtainMs));
    album->addModifier(new ui::CallbackModifier(this, onAlbumShown));
    album->addModifier(new ui::FadeModifier(0, 255, curtainMs));
    if (curtain) {
        curtain->addModifier(blocking(new ui::FadeModifier(0, 255, curtainMs)));
        curtain->addModifier(blocking(new ui::FadeModifier(255, 0, curtainMs)));
        curtain->addModifier(new ui::CallbackModifier(this, dropCurtainPicture));
    }
}

void AlbumPictures::onAlbumShown(void* manager, ui::GameNode* /*node*/) {
    auto* self = static_cast<AlbumPictures*>(manager);
    if (!self->album) {
        return;
    }
    self->album->setVisible(true);
    self->albumBlocking = true;
    self->album->addModifier(new ui::DelayModifier(curtainMs));
    self->album->addModifier(new ui::CallbackModifier(self, onAlbumReady));
}

// The credits keep the album locked for their whole run.
void AlbumPictures::onAlbumReady(void* manager, ui::GameNode* /*node*/) {
    auto* self = static_cast<AlbumPictures*>(manager);
    if (!self->album) {
        return;
    }
    self->album->fadeInLeftPage();
    self->album->fadeInPage();
    const DialogAlbumPage* page = self->album->getPageDialog();
    if (page == nullptr || page->getClassInfo() != &DialogCredits::classInfo) {
        self->enableAlbum(true);
    }
}

void AlbumPictures::showCollectable(std::int32_t collectableId) {
    DialogAlbum* opened = openHidden();
    if (opened == nullptr) {
        return;
    }
    opened->setPage(albumOrderOf(collectableId) + firstCollectablePage - 1);
    opened->openPageDialog();
    opened->showBookmarkerButton();
    opened->fadeInLeftPage();
    opened->fadeInPage();
    opened->setVisible(true);
    albumBlocking = true;
}

// Closing.

// A second close while one runs would hang a second sequence on the curtain, to run at the next opening.
void AlbumPictures::closeAlbum() {
    if (closing) {
        return;
    }
    enableAlbum(false);
    if (!returnScene.empty()) {
        ChangeSceneWithTransition(returnScene);
        returnScene.clear();
        albumBlocking = false;
        return;
    }
    if (!album) {
        return;
    }
    closing = true;
    linkCurtainAbove();
    album->addModifier(new ui::DelayModifier(curtainMs));
    album->addModifier(new ui::VisibilityModifier(false));
    if (curtain) {
        curtain->addModifier(blocking(new ui::FadeModifier(0, 255, curtainMs)));
        curtain->addModifier(new ui::CallbackModifier(this, releaseAlbum));
        ui::Modifier* lift = curtain->addModifier(blocking(new ui::FadeModifier(255, 0, curtainMs)));
        lift->addFlags(ui::Modifier::killNode);
        curtain->addModifier(new ui::CallbackModifier(this, dropCurtainPicture));
    }
}

void AlbumPictures::releaseAlbum(void* manager, ui::GameNode* /*node*/) {
    auto* self = static_cast<AlbumPictures*>(manager);
    for (const std::string* name : {&self->collectablePictureName, &self->albumLeftPagePictureName,
                                    &self->creditsLeftPagePictureName, &self->collectablePictureLightName}) {
        self->unloadPicture(*name);
    }
    for (std::size_t index = 0; index < self->turnStrips.size(); ++index) {
        self->turnStrips[index].reset();
        if (kernel::ResourceManager* resources = kernel::ResourceManager::instance()) {
            resources->unloadResource(turnStripNames[index], turnStripSections[index]);
        }
    }
    if (self->album) {
        self->album->closePageDialog();
    }
    DialogPibble::closeDialog(ids::dialogAlbum);
    self->album = nullptr;
    self->albumBlocking = false;
    self->closing = false;
}

void AlbumPictures::enableAlbum(bool enabled) {
    albumLocked = !enabled;
    if (album) {
        album->setEnabled(enabled);
    }
}

void AlbumPictures::setCursorRequest(std::int32_t shape, std::int32_t slot) {
    if (slot < 0 || slot >= static_cast<std::int32_t>(cursorRequests.size())) {
        return;
    }
    cursorRequests[static_cast<std::size_t>(slot)] = shape;
    std::int32_t applied = platform::cursorArrow;
    for (const std::int32_t request : cursorRequests) {
        if (request != platform::cursorArrow) {
            applied = request;
        }
    }
    if (platform::Application* application = platform::Application::instance()) {
        application->setCursorShape(applied);
    }
}

// Pictures.

void AlbumPictures::prepareTurnStrip(bool forward) {
    const std::size_t index = forward ? 0 : 1;
    if (kernel::ResourceManager* resources = kernel::ResourceManager::instance();
        resources && !turnStrips[index]) {
        (void)resources->loadGroup(turnStripSections[index]);
    }
}

// Waits for the loader when it is reading the strip, and reads it here when nobody has.
graphics::ImageBase* AlbumPictures::turnStrip(bool forward) {
    const std::size_t index = forward ? 0 : 1;
    kernel::ResourceManager* resources = kernel::ResourceManager::instance();
    if (!turnStrips[index] && resources != nullptr) {
        kernel::Object* found = resources->getLoadedResource(turnStripNames[index], turnStripSections[index]);
        if (found != nullptr && found->isKindOf(graphics::ImageBase::classInfo)) {
            turnStrips[index] = static_cast<graphics::ImageBase*>(found);
        }
        resources->unloadResource(turnStripNames[index], turnStripSections[index]);
    }
    return turnStrips[index].get();
}

void AlbumPictures::unloadPicture(const std::string& name) {
    kernel::ResourceManager* resources = kernel::ResourceManager::instance();
    if (!name.empty() && resources != nullptr) {
        resources->unloadResource(name, ids::groupAlbumPictures);
    }
}

graphics::ImageBase* AlbumPictures::buildPicture(std::string& loaded, const std::string& name) {
    unloadPicture(loaded);
    loaded = name;
    kernel::ResourceManager* resources = kernel::ResourceManager::instance();
    kernel::Object* found =
        resources != nullptr ? resources->getLoadedResource(name, ids::groupAlbumPictures) : nullptr;
    return found != nullptr && found->isKindOf(graphics::ImageBase::classInfo)
               ? static_cast<graphics::ImageBase*>(found)
               : nullptr;
}

graphics::ImageBase* AlbumPictures::buildCollectablePicture(std::int32_t n) {
    return buildPicture(collectablePictureName, ids::collectablePicturePrefix + std::to_string(n));
}

graphics::ImageBase* AlbumPictures::buildCollectablePictureLight(std::int32_t n) {
    return buildPicture(collectablePictureLightName, ids::collectablePicturePrefix + std::to_string(n) +
                                                         ids::collectablePictureLightSuffix);
}

graphics::ImageBase* AlbumPictures::buildAlbumLeftPagePicture(std::int32_t n) {
    return buildPicture(albumLeftPagePictureName, ids::albumLeftPagePrefix + std::to_string(n));
}

graphics::ImageBase* AlbumPictures::buildCreditsLeftPagePicture(std::int32_t n) {
    return buildPicture(creditsLeftPagePictureName, ids::creditsLeftPagePrefix + std::to_string(n));
}

} // namespace game
