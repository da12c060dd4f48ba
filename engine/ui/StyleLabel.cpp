#include "engine/ui/StyleLabel.h"

#include "engine/graphics/DecodeLimits.h"
#include "engine/graphics/ImageFactory.h"
#include "engine/graphics/MemoryImage32.h"
#include "engine/graphics/MemoryImage32Painter.h"
#include "engine/kernel/NodeValue.h"
#include "engine/kernel/ObjectFactory.h"
#include "engine/kernel/PropertyStore.h"
#include "engine/kernel/ResourceManager.h"
#include "engine/kernel/ScalarValue.h"
#include "engine/ui/LabelSettings.h"
#include "engine/ui/LayoutArithmetic.h"
#include "engine/ui/MarkupTagRegistry.h"

#include <algorithm>
#include <climits>
#include <optional>
#include <string>

namespace ui {

namespace {

const kernel::ClassRegistrar registerStyleLabel("StyleLabel", StyleLabel::createInstance);

constexpr char16_t lineFeed = u'\n';
constexpr char16_t blank = u' ';
constexpr char16_t backslash = u'\\';
constexpr char16_t openBracket = u'[';
constexpr char16_t closeBracket = u']';
constexpr char16_t equalsSign = u'=';
const kernel::WideString ellipsisText = u"...";
// Added to the pen after a truncation, so every further run of the line is dropped.
constexpr int pastTheEnd = 9999;
// A run that keeps meeting images is placed after this many passes wherever it stands.
constexpr int maxAvoidPasses = 1000;
// A label grows with its text no larger than the largest picture the engine decodes: a pen sent far away
// by the markup would otherwise ask for a picture of gigabytes.
constexpr int maxGrownSide = graphics::maxDecodedSide;

bool overlaps(const Sprite& image, const Label& piece, int pieceLineHeight) {
    const std::int64_t imageX = image.getX();
    const std::int64_t imageY = image.getY();
    const std::int64_t pieceX = piece.getX();
    const std::int64_t pieceY = piece.getY();
    return imageX + image.getWidth() > pieceX && imageY + image.getHeight() > pieceY &&
           imageX < pieceX + piece.getWidth() && imageY < pieceY + pieceLineHeight;
}

} // namespace

kernel::Object* StyleLabel::createInstance(kernel::Value& settings) {
    return new StyleLabel(settings.asNode());
}

StyleLabel::StyleLabel(kernel::NodeValue& settings) : Sprite(settings) {
    readFont(settings);
    readStyle(settings);
    readText(settings);
}

StyleLabel::~StyleLabel() = default;

void StyleLabel::readFont(kernel::NodeValue& settings) {
    if (graphics::BitmapFont* found = declaredFont(settings)) {
        setFont(found);
    }
}

// A label declared without a width grows to its text, whatever "autofitsize" and "wrapstyle" said.
void StyleLabel::readStyle(kernel::NodeValue& settings) {
    if (settings.hasChild("autofitsize")) {
        autoFit = settings.getValue("autofitsize").asBool();
    }
    readWrapStyle(settings, wrapStyle, autoFit);
    if (getWidth() == 0) {
        autoFit = true;
    }
    readAlignment(settings, alignV, alignH);
}

void StyleLabel::readText(kernel::NodeValue& settings) {
    if (const std::optional<kernel::WideString> declared = declaredText(settings)) {
        setText(*declared);
    }
}

void StyleLabel::setText(const kernel::WideString& value) {
    images.clear();
    kernel::WideString converted = Label::convertLineFeeds(value);
    if (converted == text) {
        return;
    }
    text = std::move(converted);
    relayout();
}

void StyleLabel::setFont(graphics::BitmapFont* value) {
    font = value;
}

void StyleLabel::relayout() {
    splitIntoLines();
    render();
}

void StyleLabel::splitIntoLines() {
    resetLayout();
    for (scanPos = 0; scanPos < scanText.size(); ++scanPos) {
        scanCharacter();
    }
    measureAndWrap();
    endLayout();
}

void StyleLabel::resetLayout() {
    lines.clear();
    scanText = text;
    scanPos = 0;
    runStart = 0;
    penX = 0;
    lineY = 0;
    lineHeight = 0;
    nextLineHeight = 0;
    lineRight = 0;
    currentLine = new TextLine();
}

// A backslash before "[" escapes it; the character after an escaped bracket is skipped as ordinary text.
void StyleLabel::scanCharacter() {
    const char16_t character = scanText[scanPos];
    if (character == lineFeed) {
        measureAndWrap();
        finishLine();
    } else if (character == blank) {
        measureAndWrap();
        if (penX != 0 && font) {
            penX = addClamped(penX, font->textWidth(u" "));
        }
    } else if (character == openBracket && scanPos > 0 && scanText[scanPos - 1] == backslash) {
        scanText.erase(scanPos - 1, 1);
    } else if (character == openBracket) {
        measureAndWrap();
        readTag();
    }
}

// A tag without "]" runs to the end of the text. Names and values are taken exactly as written.
void StyleLabel::readTag() {
    const std::size_t nameStart = scanPos + 1;
    const std::size_t close = std::min(scanText.find(closeBracket, nameStart), scanText.size());
    const std::size_t equals = std::min(scanText.find(equalsSign, nameStart), close);
    const kernel::WideString name = scanText.substr(nameStart, equals - nameStart);
    const kernel::WideString value = equals < close ? scanText.substr(equals + 1, close - equals - 1) : u"";
    scanPos = close;
    runStart = close + 1;
    // Held for the call: the registry lives to the end of the layout.
    const kernel::SmartPtr<MarkupTagRegistry> registry = MarkupTagRegistry::instance();
    registry->dispatch(name, value, *this);
}

// The open last line is aligned like a finished one, so a single centred line is centred too; it adds
// only the current font's glyph height to the label's height.
void StyleLabel::endLayout() {
    alignPiecesVertically();
    alignPiecesHorizontally(freeWidth());
    lines.push_back(currentLine);
    currentLine = new TextLine();
    if (autoFit && lineRight > getWidth()) {
        setWidth(std::min(lineRight, maxGrownSide));
    }
    setHeight(std::min(addClamped(lineY, Label::glyphHeight(font.get())), maxGrownSide));
    if (getHeight() == 0) {
        setHeight(1);
    }
    if (getWidth() == 0) {
        setWidth(1);
    }
    MarkupTagRegistry::destroy();
    currentLine = nullptr;
}

// Ends the run between runStart and scanPos. Without a font a run cannot be measured, so it is dropped.
void StyleLabel::measureAndWrap() {
    if (runStart >= scanPos || runStart >= scanText.size() || !font) {
        runStart = scanPos + 1;
        return;
    }
    const kernel::SmartPtr<Label> piece = makePiece(scanText.substr(runStart, scanPos - runStart));
    const int pieceLineHeight = piece->effectiveLineHeight();
    bool closesLine = false;
    if (wrapStyle == Label::WrapWord) {
        if (addClamped(penX, piece->getWidth()) > getWidth()) {
            wrapPiece(*piece, pieceLineHeight);
        }
    } else {
        nextLineHeight = pieceLineHeight;
        closesLine = wrapStyle == Label::WrapTruncate && truncatePiece(*piece);
    }
    avoidImages(*piece, pieceLineHeight);
    if (!piece->getText().empty()) {
        currentLine->pieces.push_back(piece);
        lineRight = addClamped(piece->getX(), piece->getWidth());
        lineHeight = std::max(lineHeight, pieceLineHeight);
        penX = lineRight;
    }
    if (closesLine) {
        penX = addClamped(penX, pastTheEnd);
    }
    runStart = scanPos + 1;
}

// A pen sent to the end of the int range places the run where it ends at that end.
kernel::SmartPtr<Label> StyleLabel::makePiece(const kernel::WideString& run) {
    const kernel::SmartPtr<Label> piece = new Label(font.get(), penX, lineY, 0, 0, Label::WrapNone);
    piece->setColor(getColor());
    piece->setAlignV(alignV);
    piece->setText(run);
    piece->setX(placedWithinRange(penX, piece->getWidth()));
    return piece;
}

// A word that does not fit goes to a new line; one wider than the label is dropped.
void StyleLabel::wrapPiece(Label& piece, int pieceLineHeight) {
    if (penX != 0 && piece.getWidth() <= getWidth()) {
        nextLineHeight = pieceLineHeight;
        finishLine();
        piece.setX(penX);
        piece.setY(lineY);
        return;
    }
    piece.setText(u"");
}

// The first run that does not fit becomes its first character and "..."; when even that does not fit the
// previous run of the line ends in "..." instead. True when the line is closed to further runs.
bool StyleLabel::truncatePiece(Label& piece) {
    const int width = getWidth();
    if (addClamped(penX, piece.getWidth()) <= width) {
        return false;
    }
    if (lineRight >= width) {
        piece.setText(u"");
        return false;
    }
    piece.setText(piece.getText().substr(0, 1) + ellipsisText);
    if (addClamped(penX, piece.getWidth()) > width) {
        piece.setText(u"");
        shortenPreviousPiece();
    }
    return true;
}

// The previous run loses characters before its "..." until it ends inside the label; a run that cannot be
// made to fit is not shown at all. The line then ends where its text now ends, which the alignment needs:
// a right-aligned line would otherwise push its ellipsis past the label's edge.
void StyleLabel::shortenPreviousPiece() {
    if (currentLine->pieces.empty()) {
        return;
    }
    Label& previous = *currentLine->pieces.back();
    const kernel::WideString& old = previous.getText();
    kernel::WideString kept =
        old.size() > ellipsisText.size() ? old.substr(0, old.size() - ellipsisText.size()) : old.substr(0, 1);
    previous.setText(kept + ellipsisText);
    while (addClamped(previous.getX(), previous.getWidth()) > getWidth() && !kept.empty()) {
        kept.pop_back();
        previous.setText(kept + ellipsisText);
    }
    if (addClamped(previous.getX(), previous.getWidth()) > getWidth()) {
        previous.setText(u"");
    }
    lineRight = shownLineRight();
}

// The right end of the current line's last piece that shows any text; 0 when none does.
int StyleLabel::shownLineRight() const {
    const std::vector<kernel::SmartPtr<Label>>& pieces = currentLine->pieces;
    for (auto piece = pieces.rbegin(); piece != pieces.rend(); ++piece) {
        if (!(*piece)->getText().empty()) {
            return addClamped((*piece)->getX(), (*piece)->getWidth());
        }
    }
    return 0;
}

// A run that would overlap a floating image moves to its right (and, with word wrap, on to a new line
// when it no longer fits), until it overlaps none.
void StyleLabel::avoidImages(Label& piece, int pieceLineHeight) {
    bool moved = true;
    for (int pass = 0; moved && pass < maxAvoidPasses; ++pass) {
        moved = false;
        for (const kernel::SmartPtr<Sprite>& image : images) {
            if (!overlaps(*image, piece, pieceLineHeight)) {
                continue;
            }
            moved = true;
            penX = clampToInt(std::int64_t{image->getX()} + image->getWidth() + 1);
            piece.setX(placedWithinRange(penX, piece.getWidth()));
            if (wrapStyle == Label::WrapWord && addClamped(penX, piece.getWidth()) > getWidth()) {
                wrapPiece(piece, pieceLineHeight);
            }
        }
    }
}

// Only a layout has a current line to finish.
void StyleLabel::finishLine() {
    if (!currentLine) {
        return;
    }
    alignPiecesVertically();
    alignPiecesHorizontally(freeWidth());
    lines.push_back(currentLine);
    lineY = addClamped(lineY, lineHeight != 0 ? lineHeight : (font ? font->lineHeight() : 0));
    penX = 0;
    lineHeight = nextLineHeight;
    currentLine = new TextLine();
    if (autoFit && lineY > getHeight()) {
        setHeight(std::min(lineY, maxGrownSide));
    }
    if (autoFit && lineRight > getWidth()) {
        setWidth(std::min(lineRight, maxGrownSide));
    }
    // A full line must not make truncation drop the first run of the next one.
    lineRight = 0;
}

// Each piece by the alignment that was current when its run was made; "baseline" lines the fonts'
// baselines up with the largest one of the line.
void StyleLabel::alignPiecesVertically() {
    const std::vector<kernel::SmartPtr<Label>>& pieces = currentLine->pieces;
    int baseline = INT_MIN;
    int baselineHeight = 0;
    for (const kernel::SmartPtr<Label>& piece : pieces) {
        if (piece->getFont()->getBaseline() > baseline) {
            baseline = piece->getFont()->getBaseline();
            baselineHeight = piece->effectiveLineHeight();
        }
    }
    const std::int64_t baselineTop = std::int64_t{baseline} + lineHeight - baselineHeight;
    for (const kernel::SmartPtr<Label>& piece : pieces) {
        const std::int64_t y = piece->getY();
        const int glyphs = Label::glyphHeight(piece->getFont());
        switch (piece->getAlignV()) {
        case AlignTop:
            break;
        case AlignMiddle:
            piece->setY(clampToInt(y + (std::int64_t{lineHeight} - glyphs) / 2));
            break;
        case AlignBaseline:
            piece->setY(clampToInt(y + baselineTop - piece->getFont()->getBaseline()));
            break;
        default:
            piece->setY(clampToInt(y + lineHeight - glyphs));
            break;
        }
    }
}

// The room right of the line's end, less the images standing in the line's band there.
int StyleLabel::freeWidth() const {
    std::int64_t free = std::int64_t{getWidth()} - lineRight;
    for (const kernel::SmartPtr<Sprite>& image : images) {
        const std::int64_t x = image->getX();
        const std::int64_t y = image->getY();
        if (x + image->getWidth() > lineRight && y + image->getHeight() > lineY && x < lineRight + free &&
            y < std::int64_t{lineY} + lineHeight) {
            free -= image->getWidth();
        }
    }
    return clampToInt(std::max<std::int64_t>(free, 0));
}

void StyleLabel::alignPiecesHorizontally(int free) {
    int shift = 0;
    if (alignH == Label::AlignCenter) {
        shift = free / 2;
    } else if (alignH == Label::AlignRight) {
        shift = free;
    }
    if (shift <= 0) {
        return;
    }
    for (const kernel::SmartPtr<Label>& piece : currentLine->pieces) {
        piece->setX(addClamped(piece->getX(), shift));
    }
}

// The pieces' own images are drawn without the top pad shift a label applies when it paints itself.
void StyleLabel::render() {
    const int w = getWidth();
    const int h = getHeight();
    if (w <= 0 || h <= 0) {
        setImage(nullptr);
        return;
    }
    const kernel::SmartPtr<graphics::MemoryImage32> target = graphics::createImage32(w, h);
    if (!target) {
        setImage(nullptr);
        return;
    }
    // Drawn with its per-pixel alpha, so only the text and the images cover what lies below.
    target->setAlphaMode(true);
    setImage(target.get());
    std::fill(target->pixels32(),
              target->pixels32() + static_cast<std::size_t>(w) * static_cast<std::size_t>(h), 0u);
    const kernel::SmartPtr<graphics::MemoryImage32Painter> painter =
        new graphics::MemoryImage32Painter(*target);
    for (const kernel::SmartPtr<TextLine>& line : lines) {
        for (const kernel::SmartPtr<Label>& piece : line->pieces) {
            drawInto(*painter, piece->getImage(), piece->getX(), piece->getY());
        }
    }
    for (const kernel::SmartPtr<Sprite>& image : images) {
        drawInto(*painter, image->getImage(), image->getX(), image->getY());
    }
    target->setModified(true);
}

// Copied whole with the source's own alpha mode off, then the alpha lane keeps the larger of both.
void StyleLabel::drawInto(graphics::ImagePainter& painter, graphics::ImageBase* source, int x, int y) {
    if (source == nullptr) {
        return;
    }
    const bool alphaMode = source->getAlphaMode();
    source->setAlphaMode(false);
    painter.blit(*source, x, y);
    painter.maxLane(*source, 0, x, y);
    source->setAlphaMode(alphaMode);
}

} // namespace ui
