// The album's highscore page built from its declaration with the generated fonts: each column is a markup
// label of ten lines, which lays every line's letters whole over the line above, so its font's lines are as
// tall as its letters' pictures (or a line cuts off the descenders above it); the ten lines fit the
// columns, the columns stand side by side on the page with the widest rank, level and score the page
// writes, and the button stays below them on the page. The new entry's row is drawn red, in the same
// place and size as the others.
#include "BuiltArt.h"

#if PIBBLES_CONTENT_WITH_GAME

#include "engine/graphics/BitmapFont.h"
#include "engine/graphics/ImageBase.h"
#include "engine/graphics/ImageFactory.h"
#include "engine/graphics/ImagePainter.h"
#include "engine/graphics/MemoryImage32.h"
#include "engine/ui/StyleLabel.h"
#include "game/foundation/GameIds.h"
#include "game/foundation/GameUtilities.h"
#include "game/frontend/DialogHighscores.h"

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

// The letters' colour in one line of a column: how far the red of the reddest pixel painted there stands
// above its green and blue, and how many pixels were painted.
struct LineColour {
    int redLead = -255;
    int painted = 0;
};

LineColour lineColour(const graphics::MemoryImage32& page, const Box& column, int top, int height) {
    LineColour found;
    for (int y = std::max(top, 0); y < std::min(top + height, page.getHeight()); ++y) {
        for (int x = std::max(column.x, 0); x < std::min(column.x + column.w, page.getWidth()); ++x) {
            const std::uint32_t pixel = page.pixels32()[page.pixelIndex(x, y)];
            // Drawn on a blank picture, the letters leave their colours and no alpha.
            if ((pixel & 0xFFFFFFu) == 0) {
                continue;
            }
            const int red = static_cast<int>((pixel >> 16) & 0xFF);
            const int green = static_cast<int>((pixel >> 8) & 0xFF);
            const int blue = static_cast<int>(pixel & 0xFF);
            found.redLead = std::max(found.redLead, red - std::max(green, blue));
            ++found.painted;
        }
    }
    return found;
}

TEST_F(AlbumHighscoresLayout, TheNewEntrysRowIsRedAndKeepsItsLine) {
    ui::Dialog* page = build(ids::dialogHighscores);
    ASSERT_NE(page, nullptr);
    auto* label = page->findComponentAs<ui::StyleLabel>(ids::labelContentScore);
    ASSERT_NE(label, nullptr);
    const graphics::BitmapFont* font = label->getFont();
    ASSERT_NE(font, nullptr);
    const kernel::WideString score = game::groupDigits(1234567);
    label->setText(score + u" \n" + game::DialogHighscores::highlighted(score) + u" \n" + score + u" \n");
    const kernel::SmartPtr<graphics::MemoryImage32> picture =
        graphics::createImage32(page->getWidth(), page->getHeight());
    ASSERT_TRUE(picture);
    page->setPosition(0, 0);
    const kernel::SmartPtr<graphics::ImagePainter> painter = picture->createPainter();
    page->paintTree(*painter);
    const Box column = drawnBox(*label);
    const int line = font->lineHeight();
    const LineColour plain = lineColour(*picture, column, column.y, line);
    const LineColour lit = lineColour(*picture, column, column.y + line, line);
    const LineColour after = lineColour(*picture, column, column.y + 2 * line, line);
    EXPECT_GT(plain.painted, 0);
    EXPECT_LT(plain.redLead, 60) << "the table's letters are not red";
    EXPECT_GT(lit.redLead, 100) << "the highlighted row is not red";
    EXPECT_LT(after.redLead, 60) << "the highlight runs on past its row";
    // The same letters in the same place: as many pixels painted, give or take the anti-aliasing.
    EXPECT_NEAR(lit.painted, plain.painted, plain.painted / 5);
}

} // namespace
} // namespace content

#endif
