#include "engine/ui/InputLabel.h"

#include "engine/graphics/BitmapFont.h"
#include "engine/graphics/ImagePainter.h"
#include "engine/kernel/Color.h"
#include "engine/kernel/NodeValue.h"
#include "engine/kernel/ObjectFactory.h"
#include "engine/ui/Label.h"
#include "engine/ui/PulseModifier.h"
#include "engine/ui/WidgetSupport.h"
#include "host/Window.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <utility>

namespace ui {

namespace {

const kernel::ClassRegistrar registerInputLabel("InputLabel", InputLabel::createInstance);

constexpr char16_t blank = u' ';
constexpr std::uint32_t backspace = 8;
constexpr int opaque = 255;
constexpr int transparent = 0;

bool endsWordAsPunctuation(char16_t character) {
    return character == u'.' || character == u',';
}

} // namespace

InputLabel::InputLabel(kernel::NodeValue& settings) : Sprite(settings) {
    readSettings(settings);
}

InputLabel::~InputLabel() = default;

kernel::Object* InputLabel::createInstance(kernel::Value& settings) {
    return new InputLabel(settings.isNode() ? settings.asNode() : kernel::DUMMY_NODE());
}

void InputLabel::readSettings(kernel::NodeValue& settings) {
    if (settings.hasChild("maxlength")) {
        maxLength = settings.getValue("maxlength").asInt();
    }
    if (settings.hasChild("text")) {
        text = settings.getValue("text").text();
    }
    // Before the cursor: its blink modifier is made with them.
    readBlinkDurations(settings);
    createInnerLabel(settings);
    createCursor(settings);
}

void InputLabel::readBlinkDurations(kernel::NodeValue& settings) {
    if (settings.hasChild("durationon")) {
        blinkOn = settings.getValue("durationon").asInt();
        blinkOff = blinkOn;
    }
    if (settings.hasChild("durationoff")) {
        blinkOff = settings.getValue("durationoff").asInt();
    }
}

void InputLabel::createInnerLabel(kernel::NodeValue& settings) {
    kernel::Value* declaration = settings.findChild("label");
    if (declaration == nullptr || !declaration->isNode()) {
        return;
    }
    // Held at once, so that anything made that is not a label is freed again.
    const kernel::SmartPtr<kernel::Object> made(
        kernel::ObjectFactory::instance()->createObject(*declaration));
    if (!made || !made->isKindOf(Label::classInfo)) {
        return;
    }
    innerLabel = static_cast<Label*>(made.get());
    innerLabel->setText(text);
    addChild(innerLabel.get());
}

void InputLabel::createCursor(kernel::NodeValue& settings) {
    if (!settings.hasChild("cursorimage")) {
        return;
    }
    graphics::ImageBase* image =
        findImage(settingText(settings, "cursorimage"), settingText(settings, "section"));
    if (image == nullptr) {
        return;
    }
    cursorSprite = new Sprite(0, 0, image);
    cursorSprite->addModifier(new PulseModifier(opaque, transparent, 0, 0, blinkOff, blinkOn, 0));
    cursorSprite->setVisible(false);
    cursorSprite->setSuspended(true);
    addChild(cursorSprite.get());
}

bool InputLabel::setDead(bool value) {
    if (value) {
        leaveListenerGroups();
    }
    return Sprite::setDead(value);
}

void InputLabel::setText(const kernel::WideString& value, bool moveCursorToEnd) {
    text = value;
    if (innerLabel) {
        innerLabel->setText(text);
    }
    if (moveCursorToEnd) {
        cursor = static_cast<unsigned>(text.size());
    }
    // A shorter text from outside must not leave the cursor behind its end.
    cursor = std::min(cursor, static_cast<unsigned>(text.size()));
    collapseSelection();
    invoke(this);
}

void InputLabel::setCursor(unsigned index) {
    if (text.empty()) {
        cursor = 0;
    } else if (index <= text.size()) {
        cursor = index;
    }
}

void InputLabel::setFocused(bool value) {
    focused = value;
    if (cursorSprite) {
        cursorSprite->setVisible(value);
        cursorSprite->setSuspended(!value);
    }
}

void InputLabel::bindKeyAction(KeyAction key, void* receiver, Function function) {
    keyActions.at(static_cast<std::size_t>(key)) = Action{receiver, function};
}

graphics::BitmapFont* InputLabel::font() const {
    return innerLabel ? innerLabel->getFont() : nullptr;
}

int InputLabel::textOffset(unsigned count) const {
    graphics::BitmapFont* measure = font();
    return measure != nullptr ? measure->textWidth(text.substr(0, count)) : 0;
}

int InputLabel::innerLabelLeft() const {
    return innerLabel->getAbsoluteX() - innerLabel->getAnchorPoint().getRoundedX();
}

unsigned InputLabel::selectionLow() const {
    return std::min(selectionStart, selectionEnd);
}

unsigned InputLabel::selectionHigh() const {
    return std::max(selectionStart, selectionEnd);
}

// Prefixes are measured without the font's pads on both sides, which belong to no character.
unsigned InputLabel::indexAt(int x) const {
    graphics::BitmapFont* measure = font();
    if (text.empty() || measure == nullptr) {
        return 0;
    }
    const int offset = x - innerLabelLeft();
    const auto prefixWidth = [&](std::size_t count) {
        return measure->textWidth(text.substr(0, count)) - 2 * measure->getSidePad();
    };
    if (offset < 0) {
        return 0;
    }
    for (std::size_t count = 1; count <= text.size(); ++count) {
        if (prefixWidth(count) > offset) {
            return static_cast<unsigned>(count - 1);
        }
    }
    return static_cast<unsigned>(text.size());
}

bool InputLabel::onKeyDown(std::uint32_t keyCode) {
    if (!focused) {
        return false;
    }
    switch (keyCode) {
    case host::VK_LEFT:
        heldLeft = true;
        break;
    case host::VK_RIGHT:
        heldRight = true;
        break;
    case host::VK_DELETE:
        heldDelete = true;
        break;
    case host::VK_SHIFT:
        heldShift = true;
        break;
    default:
        break;
    }
    // The window system repeats the key-down of a held key, and every repeat applies the held keys again.
    applyHeldKeys();
    return true;
}

bool InputLabel::onKeyUp(std::uint32_t keyCode) {
    // Released whether focused or not: a key let go after the focus went must not act held on the next focus.
    heldLeft = heldLeft && keyCode != host::VK_LEFT;
    heldRight = heldRight && keyCode != host::VK_RIGHT;
    heldDelete = heldDelete && keyCode != host::VK_DELETE;
    heldShift = heldShift && keyCode != host::VK_SHIFT;
    if (!focused) {
        return false;
    }
    switch (keyCode) {
    case host::VK_TAB:
        releaseFocus(TabAction);
        break;
    case host::VK_RETURN:
        releaseFocus(EnterAction);
        break;
    case host::VK_ESCAPE:
        releaseFocus(EscapeAction);
        break;
    case host::VK_END:
        setCursor(static_cast<unsigned>(text.size()));
        collapseSelection();
        break;
    case host::VK_HOME:
        setCursor(0);
        collapseSelection();
        break;
    default:
        break;
    }
    return true;
}

void InputLabel::releaseFocus(KeyAction key) {
    setFocused(false);
    const Action& action = keyActions.at(static_cast<std::size_t>(key));
    if (action.function != nullptr) {
        action.function(action.receiver, this);
    }
}

void InputLabel::applyHeldKeys() {
    if (heldLeft) {
        moveCursorBy(-1);
    } else if (heldRight) {
        moveCursorBy(1);
    } else {
        if (heldDelete && !text.empty()) {
            deleteForward();
        }
        collapseSelection();
    }
}

// With Shift held the end away from the cursor stays put and the selection grows or shrinks with it.
void InputLabel::moveCursorBy(int step) {
    const unsigned anchor = cursor == selectionEnd ? selectionStart : selectionEnd;
    if (step < 0 && cursor > 0) {
        --cursor;
    } else if (step > 0 && cursor < text.size()) {
        ++cursor;
    }
    if (!heldShift) {
        collapseSelection();
        return;
    }
    selectionStart = anchor;
    selectionEnd = cursor;
    storeSelectionOffsets();
}

// The ends are taken in order: while a drag runs, or after a Shift selection to the left, the end lies
// before the start.
void InputLabel::deleteForward() {
    if (hasSelection()) {
        const unsigned low = selectionLow();
        replaceText(kernel::WideString(text).erase(low, selectionHigh() - low), low);
    } else if (cursor < text.size()) {
        replaceText(kernel::WideString(text).erase(cursor, 1), cursor);
    }
}

void InputLabel::eraseBackward() {
    if (hasSelection()) {
        const unsigned low = selectionLow();
        replaceText(kernel::WideString(text).erase(low, selectionHigh() - low), low);
    } else if (cursor > 0) {
        replaceText(kernel::WideString(text).erase(cursor - 1, 1), cursor - 1);
    }
}

bool InputLabel::onChar(std::uint32_t charCode) {
    if (!focused) {
        return false;
    }
    if (charCode == backspace) {
        eraseBackward();
        return true;
    }
    // Keyboard characters arrive as single code-page bytes and become units the way every text from the
    // data does, so a typed name narrows back to the same bytes.
    const char16_t character = kernel::widenString(std::string(1, static_cast<char>(charCode)))[0];
    if (!acceptsCharacter(character)) {
        return false;
    }
    insertCharacter(character);
    return true;
}

// Below the limit rather than unequal to it, so a longer text set from outside takes no more.
bool InputLabel::acceptsCharacter(char16_t character) const {
    graphics::BitmapFont* glyphs = font();
    return glyphs != nullptr && glyphs->hasGlyph(character) &&
           (maxLength < 0 || text.size() < static_cast<std::size_t>(maxLength));
}

// A typed character replaces the selection, and the cursor follows it from the selection's low end rather
// than from wherever a drag left the cursor.
void InputLabel::insertCharacter(char16_t character) {
    const unsigned low = hasSelection() ? selectionLow() : cursor;
    const unsigned high = hasSelection() ? selectionHigh() : cursor;
    replaceText(kernel::WideString(text).replace(low, high - low, 1, character), low + 1);
}

// The cursor is placed before the change callback runs, so a handler that sets a text of its own leaves
// the cursor inside that text.
void InputLabel::replaceText(kernel::WideString value, unsigned newCursor) {
    cursor = newCursor;
    setText(value, false);
}

bool InputLabel::onLeftButtonDown(int x, int y, std::uint32_t keyFlags, bool doubleClick) {
    if (!containsPoint(x, y)) {
        setFocused(false);
        return false;
    }
    setFocused(true);
    const unsigned index = indexAt(x);
    if (doubleClick) {
        selectWordAt(index);
    } else {
        dragging = true;
        wordSelected = false;
        // Shift keeps the end away from the cursor and extends the selection to the click.
        const unsigned anchor = cursor == selectionEnd ? selectionStart : selectionEnd;
        selectionStart = (keyFlags & host::MK_SHIFT) != 0 ? anchor : index;
        selectionEnd = index;
        cursor = index;
    }
    storeSelectionOffsets();
    return true;
}

void InputLabel::selectWordAt(unsigned index) {
    const std::size_t blankBefore = index == 0 ? kernel::WideString::npos : text.rfind(blank, index - 1);
    const std::size_t start = blankBefore == kernel::WideString::npos ? 0 : blankBefore + 1;
    std::size_t end = std::min(text.find(blank, index), text.size());
    if (end > start && endsWordAsPunctuation(text[end - 1])) {
        --end;
    }
    selectionStart = static_cast<unsigned>(start);
    selectionEnd = static_cast<unsigned>(end);
    cursor = selectionEnd;
    dragging = false;
    wordSelected = true;
}

void InputLabel::onMouseMove(int x, int, std::uint32_t) {
    if (!dragging) {
        return;
    }
    selectionEnd = indexAt(x);
    cursor = selectionEnd;
    storeSelectionOffsets();
}

// Only a drag of this field's own moves the end: a release after a press elsewhere leaves the selection.
bool InputLabel::onLeftButtonUp(int x, int, std::uint32_t) {
    if (dragging && !wordSelected) {
        selectionEnd = indexAt(x);
        cursor = selectionEnd;
    }
    if (selectionStart > selectionEnd) {
        std::swap(selectionStart, selectionEnd);
    }
    dragging = false;
    storeSelectionOffsets();
    return false;
}

void InputLabel::collapseSelection() {
    selectionStart = cursor;
    selectionEnd = cursor;
    storeSelectionOffsets();
}

void InputLabel::storeSelectionOffsets() {
    selectionStartX = textOffset(selectionStart);
    selectionEndX = textOffset(selectionEnd);
}

void InputLabel::paint(graphics::ImagePainter& painter) {
    Sprite::paint(painter);
    if (hasSelection()) {
        paintSelection(painter);
    }
    placeCursorSprite();
}

// Drawn before the children, so the text lies on top of the box.
void InputLabel::paintSelection(graphics::ImagePainter& painter) {
    graphics::BitmapFont* measure = font();
    if (measure == nullptr) {
        return;
    }
    const int left = getX() + innerLabel->getX() - innerLabel->getAnchorPoint().getRoundedX() +
                     std::min(selectionStartX, selectionEndX);
    const int top = getY() + innerLabel->getY() - innerLabel->getAnchorPoint().getRoundedY();
    const int width = std::abs(selectionEndX - selectionStartX);
    const int height = measure->lineHeight();
    const kernel::Color savedColor = painter.getColor();
    const int savedAlpha = painter.getAlpha();
    painter.setColor(kernel::Color(selectionColor));
    painter.setAlpha(selectionAlpha);
    painter.fillRect(left, top, width, height);
    painter.setColor(kernel::Color(frameColor));
    painter.setAlpha(frameAlpha);
    painter.drawRect(left, top, width, height);
    painter.setColor(savedColor);
    painter.setAlpha(savedAlpha);
}

void InputLabel::placeCursorSprite() {
    if (cursorSprite && innerLabel) {
        cursorSprite->setX(innerLabel->getX() + textOffset(cursor));
    }
}

} // namespace ui
