#include "game/frontend/DialogCredits.h"

#include "engine/graphics/BitmapFont.h"
#include "engine/kernel/NodeValue.h"
#include "engine/kernel/ObjectFactory.h"
#include "engine/kernel/PropertyStore.h"
#include "engine/kernel/ResourceManager.h"
#include "engine/kernel/ScalarValue.h"
#include "engine/kernel/VectorValue.h"
#include "engine/ui/DelayModifier.h"
#include "engine/ui/FadeModifier.h"
#include "game/field/SpriteLabel.h"
#include "game/foundation/GameIds.h"
#include "game/foundation/GameUtilities.h"

#include <algorithm>
#include <limits>

namespace game {

namespace {

const kernel::ClassRegistrar registrar("DialogCredits", DialogCredits::createInstance);

constexpr std::int32_t entriesPerPage = 2;

template <class Kind> Kind* componentOf(DialogCredits& dialog, const char* name) {
    ui::GameNode* found = dialog.findComponent(name);
    return found != nullptr && found->isKindOf(Kind::classInfo) ? static_cast<Kind*>(found) : nullptr;
}

// The last page of an odd list has a header only: its missing text, like any entry the list does not
// reach, reads as empty.
kernel::WideString creditsEntry(std::int64_t index) {
    kernel::PropertyStore* store = kernel::PropertyStore::instance();
    const kernel::VectorValue* texts = store != nullptr ? store->vectorRef(ids::creditsList).get() : nullptr;
    if (texts == nullptr || index < 0 || index >= texts->childCount()) {
        return {};
    }
    kernel::Value* entry = texts->at(static_cast<std::int32_t>(index));
    return entry != nullptr && entry->isScalar() ? entry->asScalar().text() : kernel::WideString();
}

// A negative time from the data would let letters start before the page is in, or end the page before its
// own fade; it reads as none.
std::int32_t milliseconds(const char* key) {
    return std::max(propertyInt(key), 0);
}

graphics::BitmapFont* titleFont() {
    kernel::ResourceManager* resources = kernel::ResourceManager::instance();
    kernel::Object* found = resources != nullptr
                                ? resources->getLoadedResource(ids::fontCreditsTitle, ids::groupPreloading)
                                : nullptr;
    return found != nullptr && found->isKindOf(graphics::BitmapFont::classInfo)
               ? static_cast<graphics::BitmapFont*>(found)
               : nullptr;
}

void showEntry(SpriteLabel* label, std::int64_t index) {
    if (label == nullptr) {
        return;
    }
    label->clearGlyphs();
    label->setText(creditsEntry(index));
    label->layoutGlyphs();
}

template <class Use> void eachGlyph(SpriteLabel* label, Use use) {
    if (label == nullptr) {
        return;
    }
    for (const kernel::SmartPtr<ui::Sprite>& glyph : label->glyphs()) {
        use(*glyph);
    }
}

} // namespace

DialogCredits::DialogCredits(kernel::NodeValue& settings) : DialogAlbumPage(settings) {
    labelInfo = componentOf<SpriteLabel>(*this, ids::labelInfo);
    labelHeader = componentOf<SpriteLabel>(*this, ids::labelHeader);
    preDelay = milliseconds(ids::cfgCreditsPreDelay);
    letterDelay = milliseconds(ids::cfgCreditsLetterDelay);
    letterFadeIn = milliseconds(ids::cfgCreditsLetterFadeIn);
    postDelay = milliseconds(ids::cfgCreditsPostDelay);
}

DialogCredits::~DialogCredits() {
    if (labelInfo != nullptr) {
        labelInfo->clearGlyphs();
    }
    if (labelHeader != nullptr) {
        labelHeader->clearGlyphs();
    }
}

kernel::Object* DialogCredits::createInstance(kernel::Value& settings) {
    return settings.isNode() ? new DialogCredits(settings.asNode()) : nullptr;
}

// Only the first page's header is set in the title font; the others keep the font of the definition.
void DialogCredits::setPage(std::int32_t n) {
    if (n == 0 && labelHeader != nullptr) {
        if (graphics::BitmapFont* font = titleFont()) {
            labelHeader->setFont(font);
        }
    }
    const std::int64_t first = std::int64_t{n} * entriesPerPage;
    showEntry(labelHeader, first);
    showEntry(labelInfo, first + 1);
}

// Counted wide, so a long text with long delays from the data cannot wrap round to a short page.
std::int32_t DialogCredits::displayTime() const {
    const std::int64_t letters =
        labelInfo != nullptr ? static_cast<std::int64_t>(labelInfo->glyphs().size()) : 0;
    const std::int64_t total = std::int64_t{fadeMs} + preDelay + letters * letterDelay + postDelay;
    return static_cast<std::int32_t>(std::min<std::int64_t>(total, std::numeric_limits<std::int32_t>::max()));
}

void DialogCredits::resetSprites() {
    DialogAlbumPage::resetSprites();
    const auto transparent = [](ui::Sprite& glyph) { glyph.setAlpha(0); };
    eachGlyph(labelHeader, transparent);
    eachGlyph(labelInfo, transparent);
}

// The header's letters come with the page; those of the text follow one after another once the page is in.
void DialogCredits::appear() {
    DialogAlbumPage::appear();
    eachGlyph(labelHeader,
              [](ui::Sprite& glyph) { glyph.addModifier(new ui::FadeModifier(0, 255, fadeMs)); });
    std::int64_t start = std::int64_t{preDelay} + fadeMs;
    eachGlyph(labelInfo, [&](ui::Sprite& glyph) {
        const auto wait = static_cast<int>(std::min<std::int64_t>(start, std::numeric_limits<int>::max()));
        glyph.addModifier(new ui::DelayModifier(wait));
        glyph.addModifier(new ui::FadeModifier(0, 255, letterFadeIn));
        start += letterDelay;
    });
}

// A page left before all its letters are in (the album closed early) drops the waits still ahead: each
// letter fades out from where it stands, and one still waiting stays transparent instead of fading in
// after its page is gone.
void DialogCredits::disappear() {
    DialogAlbumPage::disappear();
    const auto fadeOut = [](ui::Sprite& glyph) {
        glyph.removeAllModifiers();
        glyph.addModifier(new ui::FadeModifier(glyph.getAlpha(), 0, fadeMs));
    };
    eachGlyph(labelHeader, fadeOut);
    eachGlyph(labelInfo, fadeOut);
}

} // namespace game
