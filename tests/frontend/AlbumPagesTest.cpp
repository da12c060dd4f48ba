// The album's right-hand pages: the contents, a mode's highscores, the statistics, a collectable and a
// credits page, built from their declarations in a scene, with the real album, profile and score tables.
#include "game/frontend/DialogCollectables.h"
#include "game/frontend/DialogCredits.h"
#include "game/frontend/DialogHighscores.h"
#include "game/frontend/DialogStatistics.h"
#include "game/frontend/DialogTOC.h"

#include "engine/graphics/BitmapFont.h"
#include "engine/kernel/ObjectFactory.h"
#include "engine/kernel/ScalarValue.h"
#include "engine/kernel/ValueDocument.h"
#include "engine/kernel/VectorValue.h"
#include "engine/platform/Application.h"
#include "engine/platform/HighScoreManager.h"
#include "engine/platform/PlayerManager.h"
#include "engine/ui/Button.h"
#include "engine/ui/DelayModifier.h"
#include "engine/ui/Label.h"
#include "engine/ui/StyleLabel.h"
#include "game/field/SpriteLabel.h"
#include "game/foundation/GameGlobals.h"
#include "game/foundation/GameUtilities.h"
#include "game/foundation/PibbleHighscoreEntry.h"
#include "game/foundation/PibblePlayer.h"
#include "game/frontend/AlbumPictures.h"
#include "game/frontend/DialogAlbum.h"
#include "game/frontend/PageTurner.h"
#include "host/Window.h"

#include "EncodedImages.h"
#include "FrontendWorld.h"
#include "RuntimeDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

namespace {

using frontendtest::FrontendWorld;
using game::AlbumPictures;
using game::DialogPibble;

// The test font has letters and "." only, 4 pixels a glyph and 8 high: labels of one line lie 20 apart.
const char* const declarations = R"(<dialogs><Node id="dialogs">
  <DialogAlbum id="DIALOG_ALBUM" width="560" height="420"/>
  <DialogTOC id="DIALOG_TOC" x="300" y="55" width="200" height="310"><Vector id="components">
    <Label name="LABEL_STATISTICS" y="20" font="FONT_OOGIEBOOGIE_20" section="preloading" text="Statistics"/>
    <Label name="LABEL_STATISTICS_OVER" y="20" font="FONT_OOGIEBOOGIE_20" section="preloading" text="STATISTICS"/>
    <Label name="LABEL_HIGHSCORES" y="40" font="FONT_OOGIEBOOGIE_20" section="preloading" text="Highscores"/>
    <Label name="LABEL_VIB" x="16" y="60" font="FONT_OOGIEBOOGIE_20" section="preloading" text="VIB"/>
    <Label name="LABEL_VIB_OVER" x="16" y="60" font="FONT_OOGIEBOOGIE_20" section="preloading" text="VIBS"/>
    <Label name="LABEL_ACTION" x="16" y="80" font="FONT_OOGIEBOOGIE_20" section="preloading" text="Action"/>
    <Label name="LABEL_ACTION_OVER" x="16" y="80" font="FONT_OOGIEBOOGIE_20" section="preloading" text="ACTION"/>
    <Label name="LABEL_RELAX" x="16" y="100" font="FONT_OOGIEBOOGIE_20" section="preloading" text="Relax"/>
    <Label name="LABEL_RELAX_OVER" x="16" y="100" font="FONT_OOGIEBOOGIE_20" section="preloading" text="RELAX"/>
    <Label name="LABEL_COLLECTABLES" y="120" font="FONT_OOGIEBOOGIE_20" section="preloading" text="Photos"/>
    <Label name="LABEL_COLLECTABLES_OVER" y="120" font="FONT_OOGIEBOOGIE_20" section="preloading" text="PHOTOS"/>
    <Sprite name="SPRITE_BOOKMARKER" x="160" y="240" width="36" height="64"/>
  </Vector></DialogTOC>
  <DialogHighscores id="DIALOG_HIGHSCORES" x="300" y="55" width="200" height="310"><Vector id="components">
    <Label name="LABEL_MODE" font="FONT_OOGIEBOOGIE_20" section="preloading"/>
    <StyleLabel name="LABEL_CONTENT_RANK" y="40" width="26" height="100" font="FONT_OOGIEBOOGIE_20" section="preloading"/>
    <StyleLabel name="LABEL_CONTENT_NAME" x="30" y="40" width="72" height="100" font="FONT_OOGIEBOOGIE_20" section="preloading"/>
    <StyleLabel name="LABEL_CONTENT_LEVEL" x="104" y="40" width="34" height="100" font="FONT_OOGIEBOOGIE_20" section="preloading"/>
    <StyleLabel name="LABEL_CONTENT_SCORE" x="140" y="40" width="60" height="100" font="FONT_OOGIEBOOGIE_20" section="preloading"/>
    <Button name="BUTTON_CLEAR" x="40" y="252" width="120" height="40"/>
  </Vector></DialogHighscores>
  <DialogStatistics id="DIALOG_STATISTICS" x="300" y="55" width="200" height="310"><Vector id="components">
    <Label name="LABEL_COMPLETED_VAL"/><Label name="LABEL_REMOVED_VAL"/><Label name="LABEL_MATCH5_VAL"/>
    <Label name="LABEL_MATCH6_VAL"/><Label name="LABEL_MATCH7_VAL"/><Label name="LABEL_PLAYTIME_VAL"/>
    <Label name="LABEL_COMBOS_VAL"/><Label name="LABEL_LEVELS_VAL"/><Label name="LABEL_POLAROIDS_VAL"/>
  </Vector></DialogStatistics>
  <DialogCollectables id="DIALOG_COLLECTABLES" x="300" y="55" width="200" height="310"><Vector id="components">
    <Label name="LABEL_HDR" font="FONT_OOGIEBOOGIE_20" section="preloading"/>
    <Sprite name="COLLECTABLE_POLAROID" x="25" y="28" width="150" height="170"/>
    <Sprite name="SPRITE_CHECK" x="152" y="20" width="32" height="32" tooltip="TOOLTIP_CHECK"/>
    <Label name="LABEL_DESCR" y="204" font="FONT_OOGIEBOOGIE_20" section="preloading"/>
    <Label name="LABEL_DATETIME" y="284" font="FONT_OOGIEBOOGIE_20" section="preloading"/>
    <Label name="LABEL_CONDITION" y="204" font="FONT_OOGIEBOOGIE_20" section="preloading"/>
  </Vector></DialogCollectables>
  <DialogCredits id="DIALOG_CREDITS" x="300" y="55" width="200" height="310"><Vector id="components">
    <SpriteLabel name="LABEL_HDR" font="FONT_OOGIEBOOGIE_20" section="preloading"/>
    <SpriteLabel name="LABEL_INFO" y="40" font="FONT_OOGIEBOOGIE_20" section="preloading"/>
  </Vector></DialogCredits>
  <DialogPibble id="DIALOG_MESSAGE" width="200" height="100"><Vector id="components">
    <Label name="HEADER" font="FONT_OOGIEBOOGIE_20" section="preloading"/>
    <Label name="MESSAGE" y="30" font="FONT_OOGIEBOOGIE_20" section="preloading"/>
    <Button name="BUTTON_OK" x="80" y="60" width="40" height="20"/></Vector></DialogPibble>
  <DialogPibble id="DIALOG_YESNO" width="200" height="80"><Vector id="components">
    <Label name="HEADER" font="FONT_OOGIEBOOGIE_20" section="preloading"/>
    <Label name="MESSAGE" y="30" font="FONT_OOGIEBOOGIE_20" section="preloading"/>
    <Button name="BUTTON_YES" x="20" y="40" width="40" height="20"/>
    <Button name="BUTTON_NO" x="120" y="40" width="40" height="20"/></Vector></DialogPibble>
</Node></dialogs>)";

