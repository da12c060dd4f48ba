#pragma once

#include "engine/graphics/ChannelBuffer.h"
#include "engine/graphics/ImageBase.h"
#include "engine/kernel/Color.h"
#include "engine/kernel/Rect.h"
#include "engine/kernel/SmartPtr.h"
#include "engine/kernel/TextConversion.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>

namespace kernel {
class NodeValue;
}

namespace graphics {

class ImagePainter;

// Text drawn from a charset image: a format file says where each character's glyph lies in the image and
// how far it advances the pen. A character picks its glyph by the low 8 bits of its 16-bit unit.
//
// A colour-keyed font draws the painter's colour through the charset image's alpha lane instead of the
// image's own pixels, so one charset serves every colour.
class BitmapFont : public kernel::Object {
public:
    struct Glyph {
        bool present = false;
        // The glyph's box as the format file places it in the charset image, clipped to the image: its size
        // is the glyph's size.
        kernel::Rect source;
        // How far the pen moves past this glyph.
        std::int32_t width = 0;
        std::int32_t offsetx = 0;
        // Where its pixels are in the font's own image (getImage): the rows of the box from its first to
        // its last that is not wholly clear, which begin top rows below the box's top. Empty when every
        // pixel of the box is clear.
        kernel::Rect drawn;
        std::int32_t top = 0;
    };

    BitmapFont() = default;
    ~BitmapFont() override;

    // Keeps the charset image and the colour, then reads the format file in the given file-source mode
    // (0: the global one). For a colour-keyed font the image's alpha lane becomes the channel. An empty path
    // reads nothing; a missing or broken file leaves every metric 0 and no glyph present.
    //
    // A charset drawn by its own alpha is then packed: each glyph keeps only its rows that are not wholly
    // clear, laid in shelves of a smaller image, which the font holds in place of the charset. Clear rows
    // leave a target as it is, so the text drawn is the same to the pixel; a charset of fonts at the
    // game's sizes shrinks by about a third.
    void load(const std::string& formatFile, ImageBase* charset, const kernel::Color& fontColour,
              bool colourKeyed, int fileMode);

    // Reads a charset: the same pixels the font was loaded with.
    using CharsetSource = std::function<kernel::SmartPtr<ImageBase>()>;
    // Lets go of the charset's pixels until the font is first drawn, which reads them again through the
    // source and places the glyphs in them as load did; metrics and measures stay. A font drawn only once
    // its scene shows (a title screen's greeting) then holds no pixels before. A source that gives nothing,
    // or a picture of another size, leaves the font drawing nothing.
    void readCharsetOnDemand(CharsetSource source);
    // Whether the pixels are still to be read.
    bool isCharsetPending() const { return charsetPending.load(); }
    // Reads the pixels now when they are still to be read, so that the first drawing need not.
    void readPendingCharset();

    // (x, y) is the top-left corner of the text; the painter's alpha is the same afterwards.
    virtual void drawText(ImagePainter& painter, const kernel::WideString& text, int x, int y);
    virtual int textWidth(const kernel::WideString& text) const;
    // Tells the font's users what kind of font this is: bitmap fonts are kind 2.
    virtual int kind() const { return 2; }
    // The colour text is drawn in: the requested one when the font is colour-keyed, else its own.
    virtual kernel::Color effectiveColor(const kernel::Color& requested) const;
    // The blank always counts as present: it advances without a glyph.
    virtual bool hasGlyph(char16_t character) const;
    virtual int getTopPad() const { return toppad; }
    virtual int getBottomPad() const { return bottompad; }
    virtual int getSidePad() const { return sidepad; }
    // "lineheight" when it is positive, else the height of the last glyph read.
    virtual int lineHeight() const;

    ChannelBuffer* getChannel() const { return channel.get(); }
    // The charset image, or the packed image that took its place.
    ImageBase* getImage() const { return image.get(); }
    bool isPacked() const { return packed; }
    // The height of the charset image the font was loaded with, also once packed: the height of its letters
    // as a label lays them out. 0 without a charset.
    int charsetHeight() const { return charsetRows; }
    const Glyph& glyph(char16_t character) const { return glyphs[codeOf(character)]; }
    int getBaseline() const { return baseline; }
    int getCharSpacing() const { return charspacing; }
    int getSpaceWidth() const { return spacewidth; }
    bool isLoaded() const { return loaded; }

    static constexpr kernel::ClassInfo classInfo{&kernel::Object::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    static constexpr int blank = 32;
    static int codeOf(char16_t character) { return character & 0xFF; }

    void readFormat(const std::string& formatFile, int fileMode);
    void readMetrics(const kernel::NodeValue& info);
    void readGlyph(const kernel::NodeValue& entry);
    int glyphCode(const kernel::NodeValue& entry) const;
    kernel::Rect clipToCharset(std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h) const;
    void drawGlyph(ImagePainter& painter, const Glyph& glyph, int x, int y);
    void takeCharset(ImageBase* charset);
    void packGlyphs();

    std::int32_t glyphHeight = 0;
    std::int32_t baseline = 0;
    bool loaded = false;
    bool packed = false;
    std::int32_t charsetRows = 0;
    std::int32_t charsetColumns = 0;
    bool colourKeyedFont = false;
    std::mutex charsetLock;
    std::atomic<bool> charsetPending{false};
    CharsetSource pendingCharset;
    kernel::SmartPtr<ImageBase> image;
    kernel::SmartPtr<ChannelBuffer> channel;
    std::array<Glyph, 256> glyphs{};
    kernel::Color colour;
    std::int32_t sidepad = 0;
    std::int32_t toppad = 0;
    std::int32_t bottompad = 0;
    std::int32_t charspacing = 0;
    std::int32_t spacewidth = 0;
    std::int32_t lineheight = 0;
};

} // namespace graphics
