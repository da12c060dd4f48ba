// The album's highscore page built from its declaration with the generated fonts: each column is a markup
// label of ten lines, which lays every line's letters whole over the line above, so its font's lines are as
// tall as its letters' pictures (or a line cuts off the descenders above it); the ten lines fit the
// columns, the columns stand side by side on the page with the widest rank, level and score the page
// writes, and the button stays below them on the page.
#include "BuiltArt.h"

#if PIBBLES_CONTENT_WITH_GAME

#include "engine/graphics/BitmapFont.h"
#include "engine/graphics/ImageBase.h"
#include "engine/ui/StyleLabel.h"
#include "game/foundation/GameIds.h"
#include "game/foundation/GameUtilities.h"

#include <string>
#include <vector>

namespace content {
namespace {

namespace ids = game::ids;

constexpr int rows = 10;

struct Column {
    const char* name;
    // The widest text the column shows.
    kernel::WideString widest;
};

class AlbumHighscoresLayout : public BuiltArt {};

TEST_F(AlbumHighscoresLayout, TenRowsOfEveryColumnFitWithoutCuttingTheLettersAbove) {
    ui::Dialog* page = build(ids::dialogHighscores);
    ASSERT_NE(page, nullptr);
    const std::vector<Column> columns = {{ids::labelContentRank, u"10."},
                                         {ids::labelContentName, u"-"},
                                         {ids::labelContentLevel, u"10.7"},
                                         {ids::labelContentScore, game::groupDigits(1234567)}};
    std::vector<Box> boxes;
    for (const Column& column : columns) {
        SCOPED_TRACE(column.name);
        auto* label = page->findComponentAs<ui::StyleLabel>(column.name);
        ASSERT_NE(label, nullptr);
        const graphics::BitmapFont* font = label->getFont();
        ASSERT_TRUE(font != nullptr && font->getImage() != nullptr);
        EXPECT_GE(font->lineHeight(), font->charsetHeight()) << "lines lower than the letters";
        EXPECT_LE(rows * font->lineHeight(), label->getHeight()) << "ten lines do not fit";
        EXPECT_LE(font->textWidth(column.widest), label->getWidth()) << "the widest text is cut";
        const Box box = drawnBox(*label);
        EXPECT_TRUE(box.x >= 0 && box.x + box.w <= page->getWidth() && box.y >= 0 &&
                    box.y + box.h <= page->getHeight())
            << box.described() << " leaves the page";
        for (const Box& other : boxes) {
            EXPECT_FALSE(box.overlaps(other)) << box.described() << " overlaps " << other.described();
        }
        boxes.push_back(box);
    }
    auto* clear = page->findComponentAs<ui::Sprite>(ids::buttonClear);
    ASSERT_NE(clear, nullptr);
    const Box button = drawnBox(*clear);
    EXPECT_LE(button.y + button.h, page->getHeight()) << button.described() << " leaves the page";
    for (const Box& column : boxes) {
        EXPECT_GE(button.y, column.y + column.h) << button.described() << " over " << column.described();
    }
}

} // namespace
} // namespace content

#endif
