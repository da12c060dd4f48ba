#pragma once

#include "engine/graphics/BitmapFont.h"
#include "engine/graphics/ImageBase.h"
#include "engine/kernel/SmartPtr.h"
#include "engine/kernel/TextConversion.h"
#include "engine/ui/Label.h"
#include "engine/ui/Sprite.h"
#include "engine/ui/TextLine.h"

#include <cstddef>
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

// A sprite showing a wide text with inline markup: tags in square brackets change the font, colour,
// alignment, wrap style and tab position, break lines and place images. Each run of text becomes a small
// label; the runs are placed on lines, aligned and drawn once into the sprite's own image.
//
// Colour, font, alignment and wrap style are the label's own: tags change them during the parse and
// closing tags restore them, and whatever is left open stays in force for the next layout.
class StyleLabel : public Sprite {
public:
    enum VerticalAlign : int { AlignTop = 0, AlignMiddle = 1, AlignBottom = 2, AlignBaseline = 3 };

    // The sprite's keys, then "font"+"section", "autofitsize", "wrapstyle" (a width of 0 turns auto-fit on),
    // "alignv", "alignh" and the markup from "text", else "value", else the stored text under "textid".
    explicit StyleLabel(kernel::NodeValue& settings);
    ~StyleLabel() override;

    // Cuts the text into lines of pieces and renders them.
    virtual void relayout();
    virtual graphics::BitmapFont* getFont() const { return font.get(); }
    virtual int getAlignV() const { return alignV; }
    virtual int getAlignH() const { return alignH; }
    // These only store: they are what the tags call during a layout.
    virtual void setAlignV(int value) { alignV = value; }
    virtual void setAlignH(int value) { alignH = value; }
    virtual void setWrapStyle(int value) { wrapStyle = value; }
    virtual int getWrapStyle() const { return wrapStyle; }

    // Drops the placed images; a typed backslash followed by "n" becomes a line feed; a changed text is
    // laid out again.
    void setText(const kernel::WideString& value);
    const kernel::WideString& getText() const { return text; }
    // Replaces the current font (a tag's change, or the font before the first layout).
    void setFont(graphics::BitmapFont* value);
    bool isAutoFit() const { return autoFit; }
    void setAutoFit(bool value) { autoFit = value; }
    const std::vector<kernel::SmartPtr<TextLine>>& getLines() const { return lines; }

    // Layout state for the markup tags.
    int getPenX() const { return penX; }
    void setPenX(int value) { penX = value; }
    int getLineY() const { return lineY; }
    void setLineY(int value) { lineY = value; }
    int getLineHeight() const { return lineHeight; }
    void setLineHeight(int value) { lineHeight = value; }
    // Aligns the current line's pieces, keeps the line and starts the next one.
    void finishLine();
    std::vector<std::uint32_t>& getColorStack() { return colorStack; }
    std::vector<int>& getWrapStack() { return wrapStack; }
    std::vector<int>& getAlignVStack() { return alignVStack; }
    std::vector<int>& getAlignHStack() { return alignHStack; }
    std::vector<kernel::SmartPtr<graphics::BitmapFont>>& getFontStack() { return fontStack; }
    // Placed by "image" tags; drawn after the text and avoided by later runs.
    std::vector<kernel::SmartPtr<Sprite>>& getImages() { return images; }
    std::vector<int>& getTabStops() { return tabStops; }

    static kernel::Object* createInstance(kernel::Value& settings);

    static constexpr kernel::ClassInfo classInfo{&Sprite::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    void readFont(kernel::NodeValue& settings);
    void readStyle(kernel::NodeValue& settings);
    void readText(kernel::NodeValue& settings);

    void splitIntoLines();
    void resetLayout();
    void scanCharacter();
    void readTag();
    void endLayout();
    void measureAndWrap();
    kernel::SmartPtr<Label> makePiece(const kernel::WideString& run);
    void wrapPiece(Label& piece, int pieceLineHeight);
    bool truncatePiece(Label& piece);
    void shortenPreviousPiece();
    int shownLineRight() const;
    void avoidImages(Label& piece, int pieceLineHeight);
    void alignPiecesVertically();
    int freeWidth() const;
    void alignPiecesHorizontally(int free);
    void render();
    static void drawInto(graphics::ImagePainter& painter, graphics::ImageBase* source, int x, int y);

    std::vector<std::uint32_t> colorStack;
    std::vector<int> wrapStack;
    std::vector<int> alignVStack;
    std::vector<int> alignHStack;
    std::vector<kernel::SmartPtr<graphics::BitmapFont>> fontStack;
    std::vector<kernel::SmartPtr<Sprite>> images;
    std::vector<int> tabStops;
    kernel::SmartPtr<graphics::BitmapFont> font;
    int penX = 0;
    int lineY = 0;
    int lineHeight = 0;
    int alignV = AlignTop;
    int alignH = Label::AlignLeft;
    int wrapStyle = Label::WrapNone;
    bool autoFit = false;
    kernel::WideString text;
    // The text being parsed: the parse removes the backslashes of escaped brackets from this copy only,
    // so laying the same text out again gives the same result.
    kernel::WideString scanText;
    std::vector<kernel::SmartPtr<TextLine>> lines;
    std::size_t scanPos = 0;
    std::size_t runStart = 0;
    int nextLineHeight = 0;
    int lineRight = 0;
    kernel::SmartPtr<TextLine> currentLine;
};

} // namespace ui
