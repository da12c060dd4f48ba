// The level-end dialog and the VIB chapter map, whose code names their parts by number and places them by
// rules of its own: the carrot's bites, crumbs and crunches are all there and fit the carrot; each chapter
// has its trail, button and photo, the walks of media/properties/progress.xml lead from chapter to chapter
// along the trails the map reveals towards them, and each photo shows its chapter's scenery.
#include "ContentCheck.h"

#include "engine/kernel/PathUtil.h"
#include "game/frontend/DialogLevelEnd.h"

#include <cstdlib>
#include <ostream>
#include <sstream>

namespace content {
namespace {

using kernel::NodeValue;
using kernel::SmartPtr;
using kernel::Value;
using namespace game::ids;

struct Point {
    int x = 0;
    int y = 0;
    bool operator==(const Point&) const = default;
};

std::string described(const Point& point) {
    return "(" + std::to_string(point.x) + ", " + std::to_string(point.y) + ")";
}

void PrintTo(const Point& point, std::ostream* out) {
    *out << described(point);
}

// "x y; x y; ..." as the manifest gives its points.
std::vector<Point> pointsOf(const std::string& text) {
    std::vector<Point> points;
    std::istringstream pairs(text);
    for (std::string pair; std::getline(pairs, pair, ';');) {
        std::istringstream numbers(pair);
        Point point;
        if (numbers >> point.x >> point.y) {
            points.push_back(point);
        }
    }
    return points;
}

std::string numbered(const char* prefix, int n) {
    return prefix + std::to_string(n);
}

Point placeOf(const NodeValue& part) {
    return {part.getValue("x").asInt(), part.getValue("y").asInt()};
}

using LevelEnd = Authored;
using ChapterMap = Authored;

// The dialog takes the bites' masks over the whole carrot it composes at the front's size, and cuts each
// crumb into six frames one below the other.
TEST_F(LevelEnd, TheCarrotsBitesAndCrumbsFitIt) {
    const ManifestEntry* front = pictureOf(component(dialogLevelEnd, spriteCarrotFront));
    const ManifestEntry* back = pictureOf(component(dialogLevelEnd, spriteCarrotBack));
    ASSERT_TRUE(front != nullptr && back != nullptr);
    EXPECT_EQ(front->get("width"), back->get("width")) << "the back lies under the front";
    EXPECT_EQ(front->get("height"), back->get("height")) << "the back lies under the front";
    for (int n = 0; n < carrotBites; ++n) {
        const ManifestEntry* mask =
            pictureOf(game::DialogLevelEnd::biteMaskSection, numbered(carrotMaskPrefix, n));
        EXPECT_NE(mask, nullptr) << "bite " << n << " has no mask where the dialog reads it";
        if (mask != nullptr) {
            EXPECT_GE(number(*mask, "width"), number(*front, "width")) << "bite " << n;
            EXPECT_GE(number(*mask, "height"), number(*front, "height")) << "bite " << n;
        }
    }
    for (int j = 0; j < carrotCrumbKinds; ++j) {
        const ManifestEntry* crumb = pictureOf(groupScenePlay, numbered(carrotCrumbPrefix, j));
        if (crumb != nullptr) {
            EXPECT_EQ(crumb->get("frames"), "6") << "crumb " << j;
            EXPECT_NE(crumb->get("orientation"), "horizontal") << "crumb " << j;
        }
    }
}

// The carrot slides in until the front's right edge reaches the middle plus half its width, so front and
// back stand on their right edge, and the carrot the dialog composes stands about its middle.
TEST_F(LevelEnd, TheCarrotLiesWhereTheDialogMovesIt) {
    for (const char* part : {spriteCarrotFront, spriteCarrotBack}) {
        EXPECT_EQ(key(component(dialogLevelEnd, part), "anchorpoint"), "right") << part;
    }
    EXPECT_EQ(key(component(dialogLevelEnd, spriteCarrot), "anchorpoint"), "center");
    EXPECT_EQ(component(dialogLevelEnd, labelHeader).typeName(), "SpriteLabel")
        << "its letters jump one by one";
}

// Every bite but the first plays one of the four crunches; every header the carrot shows has letters to jump.
TEST_F(LevelEnd, TheCrunchesAndHeadersAreThere) {
    for (int n = 1; n <= biteSounds; ++n) {
        const DeclaredResource* sound = resources.find(groupGameSounds, numbered(soundBiteCarrotPrefix, n));
        EXPECT_TRUE(sound != nullptr && sound->type == "Sound") << numbered(soundBiteCarrotPrefix, n);
    }
    const Settings settings;
    for (const char* header : {textGameFinishedHeader, textGameFailedHeader, textChapterFinishedHeader}) {
        Value* value = settings.find(header);
        const std::string letters = value != nullptr ? text(*value) : std::string();
        EXPECT_NE(letters.find_first_not_of(' '), std::string::npos) << header;
    }
}

TEST_F(ChapterMap, EveryChapterHasItsTrailButtonAndPhoto) {
    for (int n = 1; n <= chapterCount; ++n) {
        SCOPED_TRACE("chapter " + std::to_string(n));
        const NodeValue& line = component(dialogProgress, numbered(spriteLinePrefix, n));
        const NodeValue& button = component(dialogProgress, numbered(chapterButtonPrefix, n));
        const NodeValue& photo = component(dialogProgress, numbered(chapterPhotoPrefix, n));
        EXPECT_EQ(line.typeName(), "Sprite");
        EXPECT_EQ(button.typeName(), "Button");
        EXPECT_EQ(photo.typeName(), "Button");
        // The player walks to the button's place and stands there on the photo too.
        EXPECT_EQ(placeOf(photo), placeOf(button));
        EXPECT_EQ(key(photo, "anchorpoint"), key(button, "anchorpoint"));
    }
}

// Walk k goes from chapter k - 1's button to chapter k's; the trail the map reveals towards chapter k is
// drawn along it where the map places the trail's picture, and the map reveals it from the side the chapter
// before lies on (from the left for chapters 2, 6, 7, 9, from below for 3 and 10, from the right for 4 and
// 5, from above for 8).
TEST_F(ChapterMap, WalksLeadFromChapterToChapterAlongTheirTrails) {
    const SmartPtr<kernel::ValueDocument> walks = loadDocument(progressFile);
    enum Side { Left, Below, Right, Above };
    const Side revealedFrom[chapterCount + 1] = {Left, Left, Left,  Below, Right, Right,
                                                 Left, Left, Above, Left,  Below};
    for (int k = 2; k <= chapterCount; ++k) {
        SCOPED_TRACE("walk " + std::to_string(k));
        const std::string name = "path" + std::to_string(k);
        ASSERT_TRUE(walks->hasChild(name) && walks->findChild(name)->isVector());
        std::vector<Point> points;
        for (const SmartPtr<Value>& element : walks->getVector(name).children()) {
            ASSERT_TRUE(element->isNode());
            const NodeValue& node = element->asNode();
            ASSERT_TRUE(node.hasChild("x") && node.hasChild("y"));
            points.push_back({node.getValue("x").asInt(), node.getValue("y").asInt()});
        }
        ASSERT_GE(points.size(), 2u);
        const Point from = placeOf(component(dialogProgress, numbered(chapterButtonPrefix, k - 1)));
        const Point to = placeOf(component(dialogProgress, numbered(chapterButtonPrefix, k)));
        EXPECT_EQ(points.front(), from) << described(points.front());
        EXPECT_EQ(points.back(), to) << described(points.back());
        switch (revealedFrom[k]) {
        case Left:
            EXPECT_GT(to.x, from.x);
            break;
        case Right:
            EXPECT_LT(to.x, from.x);
            break;
        case Below:
            EXPECT_LT(to.y, from.y);
            break;
        case Above:
            EXPECT_GT(to.y, from.y);
            break;
        }
        const NodeValue& line = component(dialogProgress, numbered(spriteLinePrefix, k));
        const ManifestEntry* trail = pictureOf(line);
        ASSERT_NE(trail, nullptr);
        EXPECT_EQ(trail->get("kind"), "trail");
        EXPECT_EQ(pointsOf(trail->get("points")), points) << "the trail follows the walk";
        const std::vector<Point> at = pointsOf(trail->get("at"));
        ASSERT_EQ(at.size(), 1u);
        EXPECT_EQ(at.front(), placeOf(line)) << "the trail is drawn where its picture is placed";
        EXPECT_TRUE(key(line, "anchorpoint").empty() || key(line, "anchorpoint") == "topleft");
        for (const Point& point : points) {
            EXPECT_GT(point.x, at.front().x) << described(point);
            EXPECT_GT(point.y, at.front().y) << described(point);
            EXPECT_LT(point.x, at.front().x + number(*trail, "width")) << described(point);
            EXPECT_LT(point.y, at.front().y + number(*trail, "height")) << described(point);
        }
    }
}

// Chapter n plays on its background of media/levelrules.xml: its photo and its region of the landscape show
// that background's scenery, and the landscape's spots are where the chapters' buttons stand.
TEST_F(ChapterMap, PhotosAndLandscapeShowEachChaptersScenery) {
    TiXmlDocument rules;
    ASSERT_EQ(parseProblem(levelRulesFile, rules), "");
    std::map<int, std::string> backgrounds;
    for (const TiXmlElement* chapter = rules.RootElement()->FirstChildElement("Chapter"); chapter;
         chapter = chapter->NextSiblingElement("Chapter")) {
        int number = 0;
        if (chapter->QueryIntAttribute("number", &number) == TIXML_SUCCESS &&
            chapter->Attribute("background")) {
            backgrounds[number] = chapter->Attribute("background");
        }
    }
    const ManifestEntry* landscape = pictureOf(component(dialogProgress, spriteBackground));
    ASSERT_NE(landscape, nullptr);
    const std::vector<Point> spots = pointsOf(landscape->get("spots"));
    std::vector<std::string> sceneries;
    std::istringstream listed(landscape->get("sceneries"));
    for (std::string scenery; listed >> scenery;) {
        sceneries.push_back(scenery);
    }
    ASSERT_EQ(spots.size(), static_cast<std::size_t>(chapterCount));
    ASSERT_EQ(sceneries.size(), static_cast<std::size_t>(chapterCount));
    for (int n = 1; n <= chapterCount; ++n) {
        SCOPED_TRACE("chapter " + std::to_string(n));
        ASSERT_TRUE(backgrounds.contains(n));
        const ManifestEntry* background = pictureOf(groupBackgrounds, backgrounds[n]);
        const ManifestEntry* photo = pictureOf(component(dialogProgress, numbered(chapterPhotoPrefix, n)));
        ASSERT_TRUE(background != nullptr && photo != nullptr);
        EXPECT_EQ(photo->get("scenery"), background->get("scenery"));
        EXPECT_EQ(sceneries[static_cast<std::size_t>(n - 1)], background->get("scenery"));
        EXPECT_EQ(spots[static_cast<std::size_t>(n - 1)],
                  placeOf(component(dialogProgress, numbered(chapterButtonPrefix, n))));
    }
}

} // namespace
} // namespace content
