#include "engine/ui/Label.h"

#include "engine/graphics/ImageFactory.h"
#include "engine/graphics/MemoryImage32Painter.h"
#include "engine/kernel/Color.h"
#include "engine/kernel/NodeValue.h"
#include "engine/kernel/ObjectFactory.h"
#include "engine/kernel/PropertyStore.h"
#include "engine/kernel/ResourceManager.h"
#include "engine/kernel/ScalarValue.h"
#include "engine/ui/LabelSettings.h"

#include <algorithm>
#include <climits>
#include <optional>
#include <string>

namespace ui {

namespace {

const kernel::ClassRegistrar registerLabel("Label", Label::createInstance);

constexpr char16_t lineFeed = u'\n';
constexpr char16_t blank = u' ';
const kernel::WideString ellipsisText = u"...";

kernel::WideString withoutLeadingBlanks(const kernel::WideString& value) {
    const std::size_t first = value.find_first_not_of(blank);
    return first == kernel::WideString::npos ? kernel::WideString() : value.substr(first);
}

} // namespace

kernel::Object* Label::createInstance(kernel::Value& settings) {
    return new Label(settings.asNode());
}

Label::Label(kernel::NodeValue& settings) : Sprite(settings), originX(getX()) {
    readSettings(settings);
}

Label::Label(graphics::BitmapFont* value, int x, int y, int width, int height, int style)
    : Sprite(x, y, width, height), font(value), wrapStyle(style), originX(getX()) {}

Label::~Label() = default;

void Label::readSettings(kernel::NodeValue& settings) {
    readFont(settings);
    readStyle(settings);
    readText(settings);
}

void Label::readFont(kernel::NodeValue& settings) {
    if (graphics::BitmapFont* found = declaredFont(settings)) {
        setFont(found);
    }
}

// "autofitsize" is read after "wrapstyle", so it decides when both are given.
void Label::readStyle(kernel::NodeValue& settings) {
    readWrapStyle(settings, wrapStyle, autoFit);
    if (settings.hasChild("autofitsize")) {
        autoFit = settings.getValue("autofitsize").asBool();
    }
    if (settings.hasChild("buffer")) {
        buffered = settings.getValue("buffer").asBool();
    }
    readAlignment(settings, alignV, alignH);
    if (settings.hasChild("lineheight")) {
        lineHeight = settings.getValue("lineheight").asInt();
    }
}

void Label::readText(kernel::NodeValue& settings) {
    if (const std::optional<kernel::WideString> declared = declaredText(settings)) {
        setText(*declared);
    }
}

void Label::setColor(std::uint32_t value) {
    if (value == getColor()) {
        return;
    }
    Sprite::setColor(value);
    setDirty(true);
    relayout();
}

void Label::setAlignV(int value) {
    alignV = value;
    if (autoFit) {
        fitWidth();
    }
}

void Label::setAlignH(int value) {
    alignH = value;
    if (autoFit) {
        fitHeight();
    }
}

kernel::WideString Label::convertLineFeeds(const kernel::WideString& value) {
    kernel::WideString result = value;
    // A replacement yields a line feed, which never starts a new pair, so the search goes on from there.
    for (std::size_t at = result.find(u"\\n"); at != kernel::WideString::npos; at = result.find(u"\\n", at)) {
        result.replace(at, 2, 1, lineFeed);
    }
    return result;
}

void Label::setText(const kernel::WideString& value) {
    kernel::WideString converted = convertLineFeeds(value);
    if (converted == text) {
        return;
    }
    text = std::move(converted);
    if (autoFit) {
        fitLayout();
    } else {
        relayout();
    }
}

void Label::setFont(graphics::BitmapFont* value) {
    font = value;
}

void Label::setWrapStyle(int value) {
    wrapStyle = value;
    if (value == WrapTruncate || value == WrapWord) {
        autoFit = false;
    }
    if (autoFit) {
        fitLayout();
    }
}

// Without a font there is nothing to measure, so the size stays as it was.
void Label::fitLayout() {
    relayout();
    if (font) {
        setWidth(bounds.w + 1);
        setHeight(bounds.h);
    }
}

void Label::fitWidth() {
    relayout();
    if (font) {
        setWidth(bounds.w + 1);
    }
}

void Label::fitHeight() {
    relayout();
    if (font) {
        setHeight(bounds.h);
    }
}

// A label without a font shows nothing: no lines and no image.
void Label::relayout() {
    if (!font) {
        lines.clear();
        positions.clear();
        bounds = kernel::Rect();
        setImage(nullptr);
        return;
    }
    layOutLines();
    measureLines();
    if (buffered && !text.empty() && bounds.w > 0 && bounds.h > 0) {
        renderBuffer();
    } else {
        setImage(nullptr);
    }
}

void Label::layOutLines() {
    switch (wrapStyle) {
    case WrapNone:
        lines = splitLines(text, lineFeed, true);
        break;
    case WrapTruncate:
        truncateLines();
        break;
    case WrapWord:
        wrapLines();
        break;
    default:
        break;
    }
}

std::vector<kernel::WideString> Label::splitLines(const kernel::WideString& value, char16_t delimiter,
                                                  bool keepEmpty) {
    std::vector<kernel::WideString> parts;
    std::size_t start = 0;
    for (std::size_t at = value.find(delimiter); at != kernel::WideString::npos;
         at = value.find(delimiter, start)) {
        if (at > start || keepEmpty) {
            parts.push_back(value.substr(start, at - start));
        }
        start = at + 1;
    }
    parts.push_back(value.substr(start));
    return parts;
}

void Label::truncateLines() {
    const std::vector<kernel::WideString> paragraphs = splitLines(text, lineFeed, true);
    lines.clear();
    for (const kernel::WideString& paragraph : paragraphs) {
        lines.push_back(truncated(paragraph));
    }
    fitWrappedHeight();
}

// The prefix is the longest one that still leaves room for "..."; the result is shortened further until it
// really fits, since a glyph's pads and offsets can make the joined text wider than its parts. When not even
// "..." fits the line stays empty.
kernel::WideString Label::truncated(const kernel::WideString& paragraph) const {
    const int width = getWidth();
    if (textWidth(paragraph) <= width) {
        return paragraph;
    }
    const int ellipsis = textWidth(ellipsisText);
    std::size_t count = 0;
    while (count <= paragraph.size() && textWidth(paragraph.substr(0, count)) + ellipsis < width) {
        ++count;
    }
    kernel::WideString prefix = count == 0 ? kernel::WideString() : paragraph.substr(0, count - 1);
    while (!prefix.empty() && textWidth(prefix + ellipsisText) > width) {
        prefix.pop_back();
    }
    kernel::WideString line = prefix + ellipsisText;
    return textWidth(line) <= width ? line : kernel::WideString();
}

void Label::wrapLines() {
    const std::vector<kernel::WideString> paragraphs = splitLines(text, lineFeed, true);
    lines.clear();
    for (const kernel::WideString& paragraph : paragraphs) {
        wrapParagraph(paragraph);
    }
    fitWrappedHeight();
}

// Every pass takes at least one character off the rest, so a label narrower than any character still ends.
void Label::wrapParagraph(const kernel::WideString& paragraph) {
    kernel::WideString rest = paragraph;
    bool allTaken = false;
    while (!rest.empty() && textWidth(rest) > getWidth()) {
        const std::size_t cut = findBreak(rest);
        const std::size_t first = std::min(rest.find_first_not_of(blank), cut);
        lines.push_back(rest.substr(first, cut - first));
        allTaken = cut >= rest.size();
        rest = allTaken ? kernel::WideString() : withoutLeadingBlanks(rest.substr(cut));
    }
    if (!allTaken) {
        lines.push_back(withoutLeadingBlanks(rest));
    }
}

// Breaks go at blanks (or the end) while the text before them is narrower than the label; a first word
// that is too wide alone is cut at the longest prefix not wider than the label, at least one character.
std::size_t Label::findBreak(const kernel::WideString& rest) const {
    std::size_t remembered = 0;
    bool firstCandidate = true;
    for (std::size_t k = 0; k <= rest.size(); ++k) {
        if (k < rest.size() && rest[k] != blank) {
            continue;
        }
        if (textWidth(rest.substr(0, k)) < getWidth()) {
            remembered = k;
            firstCandidate = false;
            continue;
        }
        if (!firstCandidate) {
            return remembered;
        }
        while (k > 0 && textWidth(rest.substr(0, k)) > getWidth()) {
            --k;
        }
        return std::max<std::size_t>(k, 1);
    }
    return remembered;
}

void Label::fitWrappedHeight() {
    bounds.w = getWidth();
    bounds.h = textHeight();
    setHeight(bounds.h);
}

int Label::textHeight() const {
    const int count = static_cast<int>(lines.size());
    return font->getBottomPad() + (count - 1) * effectiveLineHeight() + glyphHeight(font.get());
}

int Label::textWidth(const kernel::WideString& value) const {
    return font ? font->textWidth(value) : 0;
}

int Label::effectiveLineHeight() const {
    if (lineHeight > 0) {
        return lineHeight;
    }
    return font ? font->lineHeight() : 0;
}

// The height of the font's charset image, which a packed font no longer holds.
int Label::glyphHeight(const graphics::BitmapFont* value) {
    return value != nullptr ? value->charsetHeight() : 0;
}

void Label::measureLines() {
    positions.clear();
    const int step = effectiveLineHeight();
    const int top = firstLineY();
    int minX = INT_MAX;
    int maxWidth = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const int width = textWidth(lines[i]);
        const int x = lineX(width);
        positions.emplace_back(static_cast<float>(x), static_cast<float>(top + static_cast<int>(i) * step));
        minX = std::min(minX, x);
        maxWidth = std::max(maxWidth, width);
    }
    if (autoFit) {
        shiftToZero();
    }
    if (lines.empty()) {
        bounds.x = 0;
        return;
    }
    bounds.set(minX, static_cast<int>(positions.front().getY()), maxWidth, font ? textHeight() : 0);
}

