#include "engine/graphics/BitmapFont.h"

#include "engine/graphics/GlyphPacking.h"
#include "engine/graphics/ImageFactory.h"
#include "engine/graphics/ImagePainter.h"
#include "engine/kernel/ValueDocument.h"

#include <algorithm>
#include <limits>
#include <vector>

namespace graphics {
namespace {

// Metrics come from authored files: bounding them keeps every sum of a long text inside 64 bits and every
// pen position handed to the painter inside the range its clipping arithmetic takes.
constexpr std::int32_t metricLimit = 1 << 20;
constexpr std::int64_t penLimit = std::int64_t{1} << 30;

std::int32_t readMetric(const kernel::NodeValue& node, const char* name) {
    return std::clamp(node.getValue(name).asInt(), -metricLimit, metricLimit);
}

int toInt(std::int64_t value) {
    return static_cast<int>(
        std::clamp<std::int64_t>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

int penPosition(std::int64_t pen) {
    return static_cast<int>(std::clamp(pen, -penLimit, penLimit));
}

} // namespace

BitmapFont::~BitmapFont() = default;

void BitmapFont::load(const std::string& formatFile, ImageBase* charset, const kernel::Color& fontColour,
                      bool colourKeyed, int fileMode) {
    colour.value = fontColour.value;
    colourKeyedFont = colourKeyed;
    image = charset;
    charsetRows = charset != nullptr ? charset->getHeight() : 0;
    charsetColumns = charset != nullptr ? charset->getWidth() : 0;
    readFormat(formatFile, fileMode);
    takeCharset(charset);
}

void BitmapFont::takeCharset(ImageBase* charset) {
    channel = colourKeyedFont && charset != nullptr ? createImageChannel(*charset, 0) : nullptr;
    image = charset;
    packed = false;
    packGlyphs();
}

void BitmapFont::readCharsetOnDemand(CharsetSource source) {
    const std::lock_guard guard(charsetLock);
    pendingCharset = std::move(source);
    image = nullptr;
    channel = nullptr;
    packed = false;
    charsetPending.store(static_cast<bool>(pendingCharset));
}

// The glyphs were clipped to the charset's size at load: pixels of another size are not drawn from.
void BitmapFont::readPendingCharset() {
    if (!charsetPending.load()) {
        return;
    }
    const std::lock_guard guard(charsetLock);
    if (!charsetPending.load()) {
        return;
    }
    const kernel::SmartPtr<ImageBase> charset = pendingCharset ? pendingCharset() : nullptr;
    pendingCharset = nullptr;
    if (charset && charset->getWidth() == charsetColumns && charset->getHeight() == charsetRows) {
        takeCharset(charset.get());
    }
    charsetPending.store(false);
}

// A charset drawn with the blit's plain copy writes its clear pixels too, so only one drawn by its alpha
// (or through its alpha lane, colour-keyed) is packed. Without packing a glyph is drawn from its box.
void BitmapFont::packGlyphs() {
    for (Glyph& glyph : glyphs) {
        glyph.drawn = glyph.source;
        glyph.top = 0;
    }
    if (!image || !loaded || (!channel && !image->getAlphaMode())) {
        return;
    }
    std::vector<kernel::Rect> boxes;
    for (const Glyph& glyph : glyphs) {
        if (glyph.present) {
            boxes.push_back(glyph.source);
        }
    }
    PackedCharset charset = packCharset(*image, boxes);
    if (!charset.image) {
        return;
    }
    auto box = charset.boxes.begin();
    for (Glyph& glyph : glyphs) {
        if (glyph.present) {
            glyph.drawn = box->drawn;
            glyph.top = box->top;
            ++box;
        }
    }
    image = charset.image.get();
    if (channel) {
        channel = createImageChannel(*image, 0);
    }
    packed = true;
}

void BitmapFont::readFormat(const std::string& formatFile, int fileMode) {
    if (formatFile.empty()) {
        return;
    }
    kernel::SmartPtr<kernel::ValueDocument> document = new kernel::ValueDocument(formatFile);
    document->setFileMode(fileMode);
    document->load();
    readMetrics(document->getNode("charsetinfo"));
    const kernel::VectorValue& charset = document->getVector("charset");
    for (const kernel::SmartPtr<kernel::Value>& entry : charset.children()) {
        // A stray scalar or Vector would read as the empty fallback Node, whose name would define a glyph
        // of zeros for 'D'.
        if (entry->isNode()) {
            readGlyph(entry->asNode());
        }
    }
}

void BitmapFont::readMetrics(const kernel::NodeValue& info) {
    sidepad = readMetric(info, "sidepad");
    toppad = readMetric(info, "toppad");
    bottompad = readMetric(info, "bottompad");
    charspacing = readMetric(info, "charspacing");
    spacewidth = readMetric(info, "spacewidth");
    lineheight = readMetric(info, "lineheight");
    baseline = readMetric(info, "baseline");
}

void BitmapFont::readGlyph(const kernel::NodeValue& entry) {
    Glyph& target = glyphs[glyphCode(entry)];
    const std::int32_t h = readMetric(entry, "h");
    target.source = clipToCharset(readMetric(entry, "x"), readMetric(entry, "y"), readMetric(entry, "w"), h);
    target.width = readMetric(entry, "width");
    target.offsetx = readMetric(entry, "offsetx");
    target.present = true;
    glyphHeight = h;
    loaded = true;
}

// An entry is named by its character. XML attributes cannot easily hold both quote characters, so the
// second entry named by a double quote stands for the apostrophe.
int BitmapFont::glyphCode(const kernel::NodeValue& entry) const {
    const std::string& name = entry.name();
    const int code = name.empty() ? 0 : static_cast<unsigned char>(name.front());
    constexpr int doubleQuote = 34;
    constexpr int apostrophe = 39;
    return code == doubleQuote && glyphs[doubleQuote].present ? apostrophe : code;
}

// The drawing loops test no bounds, so a rectangle of the format file may not reach past the charset.
kernel::Rect BitmapFont::clipToCharset(std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h) const {
    const std::int64_t width = image ? image->getWidth() : 0;
    const std::int64_t height = image ? image->getHeight() : 0;
    const std::int64_t left = std::clamp<std::int64_t>(x, 0, width);
    const std::int64_t top = std::clamp<std::int64_t>(y, 0, height);
    const std::int64_t right = std::clamp<std::int64_t>(x + w, left, width);
    const std::int64_t bottom = std::clamp<std::int64_t>(y + h, top, height);
    return kernel::Rect(static_cast<std::int32_t>(left), static_cast<std::int32_t>(top),
                        static_cast<std::int32_t>(right - left), static_cast<std::int32_t>(bottom - top));
}

// The last glyph is measured to its right edge (or its advance, when that is wider) plus one pixel, and
// the first one starts at its own offset.
int BitmapFont::textWidth(const kernel::WideString& text) const {
    std::int64_t sum = 0;
    const std::size_t last = text.empty() ? 0 : text.size() - 1;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const int code = codeOf(text[i]);
        const Glyph& g = glyphs[code];
        if (code == blank) {
            sum += spacewidth;
        } else if (!g.present) {
            continue;
        } else {
            sum += i == last ? std::max(g.source.w, g.width) + 1 : g.width;
            sum -= i == 0 ? g.offsetx : 0;
        }
        sum += charspacing;
    }
    return toInt(sum + 2 * std::int64_t{sidepad});
}

void BitmapFont::drawText(ImagePainter& painter, const kernel::WideString& text, int x, int y) {
    readPendingCharset();
    const int alpha = painter.getAlpha();
    std::int64_t pen = std::int64_t{x} + sidepad;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const int code = codeOf(text[i]);
        const Glyph& g = glyphs[code];
        if (code == blank) {
            pen += spacewidth + charspacing;
        } else if (g.present) {
            drawGlyph(painter, g, penPosition(pen + (i > 0 ? g.offsetx : 0)), y);
            pen += g.width - (i == 0 ? g.offsetx : 0) + charspacing;
        }
    }
    painter.setAlpha(alpha);
}

// Raising the target's alpha to the glyph's keeps text readable when the target is itself drawn later
// with per-pixel alpha (a label's buffer); 16-bit targets ignore it.
void BitmapFont::drawGlyph(ImagePainter& painter, const Glyph& glyph, int x, int y) {
    if (!image || glyph.drawn.isEmpty()) {
        return;
    }
    const int top = y + glyph.top;
    if (channel) {
        painter.fillThroughChannel(*channel, x, top, glyph.drawn);
    } else {
        painter.blit(*image, x, top, glyph.drawn);
    }
    painter.maxLane(*image, 0, x, top, glyph.drawn);
}

int BitmapFont::lineHeight() const {
    return lineheight > 0 ? lineheight : glyphHeight;
}

bool BitmapFont::hasGlyph(char16_t character) const {
    const int code = codeOf(character);
    return code == blank || glyphs[code].present;
}

kernel::Color BitmapFont::effectiveColor(const kernel::Color& requested) const {
    return kernel::Color(channel ? requested.value : colour.value);
}

} // namespace graphics
