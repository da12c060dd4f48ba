// The floaters over the field, run frame by frame under a node of their own: the score floater's letters
// and fonts, the combo signs and where they stand, and the READY and GO signs' ends.
#include "game/play/Floaters.h"

#include "engine/graphics/BitmapFont.h"
#include "engine/kernel/ResourceGroup.h"
#include "engine/kernel/ResourceManager.h"
#include "engine/ui/Sprite.h"
#include "engine/ui/WidgetSupport.h"
#include "game/field/SpriteLabel.h"
#include "game/foundation/GameIds.h"

#include "PlayWorld.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

namespace ids = game::ids;

class FloatersTest : public ::testing::Test {
protected:
    void SetUp() override { addFonts(); }
    void TearDown() override { root->removeAllChildren(); }

    // Whatever the root holds is updated and its dead are taken away, as a scene's frame does.
    void frames(int count, std::uint32_t ms = 10) {
        for (int i = 0; i < count; ++i) {
            root->updateTree(ms);
            root->removeDeadDescendants();
        }
    }
    std::vector<ui::GameNode*> shown() const {
        std::vector<ui::GameNode*> found;
        for (ui::GameNode* child = root->getFirstChild(); child != nullptr; child = child->getNextSibling()) {
            found.push_back(child);
        }
        return found;
    }
    game::SpriteLabel* onlyLabel() const {
        const std::vector<ui::GameNode*> nodes = shown();
        EXPECT_EQ(nodes.size(), 1u);
        return nodes.size() == 1 && nodes[0]->isKindOf(game::SpriteLabel::classInfo)
                   ? static_cast<game::SpriteLabel*>(nodes[0])
                   : nullptr;
    }
    ui::Sprite* onlySprite() const {
        const std::vector<ui::GameNode*> nodes = shown();
        return nodes.size() == 1 && nodes[0]->isKindOf(ui::Sprite::classInfo)
                   ? static_cast<ui::Sprite*>(nodes[0])
                   : nullptr;
    }
    static graphics::ImageBase* sign(const std::string& name) {
        return ui::findImage(name, ids::groupScenePlay);
    }
    // A score floater of "+50" after a delay of 500 ms: when each of its letters began to show, over a second
    // of frames.
    std::vector<int> lettersStart(std::int32_t type) {
        game::ShowScoreFloater(root.get(), 200, 200, u"+50", 500, 2, type);
        const game::SpriteLabel* label = onlyLabel();
        EXPECT_TRUE(label != nullptr && label->glyphs().size() == 3u) << "the blank added makes no letter";
        if (label == nullptr) {
            return {};
        }
        const std::vector<kernel::SmartPtr<ui::Sprite>> letters = label->glyphs();
        std::vector<int> startedAt(letters.size(), -1);
        for (int elapsed = 10; elapsed <= 1000; elapsed += 10) {
            frames(1);
            for (std::size_t i = 0; i < letters.size(); ++i) {
                if (startedAt[i] < 0 && letters[i]->getAlpha() > 0) {
                    startedAt[i] = elapsed;
                }
            }
        }
        root->removeAllChildren();
        return startedAt;
    }

    playtest::PlayWorld world;
    kernel::SmartPtr<ui::GameNode> root = new ui::GameNode();
    // The floaters' fonts by name, each a font of its own: '+' and the digits, 6 x 10, advancing 6.
    std::map<std::string, kernel::SmartPtr<graphics::BitmapFont>> fonts;

private:
    void addFonts() {
        std::string glyphs;
        int x = 0;
        for (const char c : std::string("+0123456789")) {
            glyphs += "<Node id=\"" + std::string(1, c) + "\" x=\"" + std::to_string(x) +
                      R"(" y="0" w="6" h="10" width="6" />)";
            x += 6;
        }
        const std::string format = world.folder.write(
            "floater.xml", R"(<Font><Node id="charsetinfo" spacewidth="5" lineheight="12" />)"
                           R"(<Vector id="charset">)" +
                               glyphs + "</Vector></Font>");
        // The play scenes' group, beside the signs.
        kernel::ResourceGroup* group = world.scenePlayGroup.get();
        for (const char* name : ids::floaterFonts) {
            const kernel::SmartPtr<graphics::BitmapFont> font = new graphics::BitmapFont();
            font->load(format, testsupport::filled32(66, 10, 0xFFFFFFFFu).get(), kernel::Color(0xFFFFFFFFu),
                       true, kernel::modeFile);
            fonts[name] = font;
            group->addResource(name, new testsupport::HeldResource(font.get()));
        }
    }
};

