// The data of the main menu, the player dialogs, the difficulty question and the first start's comic, built
// as the game builds them from the generated pictures and fonts: on the menu nothing runs into anything and
// the full-screen buttons' corner stays free; the welcome line fits its width with the longest name a player
// can type, and each glow lies on its letters; in the dialogs everything keeps inside the frame and apart,
// the names fit their rows and their field, and the marker stands beside each row; the comic fills the
// screen and its button and shine stand where every page leaves paper.
#include "BuiltArt.h"

#include "engine/graphics/BitmapFont.h"
#include "engine/graphics/ImageBase.h"
#include "engine/graphics/MemoryImage32.h"
#include "engine/kernel/PathUtil.h"
#include "engine/kernel/PropertyStore.h"
#include "engine/ui/Button.h"
#include "engine/ui/InputLabel.h"
#include "engine/ui/Label.h"
#include "engine/ui/Scene.h"
#include "engine/ui/Sprite.h"
#include "engine/ui/TextButton.h"
#include "game/foundation/GameIds.h"
#if PIBBLES_CONTENT_WITH_GAME
#include "game/foundation/GameUtilities.h"
#include "game/frontend/SelectionScene.h"
#endif

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <map>
#include <sstream>
#include <string>
#include <utility>

namespace content {
namespace {

using kernel::NodeValue;
using kernel::SmartPtr;
using namespace game::ids;

// The frame's shadow margin and rim: what lies inside it is the dialog's pale body.
constexpr int rim = 8;
// The widest letter a name is made of, typed as often as the name field takes.
constexpr char16_t widestLetter = u'W';

std::string numbered(const char* prefix, int n) {
    return prefix + std::to_string(n);
}

// The rows of the player list and the comic's pages are named by number.
using NumberedData = Authored;

TEST_F(NumberedData, TheListHasItsFiveRowsAndTheComicItsPages) {
    for (int row = 1; row <= profileRows; ++row) {
        EXPECT_EQ(component(dialogProfile, numbered(buttonInputPrefix, row)).typeName(), "Button") << row;
        EXPECT_EQ(component(dialogProfile, numbered(labelInputPrefix, row)).typeName(), "Label") << row;
    }
    for (int page = 1; page <= stripPages; ++page) {
        const ManifestEntry* picture = pictureOf(groupStrip, numbered(stripPagePrefix, page));
        ASSERT_NE(picture, nullptr) << page;
        EXPECT_EQ(picture->get("kind"), "comicpage");
        EXPECT_EQ(number(*picture, "page"), page) << "the pages in reading order";
        EXPECT_EQ(number(*picture, "width"), screenWidth);
        EXPECT_EQ(number(*picture, "height"), screenHeight);
    }
    EXPECT_EQ(resources.find(groupStrip, numbered(stripPagePrefix, stripPages + 1)), nullptr);
    const NodeValue& strip = declaration(dialogStrip);
    EXPECT_EQ(strip.getValue("width").asInt(), screenWidth);
    EXPECT_EQ(strip.getValue("height").asInt(), screenHeight);
}

#if PIBBLES_CONTENT_WITH_GAME

// Where a label's letters are drawn, weighed by their cover: the label's picture at its place less its
// anchor, raised by its font's top pad as a buffered label is painted.
struct Ink {
    double x = 0;
    double y = 0;
};

Ink inkOf(const ui::Label& label) {
    const graphics::ImageBase* image = label.getImage();
    if (image == nullptr || !image->isKindOf(graphics::MemoryImage32::classInfo) ||
        label.getFont() == nullptr) {
        return {};
    }
    const auto* picture = static_cast<const graphics::MemoryImage32*>(image);
    const int left = label.getAbsoluteX() - label.getAnchorPoint().getRoundedX();
    const int top =
        label.getAbsoluteY() - label.getAnchorPoint().getRoundedY() - label.getFont()->getTopPad();
    double sum = 0;
    double sumX = 0;
    double sumY = 0;
    for (int y = 0; y < picture->getHeight(); ++y) {
        for (int x = 0; x < picture->getWidth(); ++x) {
            const double alpha = picture->pixels32()[picture->pixelIndex(x, y)] >> 24;
            sum += alpha;
            sumX += alpha * x;
            sumY += alpha * y;
        }
    }
    return sum > 0 ? Ink{left + sumX / sum, top + sumY / sum} : Ink{};
}

Box absoluteBox(const ui::Sprite& sprite) {
    return {sprite.getAbsoluteX() - sprite.getAnchorPoint().getRoundedX(),
            sprite.getAbsoluteY() - sprite.getAnchorPoint().getRoundedY(), sprite.getWidth(),
            sprite.getHeight()};
}

// The components of a scene or dialog that are drawn, by name: not those hidden, nor those taken away by
// the code.
std::vector<std::pair<std::string, Box>> shownParts(ui::Dialog& dialog) {
    std::vector<std::pair<std::string, Box>> parts;
    for (ui::GameNode* node = dialog.getContentNode()->getFirstChild(); node != nullptr;
         node = node->getNextSibling()) {
        if (node->isKindOf(ui::Sprite::classInfo) && !node->isDead() && node->isVisible()) {
            parts.emplace_back(node->getName(), paintedBox(static_cast<const ui::Sprite&>(*node)));
        }
    }
    return parts;
}

// Every part lies inside the area; no two share a pixel unless the pair is one that belongs together (the
// first of it lies under or round the second).
void expectInsideAndApart(const std::string& where, const std::vector<std::pair<std::string, Box>>& parts,
                          const Box& area, const std::multimap<std::string, std::string>& together,
                          std::vector<std::string>& found) {
    const auto belong = [&](const std::string& a, const std::string& b) {
        for (const auto& [first, second] : {std::pair{a, b}, std::pair{b, a}}) {
            const auto [from, to] = together.equal_range(first);
            for (auto it = from; it != to; ++it) {
                if (it->second == second) {
                    return true;
                }
            }
        }
        return false;
    };
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const auto& [name, box] = parts[i];
        const std::string what = where + " " + name + " " + box.described();
        if (box.w <= 0 || box.h <= 0) {
            found.push_back(what + ": nothing to show");
        }
        if (!inside(box, area)) {
            found.push_back(what + ": outside " + area.described());
        }
        for (std::size_t j = 0; j < i; ++j) {
            if (box.overlaps(parts[j].second) && !belong(name, parts[j].first)) {
                found.push_back(what + ": over " + parts[j].first);
            }
        }
    }
}

class BuiltSelection : public BuiltArt {
protected:
    void SetUp() override {
        BuiltArt::SetUp();
        if (IsSkipped()) {
            return;
        }
        scene = static_cast<game::SelectionScene*>(build(sceneSelection));
        ASSERT_NE(scene, nullptr);
        ASSERT_TRUE(scene->isKindOf(game::SelectionScene::classInfo));
        scene->setPosition(0, 0);
        scene->load();
    }

