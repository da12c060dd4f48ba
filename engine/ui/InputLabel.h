#pragma once

#include "engine/kernel/InputListener.h"
#include "engine/kernel/SmartPtr.h"
#include "engine/kernel/TextConversion.h"
#include "engine/ui/Sprite.h"
#include "engine/ui/WidgetCallback.h"

#include <array>
#include <cstdint>

namespace kernel {
class NodeValue;
class Value;
} // namespace kernel

namespace graphics {
class BitmapFont;
class ImagePainter;
} // namespace graphics

namespace ui {

class Label;

// The one-line text entry field: an inner label shows the text, a blinking cursor sprite marks the
// insertion point, the mouse selects (a drag, or a word by double click) and the listener part edits the
// text from keys and characters. The callback part fires whenever the text changes; Tab, Enter and
// Escape each have an action of their own.
class InputLabel : public Sprite, public kernel::InputListener, public WidgetCallback {
public:
    // Which key released the focus.
    enum KeyAction : int { TabAction = 0, EnterAction = 1, EscapeAction = 2 };

    // The sprite's keys, then "maxlength", "text", "label" (the inner label's node), "durationon",
    // "durationoff" and "cursorimage" (in "section").
    explicit InputLabel(kernel::NodeValue& settings);
    ~InputLabel() override;

    // The selection behind the text, then the cursor moved to the insertion point.
    void paint(graphics::ImagePainter& painter) override;
    // A killed field leaves the groups it joined at once, while they surely still exist.
    bool setDead(bool value) override;

    bool onKeyDown(std::uint32_t keyCode) override;
    bool onKeyUp(std::uint32_t keyCode) override;
    bool onChar(std::uint32_t charCode) override;
    void onMouseMove(int x, int y, std::uint32_t keyFlags) override;
    bool onLeftButtonDown(int x, int y, std::uint32_t keyFlags, bool doubleClick) override;
    bool onLeftButtonUp(int x, int y, std::uint32_t keyFlags) override;

    // Hands the text to the inner label, collapses the selection to the cursor and fires the callback.
    void setText(const kernel::WideString& value, bool moveCursorToEnd);
    const kernel::WideString& getText() const { return text; }
    // An index beyond the text is ignored.
    void setCursor(unsigned index);
    unsigned getCursor() const { return cursor; }
    // Shows and resumes the cursor sprite, or hides and suspends it.
    void setFocused(bool value);
    bool isFocused() const { return focused; }
    void bindKeyAction(KeyAction key, void* receiver, Function function);

    // Below 0 the length is not limited.
    int getMaxLength() const { return maxLength; }
    void setMaxLength(int value) { maxLength = value; }
    // In the order of the last edit or drag; equal ends mean no selection.
    unsigned getSelectionStart() const { return selectionStart; }
    unsigned getSelectionEnd() const { return selectionEnd; }
    Label* getInnerLabel() const { return innerLabel.get(); }
    Sprite* getCursorSprite() const { return cursorSprite.get(); }

    // The character index under a screen x: 0 left of the text, the length at or beyond its right end.
    unsigned indexAt(int x) const;

    static kernel::Object* createInstance(kernel::Value& settings);

    static constexpr kernel::ClassInfo classInfo{&Sprite::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    struct Action {
        void* receiver = nullptr;
        Function function = nullptr;
    };

    void readSettings(kernel::NodeValue& settings);
    void readBlinkDurations(kernel::NodeValue& settings);
    void createInnerLabel(kernel::NodeValue& settings);
    void createCursor(kernel::NodeValue& settings);

    graphics::BitmapFont* font() const;
    int textOffset(unsigned count) const;
    int innerLabelLeft() const;
    bool hasSelection() const { return selectionStart != selectionEnd; }
    unsigned selectionLow() const;
    unsigned selectionHigh() const;

    void applyHeldKeys();
    void moveCursorBy(int step);
    void deleteForward();
    void eraseBackward();
    void insertCharacter(char16_t character);
    bool acceptsCharacter(char16_t character) const;
    void replaceText(kernel::WideString value, unsigned newCursor);
    void releaseFocus(KeyAction key);

    void selectWordAt(unsigned index);
    void collapseSelection();
    void storeSelectionOffsets();
    void paintSelection(graphics::ImagePainter& painter);
    void placeCursorSprite();

    kernel::WideString text;
    bool focused = false;
    bool heldLeft = false;
    bool heldRight = false;
    bool heldDelete = false;
    bool heldShift = false;
    bool dragging = false;
    bool wordSelected = false;
    int selectionStartX = 0;
    int selectionEndX = 0;
    unsigned selectionStart = 0;
    unsigned selectionEnd = 0;
    std::uint32_t selectionColor = 0x00FF00FFu;
    std::uint32_t frameColor = 0x00000000u;
    int selectionAlpha = 128;
    int frameAlpha = 255;
    int maxLength = -1;
    unsigned cursor = 0;
    kernel::SmartPtr<Sprite> cursorSprite;
    int blinkOn = 500;
    int blinkOff = 500;
    std::array<Action, 3> keyActions{};
    kernel::SmartPtr<Label> innerLabel;
};

} // namespace ui