// The letters wait for the floater's delay, then come in one after another.
TEST_F(FloatersTest, ADelayedScoreFloatersLettersWaitThenStartApart) {
    for (const std::int32_t type : {0, 1, 2, 3, 4, 7}) {
        SCOPED_TRACE(type);
        const std::vector<int> startedAt = lettersStart(type);
        ASSERT_EQ(startedAt.size(), 3u);
        for (int i = 0; i < 3; ++i) {
            EXPECT_GT(startedAt[i], 490 + 150 * i) << i;
            EXPECT_LE(startedAt[i], 520 + 150 * i) << i;
        }
    }
}

// The fifth type brings its letters in from the last one; they too wait for the floater's delay.
TEST_F(FloatersTest, ADelayedScoreFloaterOfTheFifthTypeWaitsForItsDelay) {
    const std::vector<int> startedAt = lettersStart(5);
    ASSERT_EQ(startedAt.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_GT(startedAt[i], 490 + 150 * (2 - i)) << i;
        EXPECT_LE(startedAt[i], 520 + 150 * (2 - i)) << i;
    }
}

TEST_F(FloatersTest, ScoreFloatersTakeTheirColoursFontAndWhiteForAnyOther) {
    struct Case {
        std::int32_t colour;
        const char* font;
    };
    const Case cases[] = {
        {0, "FONT_FLOATER_36_WHITE"},  {1, "FONT_FLOATER_36_YELLOW"}, {2, "FONT_FLOATER_36_BLUE"},
        {3, "FONT_FLOATER_36_RED"},    {4, "FONT_FLOATER_36_WHITE"},  {5, "FONT_FLOATER_36_GREEN"},
        {6, "FONT_FLOATER_36_PURPLE"}, {7, "FONT_FLOATER_36_ORANGE"}, {8, "FONT_FLOATER_36_WHITE"},
        {9, "FONT_FLOATER_36_WHITE"},  {-1, "FONT_FLOATER_36_WHITE"}};
    for (const Case& one : cases) {
        SCOPED_TRACE(one.colour);
        game::ShowScoreFloater(root.get(), 100, 120, u"+7", 0, one.colour, 3);
        const game::SpriteLabel* label = onlyLabel();
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->getFont(), fonts.at(one.font).get());
        EXPECT_EQ(label->glyphs().size(), 2u);
        root->removeAllChildren();
    }
}

TEST_F(FloatersTest, StillScoreFloatersStandUnanimatedForThreeSeconds) {
    for (const std::int32_t type : {8, 9}) {
        SCOPED_TRACE(type);
        game::ShowScoreFloater(root.get(), 100, 120, u"+300", 0, 1, type);
        const kernel::SmartPtr<game::SpriteLabel> label = onlyLabel();
        ASSERT_TRUE(label);
        const std::vector<kernel::SmartPtr<ui::Sprite>> letters = label->glyphs();
        ASSERT_EQ(letters.size(), 4u);
        std::vector<std::pair<int, int>> places;
        for (const auto& letter : letters) {
            EXPECT_TRUE(letter->getModifierList().empty());
            EXPECT_EQ(letter->getAlpha(), 255);
            places.emplace_back(letter->getX(), letter->getY());
        }
        frames(299);
        ASSERT_EQ(label->getParent(), root.get()) << "still there after 2990 ms";
        for (std::size_t i = 0; i < letters.size(); ++i) {
            EXPECT_EQ(std::make_pair(letters[i]->getX(), letters[i]->getY()), places[i]);
            EXPECT_EQ(letters[i]->getAlpha(), 255);
        }
        frames(2);
        EXPECT_TRUE(shown().empty()) << "gone after 3000 ms";
    }
}

TEST_F(FloatersTest, ComboSignsShowTheirStepsPictureUpToTheLast) {
    game::ShowComboFloater(root.get(), 300, 300, 0, 0, 0, 0);
    EXPECT_TRUE(shown().empty()) << "no sign for a plain match";
    for (const std::int32_t step : {1, 2, 3, 4, 5, 6, 7, 9, 40}) {
        SCOPED_TRACE(step);
        game::ShowComboFloater(root.get(), 300, 300, 0, step, 0, 0);
        const ui::Sprite* sprite = onlySprite();
        ASSERT_NE(sprite, nullptr);
        EXPECT_EQ(sprite->getImage(), sign(ids::floaterComboPrefix + std::to_string(std::min(step, 6))));
        root->removeAllChildren();
    }
}

// The combo signs are 60 x 30, drawn about their middle.
TEST_F(FloatersTest, AComboSignMovesOffThePointItWouldCover) {
    struct Case {
        int y, avoidX, avoidY, placedY;
    };
    const Case cases[] = {{300, 300, 300, 285},  // the lower half: half its height up
                          {240, 300, 240, 225},  // the middle counts as lower
                          {239, 300, 239, 254},  // the upper half: down
                          {100, 325, 110, 115},  // covered near its corner
                          {300, 340, 300, 300},  // beside it: it stays
                          {300, 300, 330, 300}}; // below it: it stays
    for (const Case& one : cases) {
        SCOPED_TRACE(std::to_string(one.y) + " avoiding " + std::to_string(one.avoidX) + "," +
                     std::to_string(one.avoidY));
        game::ShowComboFloater(root.get(), 300, one.y, 0, 2, one.avoidX, one.avoidY);
        const ui::Sprite* sprite = onlySprite();
        ASSERT_NE(sprite, nullptr);
        EXPECT_EQ(sprite->getX(), 300);
        EXPECT_EQ(sprite->getY(), one.placedY);
        root->removeAllChildren();
    }
}

