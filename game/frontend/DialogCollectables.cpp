#include "game/frontend/DialogCollectables.h"

#include "engine/kernel/NodeValue.h"
#include "engine/kernel/ObjectFactory.h"
#include "engine/kernel/PropertyStore.h"
#include "engine/kernel/ScalarValue.h"
#include "engine/kernel/VectorValue.h"
#include "engine/ui/Label.h"
#include "engine/ui/Sprite.h"
#include "game/foundation/GameIds.h"
#include "game/foundation/GameUtilities.h"
#include "game/foundation/PibblePlayer.h"
#include "game/frontend/AlbumPictures.h"

namespace game {

namespace {

const kernel::ClassRegistrar registrar("DialogCollectables", DialogCollectables::createInstance);

// The lists are authored per collectable id; an id the list does not reach, or an entry that is no text,
// reads as the empty text.
kernel::WideString listEntry(const char* list, std::int32_t index) {
    kernel::PropertyStore* store = kernel::PropertyStore::instance();
    const kernel::VectorValue* texts = store != nullptr ? store->vectorRef(list).get() : nullptr;
    kernel::Value* entry = texts != nullptr ? texts->at(index) : nullptr;
    return entry != nullptr && entry->isScalar() ? entry->asScalar().text() : kernel::WideString();
}

void setText(ui::Label* label, const kernel::WideString& text) {
    if (label != nullptr) {
        label->setText(text);
    }
}

void keepHidden(ui::GameNode* node, bool hidden) {
    if (node != nullptr && hidden) {
        node->removeAllModifiers();
    }
}

} // namespace

DialogCollectables::DialogCollectables(kernel::NodeValue& settings) : DialogAlbumPage(settings) {
    polaroidSprite = findComponentAs<ui::Sprite>(ids::collectablePolaroid);
    spriteCheck = findComponentAs<ui::Sprite>(ids::spriteCheck);
    labelDescr = findComponentAs<ui::Label>(ids::labelDescription);
    labelCondition = findComponentAs<ui::Label>(ids::labelCondition);
    labelDatetime = findComponentAs<ui::Label>(ids::labelDateTime);
    labelHeader = findComponentAs<ui::Label>(ids::labelHeader);
}

kernel::Object* DialogCollectables::createInstance(kernel::Value& settings) {
    return settings.isNode() ? new DialogCollectables(settings.asNode()) : nullptr;
}

// A photograph that cannot be had leaves the blank polaroid of the definition rather than no picture.
void DialogCollectables::setCollectable(std::int32_t id) {
    collectableId = id;
    AlbumPictures* pictures = AlbumPictures::instance();
    if (!isClaimed() || pictures == nullptr || polaroidSprite == nullptr) {
        return;
    }
    if (graphics::ImageBase* photograph = pictures->buildCollectablePicture(id)) {
        polaroidSprite->setImage(photograph);
    }
}

void DialogCollectables::fill() {
    setText(labelHeader, listEntry(ids::collectableNames, collectableId));
    setText(labelDescr, listEntry(ids::collectableDescriptions, collectableId));
    setText(labelCondition, listEntry(ids::collectableConditions, collectableId));
    setText(labelDatetime, widen(claimDate()));
    if (polaroidSprite != nullptr) {
        polaroidSprite->setToolTipText(labelCondition != nullptr ? labelCondition->getText()
                                                                 : kernel::WideString());
    }
    // The mark stays on the page, only transparent, while nothing waits: its tip would still show.
    if (spriteCheck != nullptr && !isQueued()) {
        spriteCheck->setToolTipText(kernel::WideString());
    }
}

void DialogCollectables::appear() {
    DialogAlbumPage::appear();
    keepHiddenParts();
}

void DialogCollectables::disappear() {
    DialogAlbumPage::disappear();
    keepHiddenParts();
}

void DialogCollectables::keepHiddenParts() {
    const bool claimed = isClaimed();
    keepHidden(spriteCheck, !isQueued());
    keepHidden(labelCondition, claimed);
    keepHidden(labelDescr, !claimed);
    keepHidden(labelDatetime, !claimed);
}

bool DialogCollectables::isClaimed() const {
    const PibblePlayer* player = currentPlayer();
    return player != nullptr && player->isCollectableClaimed(collectableId);
}

bool DialogCollectables::isQueued() const {
    const PibblePlayer* player = currentPlayer();
    return player != nullptr && player->isCollectableQueued(collectableId);
}

// A profile that kept the claim but not its moment reads 0: no date is better than the first of 1970.
std::string DialogCollectables::claimDate() const {
    const PibblePlayer* player = currentPlayer();
    const std::int32_t claimed = isClaimed() ? player->claimTime(collectableId) : 0;
    return claimed > 0 ? localTimeText(claimed, propertyString(ids::dateTimeFormat)) : std::string();
}

} // namespace game