    // The name field's longest name, of its widest letters.
    std::u16string longestName() {
        const NodeValue& field = component(dialogProfileCreate, inputLabelName);
        return std::u16string(static_cast<std::size_t>(field.getValue("maxlength").asInt()), widestLetter);
    }

    // The welcome line and the change-name text as the scene shows them with a player of the name.
    void greet(const std::u16string& name) {
        const std::string welcome = kernel::narrowString(kernel::PropertyStore::getText(textWelcome)) + " " +
                                    kernel::narrowString(name);
        for (ui::Label* label : {scene->getWelcomeLabel(), scene->getWelcomeBlurLabel()}) {
            ASSERT_NE(label, nullptr);
            game::fitTextToLabel(label, welcome, game::SelectionScene::welcomeWidth);
            label->setVisible(true);
        }
        for (ui::Label* label : {scene->getChangeNameButton()->getLabel(), scene->getChangeNameBlurLabel()}) {
            ASSERT_NE(label, nullptr);
            label->setText(kernel::PropertyStore::getText(textWelcomeChangeName));
        }
        scene->getChangeNameButton()->setVisible(true);
        scene->getChangeNameBlurLabel()->setVisible(true);
    }

    // The rectangles of the two pibbles on their clouds beside the game's name, as the manifest's entry of
    // the menu's picture gives them ("x y width height", separated by ';').
    std::vector<Box> cornerPibbles() {
        const NodeValue& selection = declaration(sceneSelection);
        const ManifestEntry* picture =
            pictureOf(key(selection, "section"), key(selection, "scenebackground"));
        std::vector<Box> areas;
        std::istringstream list(picture != nullptr ? picture->get("sitters") : "");
        for (std::string one; std::getline(list, one, ';');) {
            std::istringstream numbers(one);
            Box area{};
            if (numbers >> area.x >> area.y >> area.w >> area.h) {
                areas.push_back(area);
            }
        }
        return areas;
    }