// A clown, party or combo sign waits for its delay, then pops in for 300 ms, holds a second and shrinks away
// in 200 ms: 1500 ms in all. Each of the five steps starts in the frame in which the one before it ends, a
// frame early at most.
TEST_F(FloatersTest, SpriteSignsLiveTheirDelayAndOneAndAHalfSeconds) {
    using Show = void (*)(ui::GameNode*, int);
    const std::pair<const char*, Show> signs[] = {
        {"clown", [](ui::GameNode* parent, int delay) { game::ShowClownFloater(parent, 300, 300, delay); }},
        {"party", [](ui::GameNode* parent, int delay) { game::ShowPartyFloater(parent, 300, 300, delay); }},
        {"combo",
         [](ui::GameNode* parent, int delay) { game::ShowComboFloater(parent, 300, 300, delay, 2, 0, 0); }}};
    for (const auto& [name, show] : signs) {
        for (const int delay : {0, 400}) {
            SCOPED_TRACE(std::string(name) + " after " + std::to_string(delay) + " ms");
            show(root.get(), delay);
            ASSERT_NE(onlySprite(), nullptr);
            frames((delay + 1470) / 5, 5);
            EXPECT_NE(onlySprite(), nullptr) << "still there 30 ms before its end";
            frames(30 / 5, 5);
            EXPECT_TRUE(shown().empty());
            root->removeAllChildren();
        }
    }
}

// Started at the edges of the area or past them, a sign pops in, rises and shrinks away without any of it
// leaving the area: the room under a top bar 54 pixels high.
TEST_F(FloatersTest, SignsStayWholeInsideTheirAreaThroughTheirWholeShow) {
    const kernel::Rect area(0, 54, 640, 426);
    const std::pair<int, int> starts[] = {{320, -140}, {320, 54},  {0, 200},
                                          {640, 200},  {320, 480}, {-50, 600}};
    for (const auto& [x, y] : starts) {
        for (const char* sign : {ids::floaterClown, ids::floaterParty, ids::floaterComboPrefix}) {
            SCOPED_TRACE(std::string(sign) + " at " + std::to_string(x) + "," + std::to_string(y));
            if (sign == ids::floaterClown) {
                game::ShowClownFloater(root.get(), x, y, 0, area);
            } else if (sign == ids::floaterParty) {
                game::ShowPartyFloater(root.get(), x, y, 0, area);
            } else {
                game::ShowComboFloater(root.get(), x, y, 0, 3, x, y, area);
            }
            const kernel::SmartPtr<ui::Sprite> shown = onlySprite();
            ASSERT_TRUE(shown);
            for (int elapsed = 0; shown->getParent() != nullptr && elapsed < 3000; elapsed += 10) {
                frames(1);
                ASSERT_TRUE(playtest::PlayWorld::within(playtest::PlayWorld::drawnArea(*shown), area))
                    << "after " << elapsed << " ms";
            }
            EXPECT_EQ(shown->getParent(), nullptr) << "the sign goes";
            root->removeAllChildren();
        }
    }
}

TEST_F(FloatersTest, ReadyAndGoCallBackAfterTheirWholeShowAndGoWithIt) {
    struct Case {
        bool ready;
        int hold;
        int callbackAt;
    };
    for (const Case one : {Case{true, 750, 1250}, Case{false, 300, 800}}) {
        SCOPED_TRACE(one.ready ? "READY" : "GO");
        int calls = 0;
        const auto count = [](void* counter, ui::GameNode*) { ++*static_cast<int*>(counter); };
        if (one.ready) {
            game::ShowReadyFloater(root.get(), 320, 266, 0, one.hold, &calls, count);
        } else {
            game::ShowGoFloater(root.get(), 320, 266, 0, one.hold, &calls, count);
        }
        const ui::Sprite* sprite = onlySprite();
        ASSERT_NE(sprite, nullptr);
        EXPECT_EQ(sprite->getImage(), sign(one.ready ? ids::floaterReady : ids::floaterGo));
        int elapsed = 0;
        while (calls == 0 && elapsed < 3000) {
            frames(1);
            elapsed += 10;
        }
        EXPECT_GE(elapsed, one.callbackAt);
        EXPECT_LE(elapsed, one.callbackAt + 20);
        EXPECT_TRUE(shown().empty()) << "the sign goes with the call";
        frames(100);
        EXPECT_EQ(calls, 1);
    }
}

} // namespace