int Label::firstLineY() const {
    const int count = static_cast<int>(lines.size());
    const int free = getHeight() - (count - 1) * effectiveLineHeight() - glyphHeight(font.get());
    switch (alignV) {
    case AlignMiddle:
        return free / 2;
    case AlignBottom:
        return free;
    default:
        return 0;
    }
}

// Auto-fit lines are aligned against each other: the label takes its width from the widest line afterwards.
int Label::lineX(int width) const {
    switch (alignH) {
    case AlignCenter:
        return autoFit ? -(width / 2) : (getWidth() - width) / 2;
    case AlignRight:
        return autoFit ? -width : getWidth() - width;
    default:
        return 0;
    }
}

// The leftmost line starts at 0; the others keep their place relative to it.
void Label::shiftToZero() {
    if (positions.empty()) {
        return;
    }
    int least = INT_MAX;
    for (const graphics::PointF& at : positions) {
        least = std::min(least, static_cast<int>(at.getX()));
    }
    for (graphics::PointF& at : positions) {
        at.setX(at.getX() - static_cast<float>(least));
    }
}

graphics::MemoryImage32& Label::bufferOfSize(int w, int h) {
    if (!buffer || getImage() != buffer.get() || buffer->getWidth() != w || buffer->getHeight() != h) {
        buffer = graphics::createImage32(w, h);
        // Drawn with its per-pixel alpha, so only the glyphs cover what lies below.
        buffer->setAlphaMode(true);
        setImage(buffer.get());
    }
    return *buffer;
}

