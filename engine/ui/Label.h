#pragma once

#include "engine/graphics/BitmapFont.h"
#include "engine/graphics/MemoryImage32.h"
#include "engine/graphics/PointF.h"
#include "engine/kernel/Rect.h"
#include "engine/kernel/SmartPtr.h"
#include "engine/kernel/TextConversion.h"
#include "engine/ui/Sprite.h"

#include <cstdint>
#include <vector>

namespace kernel {
class NodeValue;
class Value;
} // namespace kernel

namespace graphics {
class ImagePainter;
}

namespace ui {

// A sprite showing a wide text in one bitmap font: laid out into lines (as written, truncated with "..." or
// word-wrapped), aligned inside the label's rectangle, optionally sized to the text (auto-fit) and by default
// drawn once into an image of its own that is then painted like any sprite image.
class Label : public Sprite {
public:
    enum TextWrap : int { WrapNone = 0, WrapTruncate = 1, WrapWord = 2 };
    enum VerticalAlign : int { AlignTop = 0, AlignMiddle = 1, AlignBottom = 2 };
    enum HorizontalAlign : int { AlignLeft = 0, AlignCenter = 1, AlignRight = 2 };

    // The sprite's keys, then "font"+"section", "wrapstyle", "autofitsize", "buffer", "alignv", "alignh",
    // "lineheight" and the text from "text", else "value", else the stored text under "textid".
    explicit Label(kernel::NodeValue& settings);
    // Auto-fit stays on whatever the wrap style; nothing is laid out until setText or relayout.
    Label(graphics::BitmapFont* font, int x, int y, int width, int height, int wrapStyle);
    ~Label() override;

    // Buffered: the rendered image, shifted up by the font's top pad. Otherwise the lines are drawn
    // directly, horizontally from the x the label was constructed at.
    void paint(graphics::ImagePainter& painter) override;
    // A different colour lays the text out again; an equal one changes nothing.
    void setColor(std::uint32_t value) override;

    virtual int getAlignV() const { return alignV; }
    virtual int getAlignH() const { return alignH; }
    // With auto-fit these fit the width (vertical) and the height (horizontal) only.
    virtual void setAlignV(int value);
    virtual void setAlignH(int value);
    virtual kernel::Rect getTextBounds() const { return bounds; }
    // A typed backslash followed by "n" becomes a line feed; the same text again does nothing.
    virtual void setText(const kernel::WideString& value);
    virtual const kernel::WideString& getText() const { return text; }
    // Holds the new font; the text is not laid out again.
    virtual void setFont(graphics::BitmapFont* value);
    virtual graphics::BitmapFont* getFont() const { return font.get(); }
    // Truncate and word wrap switch auto-fit off; with auto-fit still on the text is fitted again.
    virtual void setWrapStyle(int value);
    virtual int getWrapStyle() const { return wrapStyle; }
    virtual void fitLayout();
    virtual void fitWidth();
    virtual void fitHeight();
    // Lays the lines out, places them and, when buffered, renders the buffer.
    virtual void relayout();

    bool isAutoFit() const { return autoFit; }
    void setAutoFit(bool value) { autoFit = value; }
    bool isBuffered() const { return buffered; }
    void setBuffered(bool value) { buffered = value; }
    int getLineHeight() const { return lineHeight; }
    void setLineHeight(int value) { lineHeight = value; }
    int getOriginX() const { return originX; }
    const std::vector<kernel::WideString>& getLines() const { return lines; }
    // One per line, relative to the text origin.
    const std::vector<graphics::PointF>& getPositions() const { return positions; }

    // The label's line height when above 0, else the font's; 0 without a font.
    int effectiveLineHeight() const;
    // Places the current lines by the alignments and records the text bounds.
    void measureLines();

    // Parts between delimiters; empty ones only when keepEmpty. The rest after the last delimiter is
    // always a part, so an empty text gives one empty part.
    static std::vector<kernel::WideString> splitLines(const kernel::WideString& value, char16_t delimiter,
                                                      bool keepEmpty);
    // Height of the font's charset image; 0 without a font or image.
    static int glyphHeight(const graphics::BitmapFont* value);
    // Backslash-n sequences as typed in XML become line feeds.
    static kernel::WideString convertLineFeeds(const kernel::WideString& value);

    static kernel::Object* createInstance(kernel::Value& settings);

    static constexpr kernel::ClassInfo classInfo{&Sprite::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    void readSettings(kernel::NodeValue& settings);
    void readFont(kernel::NodeValue& settings);
    void readStyle(kernel::NodeValue& settings);
    void readText(kernel::NodeValue& settings);
    void layOutLines();
    void truncateLines();
    kernel::WideString truncated(const kernel::WideString& paragraph) const;
    void wrapLines();
    void wrapParagraph(const kernel::WideString& paragraph);
    std::size_t findBreak(const kernel::WideString& rest) const;
    void fitWrappedHeight();
    int textHeight() const;
    int textWidth(const kernel::WideString& value) const;
    int lineX(int width) const;
    int firstLineY() const;
    void shiftToZero();
    void renderBuffer();
    graphics::MemoryImage32& bufferOfSize(int w, int h);
    void paintDirect(graphics::ImagePainter& painter);

    std::vector<kernel::WideString> lines;
    std::vector<graphics::PointF> positions;
    kernel::SmartPtr<graphics::BitmapFont> font;
    kernel::WideString text;
    kernel::Rect bounds;
    int alignV = AlignTop;
    int alignH = AlignLeft;
    int wrapStyle = WrapNone;
    bool autoFit = true;
    bool buffered = true;
    int lineHeight = 0;
    int originX = 0;
    // The image the text is rendered into; only this one is ever drawn on, never an image from settings.
    kernel::SmartPtr<graphics::MemoryImage32> buffer;
};

} // namespace ui