// The start-up's settings as the game reads them. The lists stop at collectable 9 and 12.
const char* const settings = R"(<Settings>
  <String id="CFG_HIGHSCORE_HILITE_COLOR" value="#C8281E"/>
  <String id="STRING_GROUPING_DIGIT" value=","/>
  <String id="STRING_HOURMIN_FORMAT" value="%d h %d min"/>
  <String id="STRING_DATETIME_FORMAT" value="%d %b %Y, %H:%M"/>
  <Text id="TEXT_GAMEMODE_VIB" value="VIB"/><Text id="TEXT_GAMEMODE_ACTION" value="Action"/>
  <Text id="TEXT_GAMEMODE_RELAX" value="Relax"/><Text id="TEXT_STATISTICS_PERC" value="%"/>
  <Text id="TEXT_HIGHSCORE_HDR" value="Hooray"/><Text id="TEXT_HIGHSCORE_TXT" value="New"/>
  <Text id="TEXT_CLEARHIGHSCORES_HDR" value="Clear"/><Text id="TEXT_CLEARHIGHSCORES_TXT" value="Sure"/>
  <Text id="TOOLTIP_CHECK" value="Waiting"/>
  <Vector id="NAME_COLLECTABLES"><Text value="-"/><Text value="a"/><Text value="b"/><Text value="c"/>
    <Text value="d"/><Text value="e"/><Text value="f"/><Text value="Sunny"/><Text value="Pearl"/>
    <Text value="Rosie"/><Text value="Cotton"/><Node id="notatext"/><Text value="Clover"/></Vector>
  <Vector id="DESCRIPTION_COLLECTABLES"><Text value="-"/><Text value="a"/><Text value="b"/><Text value="c"/>
    <Text value="d"/><Text value="e"/><Text value="f"/><Text value="Waves"/><Text value="Shines"/>
    <Text value="Blooms"/></Vector>
  <Vector id="CONDITION_COLLECTABLES"><Text value="-"/><Text value="a"/><Text value="b"/><Text value="c"/>
    <Text value="d"/><Text value="e"/><Text value="f"/><Text value="Remove fifty"/><Text value="Match five"/>
    <Text value="Match six"/></Vector>
</Settings>)";

const std::u16string lit = u"[font=FONT_SCORES_10_HILITE,preloading][color=#C8281E]";
const std::u16string unlit = u"[/color][/font]";

struct Row {
    const char* name;
    int score;
    const char* level;
};

class AlbumPagesTest : public ::testing::Test {
protected:
    void SetUp() override {
        world.startIn("SOURCE");
        const std::string path = write("settings.xml", settings);
        const kernel::SmartPtr<kernel::ValueDocument> document = new kernel::ValueDocument(path);
        document->load();
        kernel::ObjectFactory::instance()->createChildren(*document);
        document->clearAll();
        writeAlbumResources();
        AlbumPictures::create();
        platform::HighScoreManager::create();
        platform::PlayerManager::create()->addPlayer(new game::PibblePlayer("Ann"));
    }
    void TearDown() override {
        platform::PlayerManager::destroy();
        platform::HighScoreManager::destroy();
        AlbumPictures::destroy();
    }

