#include "game/field/SpriteLabel.h"

#include "engine/graphics/BitmapFont.h"
#include "engine/graphics/ImageFactory.h"
#include "engine/graphics/ImagePainter.h"
#include "engine/kernel/Color.h"
#include "engine/kernel/ObjectFactory.h"
#include "engine/kernel/Value.h"

#include <compare>
#include <cstdint>
#include <map>

namespace game {

namespace {

const kernel::ClassRegistrar registrar("SpriteLabel", SpriteLabel::createInstance);

constexpr char16_t blank = 32;

// A letter's picture is known by its glyph (which lies in its font), the content versions of the font's
// pictures, which are never handed out twice, and the colour.
struct LetterKey {
    const void* glyph;
    std::uint64_t charset;
    std::uint64_t channel;
    std::uint32_t colour;
    auto operator<=>(const LetterKey&) const = default;
};

// Floaters show the same few letters in a few colours over and over, a party match dozens at once: each
// picture is drawn once and shared by every letter that shows it. Past this many, the pictures no letter
// shows any more are let go.
constexpr std::size_t keptLetters = 256;

std::map<LetterKey, kernel::SmartPtr<graphics::MemoryImage32>>& letterPictures() {
    static std::map<LetterKey, kernel::SmartPtr<graphics::MemoryImage32>> pictures;
    return pictures;
}

void keepLetter(const LetterKey& key, graphics::MemoryImage32* picture) {
    auto& pictures = letterPictures();
    if (pictures.size() >= keptLetters) {
        std::erase_if(pictures, [](const auto& entry) { return entry.second->referenceCount() == 1; });
    }
    if (pictures.size() < keptLetters) {
        pictures[key] = picture;
    }
}

} // namespace

SpriteLabel::SpriteLabel(kernel::NodeValue& settings) : ui::Label(settings) {}

// The letters go before the label's own parts.
SpriteLabel::~SpriteLabel() {
    clearGlyphs();
}

kernel::Object* SpriteLabel::createInstance(kernel::Value& settings) {
    return settings.isNode() ? new SpriteLabel(settings.asNode()) : nullptr;
}

void SpriteLabel::paint(graphics::ImagePainter& /*painter*/) {
    if (!layoutPending) {
        return;
    }
    layoutGlyphs();
}

void SpriteLabel::setText(const kernel::WideString& value) {
    ui::Label::setText(value);
    layoutPending = true;
}

void SpriteLabel::setFont(graphics::BitmapFont* value) {
    ui::Label::setFont(value);
    layoutPending = true;
}

void SpriteLabel::clearGlyphs() {
    for (const kernel::SmartPtr<ui::Sprite>& letter : letters) {
        letter->kill();
    }
    letters.clear();
}

// Letters built before go first, so a label laid out twice holds one set.
void SpriteLabel::layoutGlyphs() {
    layoutPending = false;
    clearGlyphs();
    const graphics::BitmapFont* font = getFont();
    if (font == nullptr) {
        return;
    }
    const std::vector<kernel::WideString>& lines = getLines();
    const std::vector<graphics::PointF>& positions = getPositions();
    const graphics::PointF& anchor = getAnchorPoint();
    for (std::size_t i = 0; i < lines.size() && i < positions.size(); ++i) {
        const int penX = static_cast<int>(positions[i].getX() - anchor.getX()) + font->getSidePad();
        const int penY = static_cast<int>(positions[i].getY() - anchor.getY()) - font->getTopPad();
        layoutLine(lines[i], penX, penY);
    }
}

// The first character of a line stands at the pen without its left offset, as the font draws a line.
void SpriteLabel::layoutLine(const kernel::WideString& line, int penX, int penY) {
    const graphics::BitmapFont& font = *getFont();
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == blank) {
            penX += font.getSpaceWidth() + font.getCharSpacing();
            continue;
        }
        const graphics::BitmapFont::Glyph& glyph = font.glyph(line[i]);
        if (!glyph.present) {
            continue;
        }
        const bool first = i == 0;
        if (kernel::SmartPtr<ui::Sprite> letter =
                letterSprite(line[i], first ? penX : penX + glyph.offsetx, penY)) {
            letters.push_back(letter);
            addChild(letter.get());
        }
        penX += glyph.width - (first ? glyph.offsetx : 0) + font.getCharSpacing();
    }
}

// The character drawn by the font into a picture of its own, in the label's colour where the font takes
// one.
kernel::SmartPtr<ui::Sprite> SpriteLabel::letterSprite(char16_t character, int x, int y) {
    graphics::BitmapFont* font = getFont();
    const graphics::BitmapFont::Glyph& glyph = font->glyph(character);
    const graphics::ImageBase* charset = font->getImage();
    const graphics::ChannelBuffer* channel = font->getChannel();
    const LetterKey key{&glyph, charset != nullptr ? charset->getContentVersion() : 0,
                        channel != nullptr ? channel->getContentVersion() : 0, getColor()};
    if (const auto known = letterPictures().find(key); known != letterPictures().end()) {
        return new ui::Sprite(x, y, known->second.get());
    }
    const kernel::SmartPtr<graphics::MemoryImage32> image =
        graphics::createImage32(glyph.source.w, glyph.source.h);
    if (!image) {
        return nullptr;
    }
    const kernel::SmartPtr<graphics::ImagePainter> painter = image->createPainter();
    painter->setColor(kernel::Color(getColor()));
    painter->setFont(font);
    // The font adds its side pad to the pen; the glyph goes to the picture's corner.
    painter->drawText(kernel::WideString(1, character), -font->getSidePad(), 0);
    image->setAlphaMode(true);
    image->setModified(true);
    keepLetter(key, image.get());
    return new ui::Sprite(x, y, image.get());
}

} // namespace game
