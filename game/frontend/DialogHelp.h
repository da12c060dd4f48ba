#pragma once

#include "engine/kernel/SmartPtr.h"
#include "game/frontend/DialogPibble.h"
#include "game/frontend/DialogSection.h"

#include <cstdint>

namespace kernel {
class VectorValue;
}

namespace ui {
class Button;
class Label;
class ScrollPanel;
class StyleLabel;
} // namespace ui

namespace game {

// The help book: one page per entry of the text lists "HELP_HEADERS" and "HELP_CONTENTS", each a header
// and a markup text read in a scroll panel, turned with the previous and next buttons under a page
// indicator.
class DialogHelp : public DialogPibble {
public:
    // The content panel reaches this far below the text.
    static constexpr int contentMargin = 40;

    // The dialog's keys; "BUTTON_OK", "BUTTON_NEXT", "BUTTON_PREV", "LABEL_HDR", "LABEL_IDX" and the
    // "SCROLLPANEL" holding "LABEL_CONTENTS" are its components. The lists are taken as they stand now.
    explicit DialogHelp(kernel::NodeValue& settings);
    ~DialogHelp() override;
    // "help": its fonts, pictures and scroll bar, read as a help is made and let go with the last help.
    static DialogSection pictures;

    void show() override;
    void hide() override;
    // Shows the page's header and text from the top, the buttons that lead somewhere, and "page of count".
    void showPage();

    static void onNext(void* dialog, ui::GameNode* sender);
    static void onPrev(void* dialog, ui::GameNode* sender);

    std::int32_t getPage() const { return page; }
    std::int32_t getPageCount() const { return pageCount; }
    ui::Button* getButtonOk() const { return buttonOk; }
    ui::Button* getButtonNext() const { return buttonNext; }
    ui::Button* getButtonPrev() const { return buttonPrev; }
    ui::Label* getLabelHeader() const { return labelHeader; }
    ui::Label* getLabelIndex() const { return labelIndex; }
    ui::StyleLabel* getLabelContents() const { return labelContents; }
    ui::ScrollPanel* getScrollPanel() const { return scrollPanel; }

    static kernel::Object* createInstance(kernel::Value& settings);

    static constexpr kernel::ClassInfo classInfo{&DialogPibble::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    static DialogHelp& of(void* dialog);
    void turnTo(std::int32_t target);
    void showTexts();
    void enableTurns();
    void scrollToTop();
    void showIndex();

    ui::Button* buttonOk = nullptr;
    ui::Button* buttonNext = nullptr;
    ui::Button* buttonPrev = nullptr;
    std::int32_t page = 0;
    std::int32_t pageCount = 0;
    ui::Label* labelHeader = nullptr;
    ui::Label* labelIndex = nullptr;
    ui::StyleLabel* labelContents = nullptr;
    ui::ScrollPanel* scrollPanel = nullptr;
    kernel::SmartPtr<kernel::VectorValue> headers;
    kernel::SmartPtr<kernel::VectorValue> contents;
};

} // namespace game
