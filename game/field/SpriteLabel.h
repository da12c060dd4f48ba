#pragma once

#include "engine/kernel/SmartPtr.h"
#include "engine/ui/Label.h"

#include <vector>

namespace kernel {
class NodeValue;
class Value;
} // namespace kernel

namespace game {

// A label whose text is drawn as one child sprite per character, so each letter can move, fade or scale
// on its own. It draws nothing itself: its letters, being children, are drawn by the scene's renderer.
// Changing the text or the font only marks the letters for rebuilding at the next paint.
class SpriteLabel : public ui::Label {
public:
    // The label's keys.
    explicit SpriteLabel(kernel::NodeValue& settings);
    ~SpriteLabel() override;

    void paint(graphics::ImagePainter& painter) override;
    void setText(const kernel::WideString& value) override;
    void setFont(graphics::BitmapFont* value) override;

    // One sprite per drawn character, line by line in text order.
    const std::vector<kernel::SmartPtr<ui::Sprite>>& glyphs() const { return letters; }
    void clearGlyphs();
    // Builds the letters now (the next paint keeps them): each at its pen position as the font would draw
    // the line, in the label's colour; blanks advance the pen, characters without a glyph are skipped.
    void layoutGlyphs();
    bool needsLayout() const { return layoutPending; }

    static kernel::Object* createInstance(kernel::Value& settings);

    static constexpr kernel::ClassInfo classInfo{&ui::Label::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    void layoutLine(const kernel::WideString& line, int penX, int penY);
    kernel::SmartPtr<ui::Sprite> letterSprite(char16_t character, int x, int y);

    std::vector<kernel::SmartPtr<ui::Sprite>> letters;
    bool layoutPending = true;
};

} // namespace game