// The buffer is filled with the drawing colour, alpha byte included, before the glyphs go on it; the
// glyphs raise the alpha where they are drawn.
void Label::renderBuffer() {
    const int w = autoFit ? bounds.w : getWidth();
    const int h = autoFit ? bounds.h : getHeight();
    if (w <= 0 || h <= 0) {
        setImage(nullptr);
        return;
    }
    graphics::MemoryImage32& target = bufferOfSize(w, h);
    std::fill(target.pixels32(),
              target.pixels32() + static_cast<std::size_t>(w) * static_cast<std::size_t>(h), 0u);
    const kernel::SmartPtr<graphics::MemoryImage32Painter> painter =
        new graphics::MemoryImage32Painter(target);
    painter->setFont(font.get());
    const kernel::Color drawing = font->effectiveColor(kernel::Color(getColor()));
    painter->setColor(drawing);
    // A painter's fill keeps the alpha lane, so the colour's alpha byte goes in on its own.
    painter->clear();
    painter->fillLane(0, static_cast<int>(drawing.value >> 24), 0, 0, w, h);
    painter->setColor(kernel::Color(getColor()));
    for (std::size_t i = 0; i < lines.size(); ++i) {
        painter->drawText(lines[i], static_cast<int>(positions[i].getX()),
                          static_cast<int>(positions[i].getY()));
    }
    target.setModified(true);
}

void Label::paint(graphics::ImagePainter& painter) {
    if (!buffered) {
        paintDirect(painter);
        return;
    }
    const int shift = font ? font->getTopPad() : 0;
    painter.moveOriginY(-shift);
    Sprite::paint(painter);
    painter.moveOriginY(shift);
}

// Horizontally from the x the label was made at, vertically from where it is now.
void Label::paintDirect(graphics::ImagePainter& painter) {
    const kernel::Color savedColour = painter.getColor();
    const int savedAlpha = painter.getAlpha();
    painter.setColor(kernel::Color(getColor()));
    painter.setAlpha(getAlpha());
    painter.setFont(font.get());
    for (std::size_t i = 0; i < lines.size() && i < positions.size(); ++i) {
        painter.drawText(lines[i], originX + static_cast<int>(positions[i].getX()),
                         getY() + static_cast<int>(positions[i].getY()));
    }
    painter.setColor(savedColour);
    painter.setAlpha(savedAlpha);
    setDirty(false);
}

} // namespace ui
