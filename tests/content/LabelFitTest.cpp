// Every label given the widest text it can show, measured with the fonts the build generated: the play
// scenes' score of millions and a chapter's level beside their captions on their panels, the statistics'
// largest counts beside theirs, a highscore name of twelve of the widest letters in its column, and every
// album page's letters clear of the ribbon that hangs over the right page.
#include "BuiltArt.h"

#if PIBBLES_CONTENT_WITH_GAME

#include "engine/graphics/BitmapFont.h"
#include "engine/kernel/PropertyStore.h"
#include "engine/ui/Scene.h"
#include "engine/ui/StyleLabel.h"
#include "engine/ui/TextLine.h"
#include "game/foundation/GameIds.h"
#include "game/foundation/GameUtilities.h"

#include <limits>
#include <string>
#include <vector>

namespace content {
namespace {

namespace ids = game::ids;
using kernel::WideString;

// The least room between a caption and its value, so that the two never read as one word.
constexpr int captionGap = 6;

class LabelFit : public BuiltArt {
protected:
    // Where the label is painted once it shows the text.
    static Box showing(ui::Dialog& dialog, const char* name, const WideString& text) {
        auto* label = dialog.findComponentAs<ui::Label>(name);
        EXPECT_NE(label, nullptr) << name;
        if (label == nullptr) {
            return {};
        }
        label->setText(text);
        return paintedBox(*label);
    }
    static Box part(ui::Dialog& dialog, const char* name) {
        auto* sprite = dialog.findComponentAs<ui::Sprite>(name);
        EXPECT_NE(sprite, nullptr) << name;
        return sprite != nullptr ? drawnBox(*sprite) : Box{};
    }
    // The caption, then its value in the widest form it takes, on one line and apart.
    static void expectBeside(ui::Dialog& dialog, const char* caption, const char* value,
                             const WideString& text, const Box& area) {
        auto* captionLabel = dialog.findComponentAs<ui::Label>(caption);
        ASSERT_NE(captionLabel, nullptr) << caption;
        const Box left = paintedBox(*captionLabel);
        const Box right = showing(dialog, value, text);
        EXPECT_LE(left.x + left.w + captionGap, right.x)
            << kernel::narrowString(captionLabel->getText()) << " " << left.described() << " runs into "
            << kernel::narrowString(text) << " " << right.described();
        EXPECT_TRUE(inside(left, area) && inside(right, area))
            << left.described() << " and " << right.described() << " outside " << area.described();
    }
};

TEST_F(LabelFit, TheTopBarsScoreAndLevelFitBesideTheirCaptionsOnTheirPanels) {
    const WideString widestScore = game::groupDigits(9999999);
    for (const char* name : ids::playScenes) {
        SCOPED_TRACE(name);
        ui::Dialog* scene = build(name);
        ASSERT_TRUE(scene != nullptr && scene->isKindOf(ui::Scene::classInfo));
        scene->setPosition(0, 0);
        // The captions and values are made at the first entry.
        static_cast<ui::Scene*>(scene)->load();
        const Box scorePanel = part(*scene, "SPRITE_SCORE_PANEL");
        const Box levelPanel = part(*scene, "SPRITE_LEVEL_PANEL");
        expectBeside(*scene, "LABEL_SCORE_CAPTION", ids::labelScoreValue, widestScore, scorePanel);
        // A chapter's level in VIB, a level of hundreds in the other modes.
        for (const WideString& level : {WideString(u"10.7"), WideString(u"999")}) {
            expectBeside(*scene, "LABEL_LEVEL_CAPTION", ids::labelLevelValue, level, levelPanel);
        }
        std::vector<Box> bar = {scorePanel, levelPanel};
        for (const char* button : {ids::buttonHint, ids::buttonPause, ids::buttonMenu}) {
            const Box box = part(*scene, button);
            for (const Box& other : bar) {
                EXPECT_FALSE(box.overlaps(other))
                    << button << " " << box.described() << " over " << other.described();
            }
            EXPECT_FALSE(box.overlaps(fullScreenButtons)) << button << " under the full-screen buttons";
            bar.push_back(box);
        }
        EXPECT_FALSE(scorePanel.overlaps(levelPanel));
    }
}

TEST_F(LabelFit, EveryStatisticFitsBesideItsCaptionAtItsLargest) {
    ui::Dialog* page = build(ids::dialogStatistics);
    ASSERT_NE(page, nullptr);
    const Box area{0, 0, page->getWidth(), page->getHeight()};
    const WideString count = game::intToWideString(std::numeric_limits<std::int32_t>::max());
    const WideString outOf = u"999 / 999";
    const WideString largest[] = {
        u"100 " + kernel::PropertyStore::getText(ids::textStatisticsPercent),
        count,
        count,
        count,
        count,
        kernel::widenString(game::formatIntegers(game::propertyString(ids::hourMinuteFormat), {999, 59})),
        count,
        outOf,
        outOf};
    static_assert(std::size(largest) == std::size(ids::statisticsValues));
    for (std::size_t line = 0; line < std::size(largest); ++line) {
        SCOPED_TRACE(ids::statisticsValues[line]);
        expectBeside(*page, ids::statisticsCaptions[line], ids::statisticsValues[line], largest[line], area);
    }
}

// The page cuts a name with "..." only where it does not fit its column with the blank that ends each row,
// and the column's markup sets each word apart; a name as long as the field takes, of its widest letters,
// fits whole, in one word or in several.
TEST_F(LabelFit, AHighscoreNameOfTwelveOfTheWidestLettersShowsWhole) {
    ui::Dialog* page = build(ids::dialogHighscores);
    ASSERT_NE(page, nullptr);
    auto* column = page->findComponentAs<ui::StyleLabel>(ids::labelContentName);
    ASSERT_NE(column, nullptr);
    const graphics::BitmapFont* font = column->getFont();
    ASSERT_NE(font, nullptr);
    char16_t widest = u'A';
    for (const char16_t letter :
         std::u16string(u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_.!'+")) {
        widest = font->textWidth(std::u16string(1, letter)) > font->textWidth(std::u16string(1, widest))
                     ? letter
                     : widest;
    }
    const int length = component(ids::dialogProfileCreate, ids::inputLabelName).getValue("maxlength").asInt();
    ASSERT_GE(length, 12);
    const WideString letters(static_cast<std::size_t>(length), widest);
    WideString twoWords = letters;
    twoWords[static_cast<std::size_t>(length / 2)] = u' ';
    WideString everyOther = letters;
    for (std::size_t blank = 1; blank < everyOther.size(); blank += 2) {
        everyOther[blank] = u' ';
    }
    for (const WideString& name : {letters, twoWords, everyOther}) {
        SCOPED_TRACE(kernel::narrowString(name));
        EXPECT_LE(font->textWidth(name + u" "), column->getWidth());
        column->setText(name + u" \n");
        ASSERT_FALSE(column->getLines().empty());
        WideString shown;
        for (const auto& piece : column->getLines().front()->pieces) {
            shown += piece->getText();
        }
        WideString words = name;
        std::erase(words, u' ');
        EXPECT_EQ(shown, words) << "the column shows " << kernel::narrowString(shown);
    }
}

// The ribbon hangs over the top of the right page; the pages' titles, every collectable's name among them,
// and whatever else they write keep clear of it, and each title stays on its page.
TEST_F(LabelFit, TheRibbonLeavesEveryPagesLettersClear) {
    ui::Dialog* album = build(ids::dialogAlbum);
    ASSERT_NE(album, nullptr);
    album->setPosition(0, 0);
    const Box ribbon = part(*album, ids::spriteBookmarker);
    const Box ribbonButton = part(*album, ids::buttonBookmarker);
    struct Page {
        const char* dialog;
        const char* title;
        // The texts the page gives its title; none keeps the declared one.
        std::vector<WideString> titles;
    };
    std::vector<WideString> modes;
    for (const char* mode : {ids::textGameModeVib, ids::textGameModeAction, ids::textGameModeRelax}) {
        modes.push_back(kernel::PropertyStore::getText(mode));
    }
    const std::vector<Page> pages = {
        {ids::dialogToc, "LABEL_TITLE", {}},
        {ids::dialogStatistics, "LABEL_TITLE", {}},
        {ids::dialogHighscores, ids::labelMode, modes},
        {ids::dialogCollectables, ids::labelHeader, settings->texts(ids::collectableNames)}};
    for (const Page& one : pages) {
        ui::Dialog* page = build(one.dialog);
        ASSERT_NE(page, nullptr);
        const kernel::NodeValue& declared = declaration(one.dialog);
        const int pageX = declared.getValue("x").asInt();
        const int pageY = declared.getValue("y").asInt();
        auto* title = page->findComponentAs<ui::Label>(one.title);
        ASSERT_NE(title, nullptr) << one.dialog;
        for (const WideString& text :
             one.titles.empty() ? std::vector<WideString>{title->getText()} : one.titles) {
            title->setText(text);
            const Box titleBox = paintedBox(*title);
            EXPECT_TRUE(titleBox.x >= 0 && titleBox.x + titleBox.w <= page->getWidth())
                << one.dialog << " \"" << kernel::narrowString(text) << "\" " << titleBox.described()
                << " off the page";
            for (ui::GameNode* node = page->getContentNode()->getFirstChild(); node != nullptr;
                 node = node->getNextSibling()) {
                if (!node->isKindOf(ui::Label::classInfo) || !node->isVisible()) {
                    continue;
                }
                const Box box = paintedBox(static_cast<const ui::Label&>(*node));
                const Box inAlbum{pageX + box.x, pageY + box.y, box.w, box.h};
                EXPECT_FALSE(inAlbum.overlaps(ribbon) || inAlbum.overlaps(ribbonButton))
                    << one.dialog << " " << node->getName() << " \""
                    << kernel::narrowString(static_cast<ui::Label*>(node)->getText()) << "\" "
                    << inAlbum.described() << " under the ribbon";
            }
        }
    }
}

} // namespace
} // namespace content

#endif