    game::SelectionScene* scene = nullptr;
};

// On the first start (the glow behind VIB, no welcome) and with the longest name, the menu's parts stay on
// the screen and apart, but for each glow and what it glows round, and all keep clear of the full-screen
// buttons.
TEST_F(BuiltSelection, TheMenusPartsKeepApartAndClearOfTheFullScreenButtons) {
    const std::multimap<std::string, std::string> together = {{labelWelcomeBlur, labelWelcome},
                                                              {labelChangeNameBlur, buttonChangeName},
                                                              {spriteVibHighlight, buttonVib}};
    std::vector<std::string> found;
    const auto check = [&](const std::string& state) {
        const std::vector<std::pair<std::string, Box>> parts = shownParts(*scene);
        expectInsideAndApart(sceneSelection + (" " + state), parts, {0, 0, screenWidth, screenHeight},
                             together, found);
        for (const auto& [name, box] : parts) {
            if (box.overlaps(fullScreenButtons)) {
                found.push_back(name + " " + box.described() + ": under the full-screen buttons");
            }
        }
    };
    scene->getVibHighlight()->setVisible(true);
    check("on the first start");
    scene->getVibHighlight()->setVisible(false);
    greet(longestName());
    check("with a player");
    EXPECT_TRUE(found.empty()) << joined(found);
    scene->getVibHighlight()->setVisible(true);
    // The glow behind VIB shows round the button on every side.
    const Box glow = drawnBox(*scene->getVibHighlight());
    const Box vib = drawnBox(*scene->getVibButton());
    EXPECT_TRUE(inside(vib, glow) && glow.x < vib.x && glow.y < vib.y && glow.x + glow.w > vib.x + vib.w &&
                glow.y + glow.h > vib.y + vib.h)
        << glow.described() << " round " << vib.described();
}

// The welcome line keeps to its width with the longest name a player can type, and shows a usual name whole;
// each glow lies on its letters, the change-name text's too, though the button places its label in a way of
// its own. The scene fits the glow to the width on its own, and the glow's letters take more room, so with
// the longest name its words may end a letter sooner; they are the same words up to there.
TEST_F(BuiltSelection, TheWelcomeLineFitsAndEachGlowLiesOnItsLetters) {
    for (const std::u16string& name : {std::u16string(u"Rosalind"), longestName()}) {
        greet(name);
        ui::Label* welcome = scene->getWelcomeLabel();
        ui::Label* glow = scene->getWelcomeBlurLabel();
        const std::string shown = kernel::narrowString(welcome->getText());
        const std::string glowing = kernel::narrowString(glow->getText());
        EXPECT_LE(welcome->getWidth(), game::SelectionScene::welcomeWidth) << shown;
        EXPECT_LE(glow->getWidth(), game::SelectionScene::welcomeWidth) << glowing;
        std::vector<std::pair<ui::Label*, ui::Label*>> pairs = {
            {scene->getChangeNameButton()->getLabel(), scene->getChangeNameBlurLabel()}};
        if (name.size() < 10) {
            EXPECT_NE(shown.find(kernel::narrowString(name)), std::string::npos) << shown;
            EXPECT_EQ(glowing, shown);
            pairs.emplace_back(welcome, glow);
        } else {
            const std::string words = glowing.substr(0, glowing.find("..."));
            EXPECT_EQ(shown.substr(0, words.size()), words) << glowing << " over " << shown;
            EXPECT_LE(shown.size() - glowing.size(), 1u) << glowing << " over " << shown;
        }
        for (const auto& [letters, haze] : pairs) {
            const Ink text = inkOf(*letters);
            const Ink around = inkOf(*haze);
            EXPECT_NEAR(text.x, around.x, 1.5) << kernel::narrowString(letters->getText());
            EXPECT_NEAR(text.y, around.y, 1.5) << kernel::narrowString(letters->getText());
        }
    }
}

// The welcome line shows a name of twelve usual letters whole, in the letters and in their glow, and cuts
// only a name of the widest letters, with "..."; either way the line keeps to its width, on the screen and
// clear of the two pibbles on their clouds beside the game's name.
TEST_F(BuiltSelection, TheWelcomeShowsUsualNamesWholeBetweenTheCornerPibbles) {
    const std::vector<Box> pibbles = cornerPibbles();
    ASSERT_EQ(pibbles.size(), 2u);
    struct Greeting {
        std::u16string name;
        bool whole;
    };
    const Greeting greetings[] = {{u"Mia Newcomer", true}, {u"Konstantinos", true}, {u"Christabelle", true},
                                  {u"Bartholomew", true},  {u"Wilhelmina", true},   {u"MMMMMMMMMMMM", false},
                                  {longestName(), false}};
    for (const auto& [name, whole] : greetings) {
        greet(name);
        const std::string welcome =
            kernel::narrowString(kernel::PropertyStore::getText(textWelcome) + u" " + name);
        for (ui::Label* label : {scene->getWelcomeLabel(), scene->getWelcomeBlurLabel()}) {
            const std::string shown = kernel::narrowString(label->getText());
            const Box box = paintedBox(*label);
            SCOPED_TRACE(label->getName() + " " + shown + " " + box.described());
            EXPECT_LE(label->getWidth(), game::SelectionScene::welcomeWidth);
            if (whole) {
                EXPECT_EQ(shown, welcome);
            } else {
                EXPECT_TRUE(shown.ends_with("...") && shown.size() < welcome.size() + 3);
            }
            EXPECT_TRUE(inside(box, {0, 0, screenWidth, screenHeight}));
            for (const Box& pibble : pibbles) {
                EXPECT_FALSE(box.overlaps(pibble)) << "over the pibble " << pibble.described();
            }
        }
    }
}

class BuiltDialogs : public BuiltArt {
protected:
    // The frame's inside.
    static Box body(const ui::Dialog& dialog) {
        return {rim, rim, dialog.getWidth() - 2 * rim, dialog.getHeight() - 2 * rim};
    }
    // The component's box as declared, with the size of its picture: where the code may move it from.
    Box declaredBox(ui::Dialog& dialog, const std::string& name) {
        const NodeValue& declared = component(dialog.getName(), name);
        const auto* sprite = dialog.findComponentAs<ui::Sprite>(name);
        return {declared.getValue("x").asInt(), declared.getValue("y").asInt(),
                sprite != nullptr ? sprite->getWidth() : 0, sprite != nullptr ? sprite->getHeight() : 0};
    }
    std::u16string longestName() {
        const NodeValue& field = component(dialogProfileCreate, inputLabelName);
        return std::u16string(static_cast<std::size_t>(field.getValue("maxlength").asInt()), widestLetter);
    }
};

// The longest name fills every row, each inside its row; the marker, placed at each row by the tuning
// offsets, stands beside the row within the frame and runs into no row.
TEST_F(BuiltDialogs, ThePlayerListsNamesFitTheirRowsAndTheMarkerStandsBeside) {
    ui::Dialog* list = build(dialogProfile);
    ASSERT_NE(list, nullptr);
    list->setName(dialogProfile);
    std::vector<std::string> found;
    std::multimap<std::string, std::string> together;
    for (int row = 1; row <= profileRows; ++row) {
        auto* label = list->findComponentAs<ui::Label>(numbered(labelInputPrefix, row));
        ASSERT_NE(label, nullptr);
        label->setText(longestName());
        together.emplace(numbered(buttonInputPrefix, row), numbered(labelInputPrefix, row));
        const Box name = drawnBox(*label);
        const Box rowBox = drawnBox(*list->findComponentAs<ui::Sprite>(numbered(buttonInputPrefix, row)));
        if (!inside(name, rowBox)) {
            found.push_back("row " + std::to_string(row) + ": the name " + name.described() + " leaves " +
                            rowBox.described());
        }
    }
    ui::Sprite* marker = list->findComponentAs<ui::Sprite>(inputMarker);
    ASSERT_NE(marker, nullptr);
    for (int row = 1; row <= profileRows; ++row) {
        const auto* button = list->findComponentAs<ui::Sprite>(numbered(buttonInputPrefix, row));
        marker->setPosition(button->getX() + kernel::PropertyStore::instance()->intRef(cfgInputLabelOffsetX),
                            button->getY() + kernel::PropertyStore::instance()->intRef(cfgInputLabelOffsetY));
        const Box at = drawnBox(*marker);
        const Box beside = drawnBox(*button);
        if (at.y + at.h <= beside.y || at.y >= beside.y + beside.h || at.x + at.w > beside.x) {
            found.push_back("row " + std::to_string(row) + ": the marker " + at.described() +
                            " is not beside " + beside.described());
        }
        std::vector<std::pair<std::string, Box>> parts = shownParts(*list);
        expectInsideAndApart(dialogProfile + (" with the marker at row " + std::to_string(row)), parts,
                             body(*list), together, found);
    }
    EXPECT_TRUE(found.empty()) << joined(found);
}

// The longest name fits the field it is typed into, and so does the cursor; the dialog keeps its parts
// inside and apart as declared (with cancel), and as the first start shows it (OK alone in the middle).
TEST_F(BuiltDialogs, ANewPlayersNameFitsItsField) {
    ui::Dialog* create = build(dialogProfileCreate);
    ASSERT_NE(create, nullptr);
    create->setName(dialogProfileCreate);
    auto* input = create->findComponentAs<ui::InputLabel>(inputLabelName);
    ASSERT_NE(input, nullptr);
    input->setFocused(true);
    std::u16string typed;
    for (std::size_t i = 0; i < longestName().size() + 3; ++i) {
        input->onChar(static_cast<std::uint32_t>(widestLetter));
    }
    EXPECT_EQ(input->getText(), longestName()) << "the field takes no more than its length";
    for (const char16_t letter : std::u16string(u"a9 -")) {
        EXPECT_TRUE(input->getInnerLabel() != nullptr && input->getInnerLabel()->getFont()->hasGlyph(letter))
            << static_cast<int>(letter);
    }
    std::vector<std::string> found;
    const Box field = drawnBox(*create->findComponentAs<ui::Sprite>("SPRITE_NAMEFIELD"));
    const Box name = absoluteBox(*input->getInnerLabel());
    const Box typedArea{name.x - create->getAbsoluteX(), name.y - create->getAbsoluteY(), name.w, name.h};
    if (!inside(typedArea, field)) {
        found.push_back("the name " + typedArea.described() + " leaves the field " + field.described());
    }
    const Box inputBox = drawnBox(*input);
    if (!inside(inputBox, field)) {
        found.push_back("the input " + inputBox.described() + " leaves the field " + field.described());
    }
    const NodeValue& declared = component(dialogProfileCreate, inputLabelName);
    const DeclaredResource* cursor = resources.find(key(declared, "section"), key(declared, "cursorimage"));
    const ManifestEntry* cursorPicture =
        cursor != nullptr ? manifest.maker(kernel::normaliseResourcePath(cursor->file)) : nullptr;
    ASSERT_NE(cursorPicture, nullptr);
    if (inputBox.y + number(*cursorPicture, "height") > field.y + field.h) {
        found.push_back("the cursor reaches below the field");
    }
    const std::multimap<std::string, std::string> together = {{"SPRITE_NAMEFIELD", inputLabelName}};
    // As the first start shows it: the code has taken the cancel button away and centred OK.
    expectInsideAndApart(dialogProfileCreate + std::string(" on the first start"), shownParts(*create),
                         body(*create), together, found);
    // As declared, with a player already there.
    std::vector<std::pair<std::string, Box>> declaredParts;
    for (const auto& [partName, box] : shownParts(*create)) {
        if (partName != buttonOk) {
            declaredParts.emplace_back(partName, box);
        }
    }
    declaredParts.emplace_back(buttonOk, declaredBox(*create, buttonOk));
    declaredParts.emplace_back(buttonCancel, declaredBox(*create, buttonCancel));
    expectInsideAndApart(dialogProfileCreate + std::string(" with players"), declaredParts, body(*create),
                         together, found);
    EXPECT_TRUE(found.empty()) << joined(found);
}

// The difficulty question's texts, as the selection scene sets them, keep above its buttons.
TEST_F(BuiltDialogs, TheDifficultyQuestionKeepsItsTextAboveItsButtons) {
    ui::Dialog* question = build(dialogDifficulty);
    ASSERT_NE(question, nullptr);
    question->findComponentAs<ui::Label>(boxHeader)->setText(
        kernel::PropertyStore::getText(textDifficultyHeader));
    question->findComponentAs<ui::Label>(boxMessage)->setText(kernel::PropertyStore::getText(textDifficulty));
    std::vector<std::string> found;
    expectInsideAndApart(dialogDifficulty, shownParts(*question), body(*question), {}, found);
    EXPECT_TRUE(found.empty()) << joined(found);
}

// The comic covers the screen; its button and the shine round it stand where every page is paper, the
// shine about the button's middle and larger than it all round.
TEST_F(BuiltDialogs, TheComicsButtonAndShineStandOnPaperOnEveryPage) {
    ui::Dialog* comic = build(dialogStrip);
    ASSERT_NE(comic, nullptr);
    comic->setPosition(0, 0);
    EXPECT_EQ(comic->getWidth(), screenWidth);
    EXPECT_EQ(comic->getHeight(), screenHeight);
    const Box button = drawnBox(*comic->findComponentAs<ui::Sprite>(buttonNext));
    const Box shine = drawnBox(*comic->findComponentAs<ui::Sprite>(buttonNextShine));
    EXPECT_TRUE(inside(button, shine) && shine.x < button.x && shine.y < button.y &&
                shine.x + shine.w > button.x + button.w && shine.y + shine.h > button.y + button.h)
        << shine.described() << " round " << button.described();
    EXPECT_LE(std::abs((shine.x + shine.w / 2) - (button.x + button.w / 2)), 1);
    EXPECT_LE(std::abs((shine.y + shine.h / 2) - (button.y + button.h / 2)), 1);
    EXPECT_TRUE(inside(shine, {0, 0, screenWidth, screenHeight})) << shine.described();
    for (int page = 1; page <= stripPages; ++page) {
        kernel::Object* found =
            kernel::ResourceManager::instance()->getResource(numbered(stripPagePrefix, page), groupStrip);
        ASSERT_TRUE(found != nullptr && found->isKindOf(graphics::MemoryImage32::classInfo)) << page;
        const auto* picture = static_cast<graphics::MemoryImage32*>(found);
        ASSERT_EQ(picture->getWidth(), screenWidth);
        ASSERT_EQ(picture->getHeight(), screenHeight);
        int darkest = 255;
        for (int y = shine.y; y < shine.y + shine.h; ++y) {
            for (int x = shine.x; x < shine.x + shine.w; ++x) {
                darkest =
                    std::min<int>(darkest, (picture->pixels32()[picture->pixelIndex(x, y)] >> 8) & 0xFF);
            }
        }
        EXPECT_GT(darkest, 180) << "page " << page << ": the shine's area holds more than paper";
    }
}

#endif

} // namespace
} // namespace content
