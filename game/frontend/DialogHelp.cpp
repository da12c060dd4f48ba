#include "game/frontend/DialogHelp.h"

#include "engine/kernel/NodeValue.h"
#include "engine/kernel/ObjectFactory.h"
#include "engine/kernel/PropertyStore.h"
#include "engine/kernel/ScalarValue.h"
#include "engine/kernel/VectorValue.h"
#include "engine/ui/Button.h"
#include "engine/ui/Label.h"
#include "engine/ui/ScrollPanel.h"
#include "engine/ui/StyleLabel.h"
#include "game/foundation/GameIds.h"
#include "game/foundation/GameUtilities.h"

#include <algorithm>

namespace game {

namespace {

const kernel::ClassRegistrar registrar("DialogHelp", DialogHelp::createInstance);

kernel::SmartPtr<kernel::VectorValue> textList(const char* name) {
    kernel::PropertyStore* store = kernel::PropertyStore::instance();
    return store != nullptr ? store->vectorRef(name) : nullptr;
}

// The two lists are authored side by side and may differ in length: an entry a list does not reach, or
// one that is no text, reads as empty.
kernel::WideString entryOf(const kernel::VectorValue* list, std::int32_t index) {
    const kernel::Value* entry = list != nullptr ? list->at(index) : nullptr;
    return entry != nullptr && entry->isScalar() ? static_cast<const kernel::ScalarValue*>(entry)->text()
                                                 : kernel::WideString();
}

} // namespace

DialogSection DialogHelp::pictures{ids::groupHelp};

DialogHelp::DialogHelp(kernel::NodeValue& settings)
    : DialogPibble(pictures.readFor(settings)), headers(textList(ids::helpHeaders)),
      contents(textList(ids::helpContents)) {
    buttonOk = findComponentAs<ui::Button>(ids::buttonOk);
    buttonNext = findComponentAs<ui::Button>(ids::buttonNext);
    buttonPrev = findComponentAs<ui::Button>(ids::buttonPrev);
    labelHeader = findComponentAs<ui::Label>(ids::labelHeader);
    labelIndex = findComponentAs<ui::Label>(ids::labelIndex);
    labelContents = findComponentAs<ui::StyleLabel>(ids::labelContents);
    scrollPanel = findComponentAs<ui::ScrollPanel>(ids::scrollPanel);
    pageCount = headers ? headers->childCount() : 0;
    // closeSelf reads the receiver as the node it was handed in as.
    void* self = static_cast<ui::GameNode*>(this);
    bindCallback(ids::buttonOk, self, closeSelf, listenerList());
    bindCallback(ids::buttonNext, self, onNext, listenerList());
    bindCallback(ids::buttonPrev, self, onPrev, listenerList());
    if (scrollPanel != nullptr) {
        scrollPanel->bindScrollbars(listenerList());
    }
}

DialogHelp::~DialogHelp() {
    headers.reset();
    contents.reset();
    pictures.letGo();
}

kernel::Object* DialogHelp::createInstance(kernel::Value& settings) {
    return settings.isNode() ? new DialogHelp(settings.asNode()) : nullptr;
}

DialogHelp& DialogHelp::of(void* dialog) {
    return static_cast<DialogHelp&>(*static_cast<ui::GameNode*>(dialog));
}

void DialogHelp::show() {
    DialogPibble::show();
    showPage();
    playSound(ids::soundDialogAppears, ids::groupSounds);
}

void DialogHelp::hide() {
    playSound(ids::soundDialogDisappears, ids::groupSounds);
    DialogPibble::hide();
}

void DialogHelp::onNext(void* dialog, ui::GameNode* /*sender*/) {
    DialogHelp& self = of(dialog);
    self.turnTo(self.page + 1);
}

void DialogHelp::onPrev(void* dialog, ui::GameNode* /*sender*/) {
    DialogHelp& self = of(dialog);
    self.turnTo(self.page - 1);
}

// Never past either end, even when a turn arrives while its button is being disabled.
void DialogHelp::turnTo(std::int32_t target) {
    page = std::clamp(target, 0, std::max(pageCount - 1, 0));
    showPage();
}

void DialogHelp::showPage() {
    showTexts();
    enableTurns();
    scrollToTop();
    showIndex();
}

// Without any page nothing is shown.
void DialogHelp::showTexts() {
    const bool hasPage = page < pageCount;
    if (labelHeader != nullptr) {
        labelHeader->setText(hasPage ? entryOf(headers.get(), page) : kernel::WideString());
    }
    if (labelContents != nullptr) {
        labelContents->setText(hasPage ? entryOf(contents.get(), page) : kernel::WideString());
    }
}

void DialogHelp::enableTurns() {
    enableButton(buttonPrev, page >= 1);
    enableButton(buttonNext, page < pageCount - 1);
}

// The content panel is as tall as this page's text, and the page is read from its top.
void DialogHelp::scrollToTop() {
    if (scrollPanel == nullptr) {
        return;
    }
    scrollPanel->relayout();
    if (labelContents != nullptr) {
        scrollPanel->setContentHeight(labelContents->getHeight() + contentMargin);
    }
    scrollPanel->setVerticalScroll(0.0f);
}

// The format comes from the data: only its "%d"s are filled, with the page and the count.
void DialogHelp::showIndex() {
    if (labelIndex == nullptr) {
        return;
    }
    if (pageCount == 0) {
        labelIndex->setText(kernel::WideString());
        return;
    }
    const std::string format = narrow(kernel::PropertyStore::getText(ids::textPageFormat));
    labelIndex->setText(widen(formatIntegers(format, {page + 1, pageCount})));
}

} // namespace game