    static std::string write(const std::string& path, const std::string& text) {
        std::ofstream(path) << text;
        return path;
    }
    // The title font for the first credits page (a copy of the test font, so another resource) and one
    // photograph, 15 x 17.
    static void writeAlbumResources() {
        std::filesystem::copy_file("font.png", "title.png");
        std::filesystem::copy_file("font.xml", "title.xml");
        testsupport::PngPicture photo;
        photo.width = 15;
        photo.height = 17;
        photo.samples.assign(15 * 17, 200);
        write("photo.png", testsupport::encodePng(photo));
        kernel::ResourceManager* resources = kernel::ResourceManager::instance();
        resources->addDefinitionPath(write("album.xml", R"(<Resources><Vector id="Sections">
          <Node name="preloading" auto="false"><Font id="FONT_OOGIEBOOGIE_20" mask="font.png" format="font.xml"/>
            <Font id="FONT_OOGIEBOOGIE_24" mask="title.png" format="title.xml"/></Node>
          <Node name="albumpictures" auto="false"><Image id="PIBBLE_COLLECTABLE_PICTURE_7" file="photo.png"/></Node>
          </Vector></Resources>)"));
        resources->loadDefinitions();
    }

    static game::PibblePlayer& player() { return *game::currentPlayer(); }
    ui::Scene& scene() const { return *world.source; }
    void run(int ms, int step = 50) {
        for (int done = 0; done < ms; done += step) {
            world.frame(static_cast<std::uint32_t>(step));
        }
    }
    template <class Page> Page* open(const char* name) {
        ui::Dialog* made = DialogPibble::openDialog(name);
        EXPECT_TRUE(made != nullptr && made->isKindOf(Page::classInfo)) << name;
        return static_cast<Page*>(made);
    }
    template <class Kind> static Kind& part(ui::Dialog& page, const char* name) {
        ui::GameNode* found = page.findComponent(name);
        EXPECT_TRUE(found != nullptr && found->isKindOf(Kind::classInfo)) << name;
        return *static_cast<Kind*>(found);
    }
    static void press(ui::Dialog& dialog, const char* name) {
        auto& button = part<ui::Button>(dialog, name);
        button.invoke(&button);
    }
    static void setTable(const char* name, const std::vector<Row>& rows, int maxEntries = 20) {
        const kernel::SmartPtr<platform::ScoreTable> table(new platform::ScoreTable(maxEntries, true));
        for (const Row& row : rows) {
            table->addScore(new game::PibbleHighscoreEntry(row.name, row.score, row.level));
        }
        platform::HighScoreManager::instance()->addTable(name, table);
    }

    FrontendWorld world{declarations};
};

std::vector<std::u16string> linesOf(const std::u16string& column) {
    std::vector<std::u16string> lines;
    for (std::size_t start = 0; start < column.size();) {
        const std::size_t end = column.find(u'\n', start);
        lines.push_back(column.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

// ---- The contents ----------------------------------------------------------------------------------

class ContentsTest : public AlbumPagesTest {
protected:
    void SetUp() override {
        AlbumPagesTest::SetUp();
        app = platform::Application::create("album pages test", 640, 480, false, 0, 101);
        AlbumPictures::instance()->openAtContents();
    }
    void TearDown() override {
        platform::closeApplicationDisplay();
        platform::Application::destroy();
        AlbumPagesTest::TearDown();
    }
    static game::DialogAlbum& album() { return *AlbumPictures::instance()->albumDialog(); }
    game::DialogTOC& contents() {
        game::DialogAlbumPage* page = album().getPageDialog();
        EXPECT_TRUE(page != nullptr && page->isKindOf(game::DialogTOC::classInfo));
        return *static_cast<game::DialogTOC*>(page);
    }
    // A point 200 pixels into the entry, beyond the end of its text.
    void pointAt(const char* entry, int& x, int& y) {
        const ui::GameNode& label = part<ui::Label>(contents(), entry);
        x = label.getAbsoluteX() + 200;
        y = label.getAbsoluteY() + 2;
    }
    bool hovered(const char* entry, const char* over) {
        return part<ui::Label>(contents(), over).isVisible() &&
               !part<ui::Label>(contents(), entry).isVisible();
    }
    static host::HCURSOR cursor(std::uintptr_t id) {
        return host::LoadCursor(nullptr, host::MAKEINTRESOURCE(id));
    }

    platform::Application* app = nullptr;
};

struct EntryCase {
    const char* label;
    const char* over;
    int page;
};
const EntryCase entries[] = {{"LABEL_STATISTICS", "LABEL_STATISTICS_OVER", 1},
                             {"LABEL_VIB", "LABEL_VIB_OVER", 2},
                             {"LABEL_ACTION", "LABEL_ACTION_OVER", 3},
                             {"LABEL_RELAX", "LABEL_RELAX_OVER", 4},
                             {"LABEL_COLLECTABLES", "LABEL_COLLECTABLES_OVER", 5}};

TEST_F(ContentsTest, AnEntryIsHighlightedWithTheHandOnlyWhileThePointerIsOnIt) {
    int x = 0;
    int y = 0;
    // Before the album is ready the entries take no notice of the pointer.
    pointAt("LABEL_VIB", x, y);
    contents().onMouseMove(x, y, 0);
    EXPECT_FALSE(hovered("LABEL_VIB", "LABEL_VIB_OVER"));
    EXPECT_FALSE(contents().onLeftButtonDown(x, y, 0, false));
    run(1500);
    ASSERT_EQ(album().getState(), game::DialogAlbum::idle);
    for (const EntryCase& entry : entries) {
        SCOPED_TRACE(entry.label);
        EXPECT_FALSE(hovered(entry.label, entry.over));
        pointAt(entry.label, x, y);
        contents().onMouseMove(x, y, 0);
        EXPECT_TRUE(hovered(entry.label, entry.over));
        EXPECT_EQ(app->getCursor(), cursor(host::IDC_HAND));
        for (const EntryCase& other : entries) {
            EXPECT_EQ(hovered(other.label, other.over), &other == &entry) << other.label;
        }
        contents().onMouseMove(x + 60, y, 0);
        EXPECT_FALSE(hovered(entry.label, entry.over));
        EXPECT_EQ(app->getCursor(), cursor(host::IDC_ARROW));
    }
    // The heading is no entry.
    const ui::GameNode& heading = part<ui::Label>(contents(), "LABEL_HIGHSCORES");
    contents().onMouseMove(heading.getAbsoluteX() + 1, heading.getAbsoluteY() + 1, 0);
    EXPECT_EQ(app->getCursor(), cursor(host::IDC_ARROW));
    EXPECT_FALSE(
        contents().onLeftButtonDown(heading.getAbsoluteX() + 1, heading.getAbsoluteY() + 1, 0, false));
}

TEST_F(ContentsTest, PressingAnEntryTurnsTheAlbumToItsPageAndGivesTheArrowBack) {
    run(1500);
    int x = 0;
    int y = 0;
    pointAt("LABEL_COLLECTABLES", x, y);
    contents().onMouseMove(x, y, 0);
    ASSERT_TRUE(contents().onLeftButtonDown(x, y, 0, false));
    EXPECT_EQ(album().getPage(), 5);
    EXPECT_EQ(album().getState(), game::DialogAlbum::leaving);
    EXPECT_EQ(app->getCursor(), cursor(host::IDC_ARROW));
    // The page's slot holds the arrow again, so a later request of the book is not overruled by a hand.
    AlbumPictures::instance()->setCursorRequest(2, 0);
    EXPECT_EQ(app->getCursor(), cursor(host::IDC_ARROW));
    // Once the contents have faded, one sheet turns per page.
    run(300);
    int sheets = 0;
    for (const game::PageTurner* sheet = album().getFirstTurner(); sheet != nullptr;
         sheet = sheet->getNext()) {
        ++sheets;
    }
    EXPECT_EQ(sheets, 5);
    EXPECT_EQ(album().getState(), game::DialogAlbum::turning);
}

TEST_F(ContentsTest, EachEntryOpensItsOwnPage) {
    run(1500);
    for (const EntryCase& entry : entries) {
        SCOPED_TRACE(entry.label);
        album().setPage(0);
        int x = 0;
        int y = 0;
        pointAt(entry.label, x, y);
        ASSERT_TRUE(contents().onLeftButtonDown(x, y, 0, false));
        EXPECT_EQ(album().getPage(), entry.page);
        EXPECT_EQ(album().getTurnDistance(), entry.page);
        // The turn is under way: a second press on the page being left is not taken.
        EXPECT_FALSE(contents().onLeftButtonDown(x, y, 0, false));
        // Back at rest, as if the contents had come up again.
        album().onPageShown();
    }
}

// ---- Highscores ------------------------------------------------------------------------------------

class HighscoresTest : public AlbumPagesTest {
protected:
    game::DialogHighscores& fill(int mode, int highlight) {
        game::DialogHighscores& page = *open<game::DialogHighscores>("DIALOG_HIGHSCORES");
        page.setMode(mode);
        page.setHighlight(highlight);
        page.fill();
        return page;
    }
    static std::u16string column(game::DialogHighscores& page, const char* name) {
        return part<ui::StyleLabel>(page, name).getText();
    }
    static std::vector<Row> scores(int count) {
        std::vector<Row> rows;
        for (int i = 0; i < count; ++i) {
            rows.push_back({"Ann", 1000 - i, "2"});
        }
        return rows;
    }
};

const char* const columns[] = {"LABEL_CONTENT_RANK", "LABEL_CONTENT_NAME", "LABEL_CONTENT_LEVEL",
                               "LABEL_CONTENT_SCORE"};

TEST_F(HighscoresTest, ShowsUpToTenRowsOfTheModesTable) {
    struct Case {
        int entries;
        std::size_t shown;
    };
    for (const Case row : {Case{0, 0}, Case{4, 4}, Case{10, 10}, Case{12, 10}}) {
        SCOPED_TRACE(row.entries);
        setTable("RELAX", scores(row.entries));
        game::DialogHighscores& page = fill(2, -1);
        EXPECT_EQ(part<ui::Label>(page, "LABEL_MODE").getText(), u"Relax");
        for (const char* name : columns) {
            EXPECT_EQ(linesOf(column(page, name)).size(), row.shown) << name;
        }
        if (row.shown > 0) {
            EXPECT_EQ(linesOf(column(page, "LABEL_CONTENT_RANK")).back(),
                      game::intToWideString(row.shown) + u".");
        }
    }
    // No table, or a mode beyond the three, shows an empty page.
    game::DialogHighscores& page = fill(1, -1);
    EXPECT_EQ(part<ui::Label>(page, "LABEL_MODE").getText(), u"Action");
    EXPECT_EQ(column(page, "LABEL_CONTENT_NAME"), u"");
    EXPECT_EQ(part<ui::Label>(fill(3, -1), "LABEL_MODE").getText(), u"");
}

TEST_F(HighscoresTest, OnlyTheNewEntrysRowIsColouredInAllFourColumns) {
    setTable("VIB", {{"Ann", 900, "3.4"}, {"Bob", 800, "2.1"}, {"Cy", 700, "1.7"}});
    game::DialogHighscores& page = fill(0, 1);
    EXPECT_EQ(column(page, "LABEL_CONTENT_RANK"), u"1.\n" + lit + u"2." + unlit + u"\n3.\n");
    EXPECT_EQ(column(page, "LABEL_CONTENT_NAME"), u"Ann \n" + lit + u"Bob" + unlit + u" \nCy \n");
    EXPECT_EQ(column(page, "LABEL_CONTENT_LEVEL"), u"3.4 \n" + lit + u"2.1" + unlit + u" \n1.7 \n");
    EXPECT_EQ(column(page, "LABEL_CONTENT_SCORE"), u"900 \n" + lit + u"800" + unlit + u" \n700 \n");
    fill(0, -1);
    for (const char* name : columns) {
        EXPECT_EQ(column(page, name).find(u'['), std::u16string::npos) << name;
    }
}

TEST_F(HighscoresTest, ScoresAreGroupedAndNoScoreIsADash) {
    setTable("ACTION", {{"Ann", 1234567, "9"}, {"Bob", 999, "8"}, {"Cy", 0, "-"}, {"Di", -5, "-"}});
    EXPECT_EQ(column(fill(1, -1), "LABEL_CONTENT_SCORE"), u"1,234,567 \n999 \n- \n- \n");
    // A blank between the groups keeps the whole number.
    kernel::PropertyStore::instance()->stringRef("STRING_GROUPING_DIGIT") = " ";
    EXPECT_EQ(linesOf(column(fill(1, -1), "LABEL_CONTENT_SCORE")).front(), u"1 234 567 ");
}

// A name from the scores file is shown as written: it opens no tag, escapes no closing tag and breaks no
// line, so its row stays level with the others.
TEST_F(HighscoresTest, NamesAndLevelsCannotChangeTheMarkup) {
    setTable("VIB", {{"[color=#000000]Eve", 30, "1\\n2"}, {"Zed\\", 20, "[br]"}, {"Li\nne", 10, "3"}});
    game::DialogHighscores& page = fill(0, 1);
    EXPECT_EQ(column(page, "LABEL_CONTENT_NAME"),
              u"\\[color=#000000]Eve \n" + lit + u"Zed/" + unlit + u" \nLi ne \n");
    EXPECT_EQ(column(page, "LABEL_CONTENT_LEVEL"), u"1/n2 \n" + lit + u"\\[br]" + unlit + u" \n3 \n");
}

// A name wider than its column keeps as many of its first letters as fit before a "..." and the row's
// closing blank; the label alone would keep one. A name that fits shows whole.
TEST_F(HighscoresTest, ALongNameKeepsWhatFitsItsColumn) {
    const std::u16string name = u"Jaggy Polly Pennyworth";
    setTable("VIB", {{"Jaggy Polly Pennyworth", 30, "1"}, {"Short", 20, "2"}});
    game::DialogHighscores& page = fill(0, 1);
    const auto& label = part<ui::StyleLabel>(page, "LABEL_CONTENT_NAME");
    const graphics::BitmapFont& font = *label.getFont();
    const std::vector<std::u16string> lines = linesOf(column(page, "LABEL_CONTENT_NAME"));
    ASSERT_EQ(lines.size(), 2U);
    ASSERT_GT(font.textWidth(name + u" "), label.getWidth());
    const std::size_t ellipsis = lines[0].find(u"... ");
    ASSERT_NE(ellipsis, std::u16string::npos) << "cut without a \"...\"";
    ASSERT_GE(ellipsis, 5U) << "more of the name fits";
    EXPECT_EQ(lines[0].substr(0, ellipsis), name.substr(0, ellipsis));
    EXPECT_EQ(lines[0].size(), ellipsis + 4);
    EXPECT_LE(font.textWidth(lines[0]), label.getWidth());
    EXPECT_GT(font.textWidth(name.substr(0, ellipsis + 1) + u"... "), label.getWidth())
        << "a letter more fits";
    EXPECT_EQ(lines[1], lit + u"Short" + unlit + u" ");
}

TEST_F(HighscoresTest, ANewEntryIsCongratulatedOnceThePageIsInTheAlbum) {
    struct Case {
        int entries;
        int highlight;
        bool message;
    };
    for (const Case row : {Case{10, 3, true}, Case{10, -1, false}, Case{2, 5, false}, Case{0, 0, false}}) {
        SCOPED_TRACE(row.highlight);
        setTable("ACTION", scores(row.entries));
        AlbumPictures::instance()->showHighscores(1, row.highlight);
        game::DialogAlbumPage* page = AlbumPictures::instance()->albumDialog()->getPageDialog();
        ASSERT_TRUE(page != nullptr && page->isKindOf(game::DialogHighscores::classInfo));
        EXPECT_EQ(static_cast<game::DialogHighscores*>(page)->getMode(), 1);
        run(1500);
        EXPECT_EQ(scene().findDialog("TEXT_HIGHSCORE_TXT") != nullptr, row.message);
        // Unlocked, the page's button works; locked, it does not.
        EXPECT_TRUE(part<ui::Button>(*page, "BUTTON_CLEAR").isEnabled());
        AlbumPictures::instance()->enableAlbum(false);
        EXPECT_FALSE(part<ui::Button>(*page, "BUTTON_CLEAR").isEnabled());
        DialogPibble::closeDialog("TEXT_HIGHSCORE_TXT");
        AlbumPictures::instance()->albumDialog()->closePageDialog();
        DialogPibble::closeDialog("DIALOG_ALBUM");
    }
}

TEST_F(HighscoresTest, ClearingAfterYesLeavesTenDashesOnThePageAndInTheSavedScores) {
    setTable("VIB", {{"Ann", 900, "3.4"}, {"Bob", 800, "2.1"}, {"Cy", 700, "1.7"}, {"Di", 600, "1.1"}});
    game::DialogHighscores& page = fill(0, 2);
    press(page, "BUTTON_CLEAR");
    ui::Dialog* question = scene().findDialog("TEXT_CLEARHIGHSCORES_TXT");
    ASSERT_NE(question, nullptr);
    press(*question, "BUTTON_NO");
    EXPECT_EQ(scene().findDialog("TEXT_CLEARHIGHSCORES_TXT"), nullptr);
    EXPECT_EQ(platform::HighScoreManager::instance()->getTable("VIB")->getEntry(0)->getPlayerName(), "Ann");

    press(page, "BUTTON_CLEAR");
    press(*scene().findDialog("TEXT_CLEARHIGHSCORES_TXT"), "BUTTON_YES");
    EXPECT_EQ(scene().findDialog("TEXT_CLEARHIGHSCORES_TXT"), nullptr);
    std::u16string dashes;
    std::u16string ranks;
    for (int i = 1; i <= 10; ++i) {
        dashes += u"- \n";
        ranks += game::intToWideString(i) + u".\n";
    }
    for (const char* name : {"LABEL_CONTENT_NAME", "LABEL_CONTENT_LEVEL", "LABEL_CONTENT_SCORE"}) {
        EXPECT_EQ(column(page, name), dashes) << name;
    }
    EXPECT_EQ(column(page, "LABEL_CONTENT_RANK"), ranks);
    EXPECT_EQ(page.getHighlight(), -1);

    platform::HighScoreManager::destroy();
    platform::HighScoreManager::create()->load();
    const platform::ScoreTable* saved = platform::HighScoreManager::instance()->getTable("VIB");
    ASSERT_NE(saved, nullptr);
    ASSERT_EQ(saved->getEntryCount(), 10);
    for (int i = 0; i < 10; ++i) {
        const auto* entry = static_cast<const game::PibbleHighscoreEntry*>(saved->getEntry(i));
        ASSERT_TRUE(entry->isKindOf(game::PibbleHighscoreEntry::classInfo));
        EXPECT_EQ(entry->getPlayerName(), "-");
        EXPECT_EQ(entry->getScore(), 0);
        EXPECT_EQ(entry->getLevelNr(), "-");
    }
}

// A table that could not keep ten rows, or none at all, is made afresh, so the file matches the page.
TEST_F(HighscoresTest, ClearingMakesATableOfTenWhereTheStoredOneCannotHoldThem) {
    setTable("RELAX", {{"Ann", 5, "1"}}, 0);
    for (const int mode : {2, 1}) {
        SCOPED_TRACE(mode);
        fill(mode, -1).clearHighscores();
        const platform::ScoreTable* table =
            platform::HighScoreManager::instance()->getTable(mode == 2 ? "RELAX" : "ACTION");
        ASSERT_NE(table, nullptr);
        EXPECT_EQ(table->getEntryCount(), 10);
    }
}

// ---- Statistics ------------------------------------------------------------------------------------

class StatisticsTest : public AlbumPagesTest {
protected:
    std::u16string value(const char* name) {
        game::DialogStatistics& page = *open<game::DialogStatistics>("DIALOG_STATISTICS");
        page.fill();
        return part<ui::Label>(page, name).getText();
    }
};

TEST_F(StatisticsTest, ANewPlayerHasNothingYet) {
    const std::pair<const char*, std::u16string> lines[] = {
        {"LABEL_COMPLETED_VAL", u"0 %"},   {"LABEL_REMOVED_VAL", u"0"},
        {"LABEL_MATCH5_VAL", u"0"},        {"LABEL_MATCH6_VAL", u"0"},
        {"LABEL_MATCH7_VAL", u"0"},        {"LABEL_PLAYTIME_VAL", u"0 h 0 min"},
        {"LABEL_COMBOS_VAL", u"0"},        {"LABEL_LEVELS_VAL", u"0 / 70"},
        {"LABEL_POLAROIDS_VAL", u"0 / 30"}};
    for (const auto& [name, text] : lines) {
        EXPECT_EQ(value(name), text) << name;
    }
    player().setNumPibblesRemoved(1234567);
    player().countMatch(6);
    player().claimCollectable(4);
    EXPECT_EQ(value("LABEL_REMOVED_VAL"), u"1234567");
    EXPECT_EQ(value("LABEL_MATCH6_VAL"), u"1");
    EXPECT_EQ(value("LABEL_POLAROIDS_VAL"), u"1 / 30");
    EXPECT_EQ(value("LABEL_COMPLETED_VAL"), u"1 %");

    // Each line shows its own count: no two are alike, so none can stand in for another.
    for (const auto& [size, times] : {std::pair{5, 2}, std::pair{6, 2}, std::pair{7, 5}}) {
        for (int i = 0; i < times; ++i) {
            player().countMatch(size);
        }
    }
    player().setComboPerformed(9);
    player().setComboPerformed(4);
    player().setVibProgress(3, 4, game::difficultyNormal);
    player().setSecondsPlayed(12 * 3600 + 34 * 60 + 56);
    const std::pair<const char*, std::u16string> played[] = {
        {"LABEL_COMPLETED_VAL", u"18 %"},  {"LABEL_REMOVED_VAL", u"1234567"},
        {"LABEL_MATCH5_VAL", u"2"},        {"LABEL_MATCH6_VAL", u"3"},
        {"LABEL_MATCH7_VAL", u"5"},        {"LABEL_PLAYTIME_VAL", u"12 h 34 min"},
        {"LABEL_COMBOS_VAL", u"9"},        {"LABEL_LEVELS_VAL", u"17 / 70"},
        {"LABEL_POLAROIDS_VAL", u"1 / 30"}};
    for (const auto& [name, text] : played) {
        EXPECT_EQ(value(name), text) << name;
    }
}

TEST_F(StatisticsTest, TheTimePlayedIsFormattedByTheDataWithItsOwnConversionsOnly) {
    struct Case {
        int seconds;
        const char* format;
        const char16_t* shown;
    };
    const Case cases[] = {
        {7199, "%d h %d min", u"1 h 59 min"},  {7200, "%d h %d min", u"2 h 0 min"},
        {59, "%d h %d min", u"0 h 0 min"},     {-3600, "%d h %d min", u"0 h 0 min"},
        {7199, "%s%d:%d %x%%", u"%s1:59 %x%"}, {7199, "%d hours", u"1 hours"},
    };
    for (const Case& row : cases) {
        SCOPED_TRACE(row.format);
        player().setSecondsPlayed(row.seconds);
        kernel::PropertyStore::instance()->stringRef("STRING_HOURMIN_FORMAT") = row.format;
        EXPECT_EQ(value("LABEL_PLAYTIME_VAL"), row.shown) << row.seconds;
    }
}

// ---- Collectables ----------------------------------------------------------------------------------

class CollectablesTest : public AlbumPagesTest {
protected:
    void SetUp() override {
        AlbumPagesTest::SetUp();
        // 1 March 2021, 13:05 UTC; collectable 8 was claimed by a profile that kept no moment.
        const kernel::SmartPtr<kernel::ValueDocument> profile =
            new kernel::ValueDocument(write("profile.xml", R"(
          <Profile><Player id="p"><Vector id="collectablequeue"><Collectable pibbleid="9"/></Vector>
            <Vector id="collectableclaimed"><Collectable pibbleid="7" claimed="true" date="1614603909"/>
              <Collectable pibbleid="8" claimed="true" date="0"/></Vector></Player></Profile>)"));
        profile->load();
        player().readXml(profile->getNode("p"));
        ::tzset();
    }
    void TearDown() override {
        zone.reset();
        ::tzset();
        AlbumPagesTest::TearDown();
    }
    game::DialogCollectables& show(int id) {
        DialogPibble::closeDialog("DIALOG_COLLECTABLES");
        game::DialogCollectables& page = *open<game::DialogCollectables>("DIALOG_COLLECTABLES");
        page.setCollectable(id);
        page.resetSprites();
        page.appear();
        run(300);
        return page;
    }
    static std::u16string text(game::DialogCollectables& page, const char* name) {
        return part<ui::Label>(page, name).getText();
    }
    static int alpha(game::DialogCollectables& page, const char* name) {
        return part<ui::Sprite>(page, name).getAlpha();
    }
    static std::u16string tip(const ui::Sprite* sprite) {
        const std::u16string* text = sprite->getToolTipText();
        return text != nullptr ? *text : u"(none)";
    }

    std::optional<testsupport::ScopedEnv> zone{std::in_place, "TZ", "UTC"};
};

TEST_F(CollectablesTest, AClaimedOneShowsItsPhotographDescriptionAndDate) {
    game::DialogCollectables& page = show(7);
    EXPECT_EQ(text(page, "LABEL_HDR"), u"Sunny");
    EXPECT_EQ(text(page, "LABEL_DESCR"), u"Waves");
    EXPECT_EQ(text(page, "LABEL_DATETIME"), u"01 Mar 2021, 13:05");
    EXPECT_EQ(page.polaroid()->getWidth(), 15);
    EXPECT_EQ(AlbumPictures::instance()->getCollectablePictureName(), "PIBBLE_COLLECTABLE_PICTURE_7");
    for (const char* shown : {"LABEL_HDR", "LABEL_DESCR", "LABEL_DATETIME", "COLLECTABLE_POLAROID"}) {
        EXPECT_EQ(alpha(page, shown), 255) << shown;
    }
    for (const char* hidden : {"LABEL_CONDITION", "SPRITE_CHECK"}) {
        EXPECT_EQ(alpha(page, hidden), 0) << hidden;
    }
    // How it was earned stays at hand as the polaroid's tip; the mark has nothing to say.
    EXPECT_EQ(tip(page.polaroid()), u"Remove fifty");
    EXPECT_EQ(tip(&part<ui::Sprite>(page, "SPRITE_CHECK")), u"(none)");
    // Leaving, the hidden parts never flash up.
    page.disappear();
    run(100);
    EXPECT_EQ(alpha(page, "LABEL_CONDITION"), 0);
    EXPECT_EQ(alpha(page, "SPRITE_CHECK"), 0);
    EXPECT_GT(alpha(page, "LABEL_DESCR"), 0);
}

TEST_F(CollectablesTest, AnUnclaimedOneShowsItsConditionOnTheBlankPolaroid) {
    struct Case {
        int id;
        bool queued;
    };
    for (const Case row : {Case{9, true}, Case{10, false}}) {
        SCOPED_TRACE(row.id);
        game::DialogCollectables& page = show(row.id);
        const std::u16string condition = row.id == 9 ? u"Match six" : u"";
        EXPECT_EQ(text(page, "LABEL_HDR"), row.id == 9 ? u"Rosie" : u"Cotton");
        EXPECT_EQ(text(page, "LABEL_CONDITION"), condition);
        EXPECT_EQ(text(page, "LABEL_DATETIME"), u"");
        EXPECT_EQ(page.polaroid()->getWidth(), 150);
        EXPECT_EQ(page.polaroid()->getImage(), nullptr);
        EXPECT_EQ(alpha(page, "LABEL_CONDITION"), 255);
        EXPECT_EQ(alpha(page, "LABEL_DESCR"), 0);
        EXPECT_EQ(alpha(page, "LABEL_DATETIME"), 0);
        EXPECT_EQ(tip(page.polaroid()), condition.empty() ? u"(none)" : condition);
        // The mark shows, with its tip, only while the collectable waits on the field.
        const ui::Sprite& check = part<ui::Sprite>(page, "SPRITE_CHECK");
        EXPECT_EQ(check.getAlpha(), row.queued ? 255 : 0);
        EXPECT_EQ(tip(&check), row.queued ? u"Waiting" : u"(none)");
    }
}

// A photograph that cannot be loaded leaves the blank polaroid, and a claim without a moment no date.
TEST_F(CollectablesTest, AClaimWithoutPhotographOrMomentKeepsTheBlanks) {
    game::DialogCollectables& page = show(8);
    EXPECT_EQ(page.polaroid()->getWidth(), 150);
    EXPECT_EQ(text(page, "LABEL_DESCR"), u"Shines");
    EXPECT_EQ(text(page, "LABEL_DATETIME"), u"");
}

TEST_F(CollectablesTest, TextListsThatDoNotReachTheIdReadAsEmpty) {
    struct Case {
        int id;
        const char16_t* name;
    };
    // Entry 11 of the names is a Node, 12 the last one; no list reaches 30, 31 or a negative id.
    for (const Case row : {Case{11, u""}, Case{12, u"Clover"}, Case{30, u""}, Case{31, u""}, Case{-1, u""}}) {
        SCOPED_TRACE(row.id);
        game::DialogCollectables& page = show(row.id);
        EXPECT_EQ(text(page, "LABEL_HDR"), row.name);
        EXPECT_EQ(text(page, "LABEL_DESCR"), u"");
        EXPECT_EQ(text(page, "LABEL_CONDITION"), u"");
    }
    kernel::PropertyStore::instance()->vectorRef("NAME_COLLECTABLES") = nullptr;
    EXPECT_EQ(text(show(7), "LABEL_HDR"), u"");
}

// ---- Credits ---------------------------------------------------------------------------------------

class CreditsTest : public AlbumPagesTest {
protected:
    void SetUp() override {
        AlbumPagesTest::SetUp();
        kernel::PropertyStore* store = kernel::PropertyStore::instance();
        store->intRef("CFG_CREDITS_PRE_DELAY") = 500;
        store->intRef("CFG_CREDITS_LETTER_DELAY") = 50;
        store->intRef("CFG_CREDITS_LETTER_FADEIN") = 200;
        store->intRef("CFG_CREDITS_POST_DELAY") = 1000;
        // An odd number of entries: the last page has a header only.
        const kernel::SmartPtr<kernel::VectorValue> credits = new kernel::VectorValue("CREDITS");
        for (const char* entry : {"Hello", "abcdef", "Second", "ab cd", "Last"}) {
            credits->append(new kernel::ScalarValue("", "Text", entry));
        }
        store->vectorRef("CREDITS") = credits;
    }
    // Each credits page is a dialog of its own, made from its definition.
    game::DialogCredits& page(int n) {
        DialogPibble::closeDialog("DIALOG_CREDITS");
        game::DialogCredits& made = *open<game::DialogCredits>("DIALOG_CREDITS");
        made.setPage(n);
        return made;
    }
    static std::size_t letters(game::SpriteLabel* label) { return label->glyphs().size(); }
    static bool waiting(const ui::Sprite& glyph) {
        const std::vector<ui::Modifier*> items = glyph.getModifierList().items();
        return !items.empty() && items.front()->isKindOf(ui::DelayModifier::classInfo);
    }
};

TEST_F(CreditsTest, PagesTakeTwoEntriesAndLastAsLongAsTheirText) {
    struct Case {
        int page;
        const char16_t* header;
        const char16_t* info;
        std::size_t letters;
        std::int32_t displayMs;
    };
    const Case cases[] = {
        {0, u"Hello", u"abcdef", 6, 250 + 500 + 6 * 50 + 1000},
        {1, u"Second", u"ab cd", 4, 250 + 500 + 4 * 50 + 1000},
        {2, u"Last", u"", 0, 250 + 500 + 1000},
        {3, u"", u"", 0, 250 + 500 + 1000},
        {-1, u"", u"", 0, 250 + 500 + 1000},
    };
    EXPECT_EQ(AlbumPictures::creditsPageCount(), 3);
    const kernel::Object* title =
        kernel::ResourceManager::instance()->getLoadedResource("FONT_OOGIEBOOGIE_24", "preloading");
    for (const Case& row : cases) {
        SCOPED_TRACE(row.page);
        game::DialogCredits& credits = page(row.page);
        EXPECT_EQ(credits.getHeader()->getText(), row.header);
        EXPECT_EQ(credits.getInfo()->getText(), row.info);
        EXPECT_EQ(letters(credits.getInfo()), row.letters);
        EXPECT_EQ(credits.displayTime(), row.displayMs);
        // The first page's header is set in the title font; the others keep the definition's.
        EXPECT_EQ(credits.getHeader()->getFont() == title, row.page == 0);
    }
}

TEST_F(CreditsTest, LettersFadeInOneAfterAnotherOnceThePageIsIn) {
    game::DialogCredits& credits = page(0);
    credits.resetSprites();
    credits.appear();
    const auto& glyphs = credits.getInfo()->glyphs();
    ASSERT_EQ(glyphs.size(), 6u);
    for (const auto& glyph : glyphs) {
        EXPECT_EQ(glyph->getAlpha(), 0);
    }
    // Letter k starts 500 + 50 k + 250 ms after the page began to appear: the third at 850.
    for (int elapsed = 10; elapsed <= 1260; elapsed += 10) {
        world.frame(10);
        for (std::size_t k = 0; k < glyphs.size(); ++k) {
            const int start = 500 + 50 * static_cast<int>(k) + 250;
            ASSERT_EQ(waiting(*glyphs[k]), elapsed < start) << "letter " << k << " at " << elapsed;
            if (elapsed <= start) {
                ASSERT_EQ(glyphs[k]->getAlpha(), 0) << "letter " << k << " at " << elapsed;
            }
        }
        if (elapsed == 860) {
            EXPECT_GT(glyphs[2]->getAlpha(), 0);
            EXPECT_EQ(glyphs[3]->getAlpha(), 0);
        }
    }
    for (const auto& glyph : credits.getHeader()->glyphs()) {
        EXPECT_EQ(glyph->getAlpha(), 255);
    }
    EXPECT_EQ(glyphs.back()->getAlpha(), 255);
}

// The album may be closed before the letters are all in: those still waiting stay transparent.
TEST_F(CreditsTest, LeavingEarlyFadesOutOnlyWhatIsShown) {
    game::DialogCredits& credits = page(0);
    credits.resetSprites();
    credits.appear();
    run(800, 10);
    credits.disappear();
    const auto& glyphs = credits.getInfo()->glyphs();
    int highest = 0;
    for (int elapsed = 0; elapsed < 1500; elapsed += 10) {
        world.frame(10);
        highest = std::max(highest, glyphs[3]->getAlpha());
    }
    EXPECT_EQ(highest, 0);
    for (const auto& glyph : glyphs) {
        EXPECT_EQ(glyph->getAlpha(), 0);
    }
    for (const auto& glyph : credits.getHeader()->glyphs()) {
        EXPECT_EQ(glyph->getAlpha(), 0);
    }
}

} // namespace
