// The VIB chapter map over a small game scene that notes what the map asks of it, with a real play field
// and level catalogue, the paths file written in the working folder, sounds on SDL's dummy driver and the
// hint bubble's two pictures. Chapter n stands at (50n, 200); the path to chapter k runs from chapter k - 1
// over (50k - 40, 150) to chapter k.
#include "game/frontend/DialogProgress.h"

#include "engine/kernel/ResourceGroup.h"
#include "engine/kernel/ResourceManager.h"
#include "engine/kernel/ScalarValue.h"
#include "engine/kernel/ValueDocument.h"
#include "engine/kernel/VectorValue.h"
#include "engine/platform/Application.h"
#include "engine/platform/PlayerManager.h"
#include "engine/platform/PointerPosition.h"
#include "engine/ui/Button.h"
#include "engine/ui/Label.h"
#include "engine/ui/Path.h"
#include "engine/ui/SoundSample.h"
#include "engine/ui/SoundSystem.h"
#include "game/field/PlayField.h"
#include "game/foundation/FieldCodes.h"
#include "game/foundation/GameGlobals.h"
#include "game/foundation/LevelCatalogue.h"
#include "game/foundation/PibblePlayer.h"
#include "game/foundation/PibbleScene.h"
#include "game/foundation/Random.h"
#include "host/Window.h"

#include "../field/FieldGame.h"
#include "EncodedImages.h"
#include "Eventually.h"
#include "FrontendWorld.h"
#include "SoundFiles.h"
#include "TestImages.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

using frontendtest::FrontendWorld;
using game::DialogProgress;
namespace ids = game::ids;

constexpr int stepMs = 10;
constexpr int chapterY = 200;

int chapterX(int chapter) {
    return 50 * chapter;
}

std::string declarations() {
    std::string parts;
    for (int n = 1; n <= 10; ++n) {
        const std::string number = std::to_string(n);
        const std::string at =
            "\" x=\"" + std::to_string(chapterX(n)) + "\" y=\"200\" width=\"30\" height=\"120\"/>";
        parts += "<Sprite name=\"SPRITE_LINE" + number + "\" x=\"" + std::to_string(chapterX(n) - 50) +
                 "\" y=\"190\" width=\"50\" height=\"20\"/>";
        parts += "<Button name=\"BUTTON_" + number + at + "<Button name=\"PHOTO_" + number + at;
    }
    return R"(<dialogs><Node id="dialogs"><DialogProgress id="DIALOG_PROGRESS" width="640" height="480"
        autoenlarge="false"><Vector id="components">)" +
           parts + R"(
        <Sprite name="SPRITE_BUTTONAPPEAR" width="30" height="30"/>
        <Sprite name="SPRITE_PLAYERSHINE" width="40" height="40"/>
        <Button name="BUTTON_MENU" x="590" y="10" width="40" height="160"/>
        <Button name="BUTTON_BOOK" x="590" y="430" width="40" height="160"/>
        <Button name="BUTTON_HEAD" width="20" height="80"/>
        <Sprite name="BUTTON_HEAD_SMILE" width="20" height="20"/>
        <Sprite name="HINT_BACKGROUND" width="10" height="10"/>
        <Label name="HINT_LABEL" font="FONT_OOGIEBOOGIE_20" section="preloading"/>
        <Label name="LABEL_CHOOSECHAPTER" font="FONT_OOGIEBOOGIE_20" section="preloading"/>
        <Label name="LABEL_CHOOSECHAPTER_BLUR" font="FONT_OOGIEBOOGIE_20" section="preloading"/>
        </Vector></DialogProgress><DialogPibble id="DIALOG_LEVELEND"/>
        <DialogPibble id="DIALOG_MESSAGE" width="300" height="100"><Vector id="components">
        <Label name="MESSAGE"/><Button name="BUTTON_OK" x="100" y="60" width="100" height="160"/>
        </Vector></DialogPibble></Node></dialogs>)";
}

void writeFile(const std::string& path, const std::string& text) {
    if (const std::filesystem::path folder = std::filesystem::path(path).parent_path(); !folder.empty()) {
        std::filesystem::create_directories(folder);
    }
    std::ofstream(path, std::ios::binary) << text;
}

std::string pathVector(int k) {
    const auto point = [](int x, const std::string& y) {
        return "<Node x=\"" + std::to_string(x) + "\" y=\"" + y + "\"/>";
    };
    // The middle point's y is 150, written in hexadecimal.
    return "<Vector id=\"path" + std::to_string(k) + "\">" + point(chapterX(k - 1), "200") +
           point(chapterX(k) - 40, "#96") + point(chapterX(k), "200") + "</Vector>";
}

void writePaths(const std::string& vectors) {
    writeFile(ids::progressFile, "<Progress>" + vectors + "</Progress>");
}

// The scene the map plays over: it notes the chapter and level it is given, the field's stores of its values
// and its saves, in order.
class MapScene : public game::PibbleScene {
public:
    void setVibChapterAndLevel(std::int32_t chapter, std::int32_t level) override {
        calls.push_back("chapter " + std::to_string(chapter) + "." + std::to_string(level));
    }
    void saveProperties(kernel::NodeValue& /*properties*/) override { calls.emplace_back("store"); }
    void saveGame() override { calls.emplace_back("save"); }
    bool gameSaveFailed() const override { return saveFails; }
    std::vector<std::string> calls;
    bool saveFails = false;
};

class DialogProgressTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        game::resetGameGlobals();
        FrontendWorld::setText(ids::tooltipProgressPhoto, u"photo");
        writePaths([] {
            std::string all;
            for (int k = 2; k <= 10; ++k) {
                all += pathVector(k);
            }
            return all;
        }());
        ui::SoundSystem::create(44100, 32);
        writeFile("tone.wav", testsupport::wav(testsupport::tone(200)));
        kernel::PropertyStore::instance()->stringRef(ids::musicSelection) = "selection.wav";
        kernel::PropertyStore::instance()->stringRef(ids::musicGame) = "game.wav";
        for (const char* tune : {"selection.wav", "game.wav"}) {
            writeFile(tune, testsupport::wav(testsupport::tone(20000)));
        }
        addSounds();
        fieldtest::FieldWorld::addSection(
            ids::groupSceneProgress,
            {{ids::imageHintDialogLeft, testsupport::filled32(60, 40, 0xFF808080u)},
             {ids::imageHintDialogRight, testsupport::filled32(50, 30, 0xFF808080u)}});
        platform::PlayerManager::create()->addPlayer(new game::PibblePlayer("Ann"));
        makeField();
        scene = new MapScene();
        ui::RegisterScene(ids::scenePlayVib, scene);
        ui::RegisterScene(ids::sceneSelection, new frontendtest::ColourScene(frontendtest::targetColour));
        world.startIn(ids::scenePlayVib);
    }
    void TearDown() override {
        scene->removeAllDialogs();
        field->kill();
        game::PlayField::destroy();
        fieldRoot->removeDeadDescendants();
        game::LevelCatalogue::destroy();
        game::Random::destroy();
        platform::PlayerManager::destroy();
        ui::SoundSystem::destroy();
        game::resetGameGlobals();
    }

    // Chapter n's first level is n + 2 columns wide.
    void makeField() {
        for (const auto& [key, value] : fieldtest::fieldTuning) {
            fieldtest::FieldWorld::setInt(key, value);
        }
        writeFile("media/properties/collectables.xml", "<Rules><Vector id=\"collectables\" /></Rules>");
        game::Random::create()->setSeed(4711);
        std::string rows;
        for (int n = 1; n <= 10; ++n) {
            const std::string file = "chapter" + std::to_string(n) + ".xml";
            rows +=
                "<Level chapterNr=\"" + std::to_string(n) + "\" levelNr=\"1\" levelFile=\"" + file + "\"/>";
            const std::string row = "q" + std::string(static_cast<std::size_t>(n) + 2, 'x') + "q";
            writeFile("media/levels/" + file, fieldtest::levelXml({row, row}));
        }
        writeFile(game::LevelCatalogue::catalogueFile,
                  "<Levels><Vector id=\"levels\">" + rows + "</Vector></Levels>");
        game::LevelCatalogue::create()->load();
        field = game::PlayField::create();
        fieldRoot->addChild(field);
    }
    int fieldChapter() const { return field->getLevelFile() != nullptr ? field->columnCount() - 2 : 0; }

    void addSounds() {
        kernel::NodeValue declaration(ids::groupGameSounds, "Node");
        declaration.setChild(new kernel::ScalarValue("name", ids::groupGameSounds, kernel::Typing::Untyped));
        const kernel::SmartPtr<kernel::ResourceGroup> group = new kernel::ResourceGroup(declaration);
        for (const char* name : {ids::soundArrive, ids::soundChapterFinished, ids::soundPhotoAppears}) {
            group->addResource(name, sounds[name] = new testsupport::HeldResource(nullptr));
        }
        kernel::ResourceManager::instance()->addGroup(group);
        played();
    }
    // The sounds played since the last call.
    std::set<std::string> played() {
        std::set<std::string> names;
        for (const auto& [name, resource] : sounds) {
            const auto* sample = static_cast<ui::SoundSample*>(resource->get());
            if (sample != nullptr && sample->getLastPlayStart() != ui::SoundSample::PlayStart::None) {
                names.insert(name);
            }
            const kernel::SmartPtr<ui::SoundSample> fresh = new ui::SoundSample();
            fresh->load("tone.wav", 0);
            resource->hold(fresh.get());
        }
        return names;
    }
    // The tune fading in, or the one playing when none is.
    static std::string music() {
        const ui::SoundSystem* sound = ui::SoundSystem::instance();
        return sound->isCrossFading() ? sound->getOtherSlot().name : sound->currentMusicName();
    }

    // The player reached the chapter; the map opens with the chapter pending.
    DialogProgress* open(int highest, int pending = 0, bool fresh = false) {
        game::currentPlayer()->setVibProgress(highest, 1, game::difficultyNormal);
        game::setProgressMapChapter(pending, fresh);
        ui::Dialog* made = game::DialogPibble::openDialog(ids::dialogProgress, scene, true);
        EXPECT_TRUE(made != nullptr && made->isKindOf(DialogProgress::classInfo));
        map = static_cast<DialogProgress*>(made);
        return map;
    }
    void run(int ms) {
        for (int t = 0; t < ms; t += stepMs) {
            world.frame(stepMs);
        }
    }
    // Frames until the condition holds, at most maxMs; the time it took, or -1.
    int runUntil(const std::function<bool()>& condition, int maxMs = 20000) {
        for (int t = 0; t <= maxMs; t += stepMs) {
            if (condition()) {
                return t;
            }
            world.frame(stepMs);
        }
        return -1;
    }
    template <class Kind = ui::Sprite> Kind* part(const std::string& name) const {
        ui::GameNode* found = map->findComponent(name);
        EXPECT_TRUE(found != nullptr && found->isKindOf(Kind::classInfo)) << name;
        return static_cast<Kind*>(found);
    }
    ui::Button* button(int n) const { return part<ui::Button>(ids::chapterButtonPrefix + std::to_string(n)); }
    ui::Button* photo(int n) const { return part<ui::Button>(ids::chapterPhotoPrefix + std::to_string(n)); }
    ui::Sprite* line(int n) const { return part(ids::spriteLinePrefix + std::to_string(n)); }
    static void press(ui::Button* target) {
        ASSERT_NE(target, nullptr);
        target->invoke(target);
    }
    bool headAt(int chapter) const {
        return map->getHead()->getX() == chapterX(chapter) && map->getHead()->getY() == chapterY;
    }
    bool mapOpen() const { return scene->isDialogOpen(ids::dialogProgress); }

    FrontendWorld world{declarations()};
    MapScene* scene = nullptr;
    DialogProgress* map = nullptr;
    game::PlayField* field = nullptr;
    kernel::SmartPtr<ui::GameNode> fieldRoot = new ui::GameNode();
    std::map<std::string, testsupport::HeldResource*> sounds;
};

struct LayoutCase {
    int highest;
    int pending;
};

TEST_F(DialogProgressTest, ReachedChaptersShowTheirButtonPhotosAndLinesAndOnlyThePendingChapterTakesClicks) {
    for (const LayoutCase layout :
         {LayoutCase{1, 0}, LayoutCase{4, 0}, LayoutCase{10, 0}, LayoutCase{6, 6}, LayoutCase{6, 3}}) {
        SCOPED_TRACE("highest " + std::to_string(layout.highest) + ", pending " +
                     std::to_string(layout.pending));
        open(layout.highest, layout.pending);
        const int h = layout.highest;
        const int p = layout.pending;
        for (int n = 1; n <= 10; ++n) {
            SCOPED_TRACE(n);
            EXPECT_EQ(button(n)->isVisible(), n == h);
            EXPECT_EQ(button(n)->isEnabled(), n == h && (p == 0 || p == n));
            EXPECT_EQ(photo(n)->isVisible(), n < h);
            EXPECT_EQ(photo(n)->isEnabled(), n < h && p == 0);
            const kernel::WideString* tip = photo(n)->getToolTipText();
            EXPECT_EQ(tip != nullptr ? *tip : u"", n < h && p == 0 ? u"photo" : u"");
            EXPECT_EQ(line(n)->isVisible(), n <= h);
        }
        EXPECT_EQ(map->getHeadChapter(), h);
        if (p == 0) {
            EXPECT_TRUE(headAt(h));
        }
        for (const char* hidden : {ids::buttonHeadSmile, ids::spriteButtonAppear, ids::spritePlayerShine,
                                   ids::hintBackground, ids::hintLabel}) {
            EXPECT_FALSE(part(hidden)->isVisible()) << hidden;
        }
        scene->removeAllDialogs();
    }
}

TEST_F(DialogProgressTest, PlainOpeningPlaysTheSelectionMusicAndPulsesTheChoiceLabels) {
    open(4);
    EXPECT_EQ(music(), "selection.wav");
    EXPECT_FALSE(scene->isDialogOpen(ids::dialogLevelEnd));
    auto* label = part<ui::Label>(ids::labelChooseChapter);
    auto* blur = part<ui::Label>(ids::labelChooseChapterBlur);
    EXPECT_FALSE(label->isVisible());
    EXPECT_EQ(label->getAlpha(), 0);
    ASSERT_GE(runUntil([&] { return label->getAlpha() == 255; }), 450);
    EXPECT_TRUE(label->isVisible());
    EXPECT_EQ(blur->getAlpha(), 255);
    int lowest = 255;
    run(300);
    ASSERT_GE(runUntil([&] {
                  lowest = std::min(lowest, label->getAlpha());
                  return label->getModifierList().empty();
              }),
              0);
    EXPECT_EQ(lowest, 128);
    EXPECT_EQ(label->getAlpha(), 255);
    EXPECT_TRUE(played().empty());
}

TEST_F(DialogProgressTest, ANewChapterIsUnlockedAfterTheCarrotAndTheHeadWalksToIt) {
    open(3, 3, true);
    // The carrot of the finished chapter covers the map, the music fades away.
    EXPECT_TRUE(scene->isDialogOpen(ids::dialogLevelEnd));
    EXPECT_EQ(game::levelEndKind(), game::levelEndChapterFinished);
    EXPECT_EQ(played(), std::set<std::string>{ids::soundChapterFinished});
    EXPECT_FLOAT_EQ(ui::SoundSystem::instance()->getCurrentSlot().target, 0.0f);
    // The head stands on the finished chapter; the new one, its photo and line and the old photo are hidden.
    EXPECT_TRUE(headAt(2));
    for (ui::Sprite* hidden : {static_cast<ui::Sprite*>(button(3)), static_cast<ui::Sprite*>(photo(3)),
                               line(3), static_cast<ui::Sprite*>(photo(2))}) {
        EXPECT_FALSE(hidden->isVisible()) << hidden->getName();
    }
    // Held here, to see it go.
    const kernel::SmartPtr<ui::GameNode> copy = photo(2)->getNextSibling();
    ASSERT_TRUE(copy && copy->isKindOf(ui::Sprite::classInfo));
    EXPECT_EQ(static_cast<ui::Sprite*>(copy.get())->getWidth(), 30);

    ui::Sprite* shine = part(ids::spritePlayerShine);
    const int shown = runUntil([&] { return shine->isVisible(); });
    EXPECT_NEAR(shown, DialogProgress::shineDelayMs, 2 * stepMs);
    EXPECT_EQ(shine->getX(), chapterX(2));
    EXPECT_TRUE(part(ids::buttonHeadSmile)->isVisible());
    // The photo pops in when the shine is over, with its sound and the selection music.
    ASSERT_GE(runUntil([&] { return copy->isVisible(); }), 0);
    EXPECT_FALSE(shine->isVisible() && shine->getAlpha() > 0);
    run(stepMs);
    EXPECT_EQ(played(), std::set<std::string>{ids::soundPhotoAppears});
    EXPECT_EQ(music(), "selection.wav");
    EXPECT_FALSE(photo(2)->isVisible());
    ASSERT_GE(runUntil([&] { return photo(2)->isVisible(); }, 1000), 400);
    run(2 * stepMs);
    EXPECT_TRUE(copy->isDead() || copy->getParent() == nullptr);
    EXPECT_FALSE(photo(2)->isEnabled());
    // Then the new button, and the head walks while the line is drawn from its bottom edge.
    ASSERT_GE(runUntil([&] { return button(3)->isVisible(); }, 1000), 0);
    EXPECT_TRUE(part(ids::spriteButtonAppear)->isVisible());
    EXPECT_TRUE(button(3)->isEnabled());
    run(2 * stepMs);
    EXPECT_TRUE(line(3)->isVisible());
    ASSERT_NE(line(3)->getClipRect(), nullptr);
    const kernel::Rect early = *line(3)->getClipRect();
    EXPECT_EQ(early.x, 100);
    EXPECT_EQ(early.w, 50);
    EXPECT_LT(early.h, 2);
    EXPECT_EQ(early.y + early.h, 210);
    EXPECT_EQ(map->getHeadChapter(), 3);
    EXPECT_FALSE(headAt(2));
    const int walked = runUntil([&] { return map->getHead()->getModifierList().empty(); });
    EXPECT_NEAR(walked, DialogProgress::arrivalWalkMs, 4 * stepMs);
    EXPECT_TRUE(headAt(3));
    EXPECT_EQ(played(), std::set<std::string>{ids::soundArrive});
    EXPECT_EQ(*line(3)->getClipRect(), kernel::Rect(100, 190, 50, 20));
    EXPECT_FALSE(part(ids::buttonHeadSmile)->isVisible());
}

TEST_F(DialogProgressTest, AChapterFinishedAgainShinesThenWalksOnWithoutUnlocking) {
    open(5, 3);
    EXPECT_TRUE(scene->isDialogOpen(ids::dialogLevelEnd));
    EXPECT_TRUE(button(5)->isVisible());
    EXPECT_FALSE(button(5)->isEnabled());
    EXPECT_TRUE(photo(2)->isVisible());
    EXPECT_TRUE(photo(3)->isVisible());
    EXPECT_TRUE(headAt(2));
    ui::Sprite* shine = part(ids::spritePlayerShine);
    ASSERT_GE(runUntil([&] { return shine->isVisible(); }), 0);
    EXPECT_TRUE(headAt(2));
    ASSERT_GE(runUntil([&] { return shine->getModifierList().empty(); }), 0);
    EXPECT_FALSE(part(ids::buttonHeadSmile)->isVisible());
    EXPECT_EQ(music(), "selection.wav");
    const int walked = runUntil([&] { return map->getHead()->getModifierList().empty(); });
    EXPECT_NEAR(walked, DialogProgress::arrivalWalkMs, 4 * stepMs);
    EXPECT_TRUE(headAt(3));
    EXPECT_EQ(map->getHeadChapter(), 3);
    EXPECT_EQ(played().count(ids::soundPhotoAppears), 0u);
}

TEST_F(DialogProgressTest, TheHeadsChapterStartsAtItsFirstLevelWithTheScoreKeptAndWithoutASave) {
    open(4);
    field->setScore(1234);
    press(button(4));
    EXPECT_FALSE(mapOpen());
    EXPECT_EQ(scene->calls, std::vector<std::string>{"chapter 4.1"});
    EXPECT_EQ(fieldChapter(), 4);
    EXPECT_EQ(field->getScore(), 1234);
    EXPECT_EQ(field->state(), game::fieldState::ready);
    EXPECT_EQ(music(), "game.wav");
    EXPECT_EQ(game::pendingChapter(), 0);
}

TEST_F(DialogProgressTest, AnotherChapterIsOnlyWalkedToOnePathPerStepBackwardsWhenGoingDown) {
    open(5);
    // Going down runs each path from its end.
    const kernel::SmartPtr<ui::Path> down = map->pathSegment(5, 4);
    const kernel::SmartPtr<ui::Path> up = map->pathSegment(4, 5);
    ASSERT_TRUE(down && up);
    EXPECT_EQ(down->pointAt(0), graphics::PointF(250, 200));
    EXPECT_EQ(down->pointAt(down->getPointCount() - 1), graphics::PointF(200, 200));
    EXPECT_EQ(up->pointAt(0), graphics::PointF(200, 200));
    EXPECT_EQ(up->getPointCount(), 21);
    EXPECT_EQ(up->pointAt(10), graphics::PointF(210, 150));

    press(photo(2));
    EXPECT_TRUE(mapOpen());
    EXPECT_EQ(map->getWalkFrom(), 5);
    EXPECT_EQ(map->getWalkTo(), 2);
    // Clicks while the head walks are ignored.
    press(photo(1));
    press(part<ui::Button>(ids::buttonHead));
    EXPECT_EQ(map->getWalkTo(), 2);
    EXPECT_TRUE(scene->calls.empty());
    // Half way along each path, then on to its end.
    constexpr int halfWay = 370;
    int elapsed = 0;
    for (const int chapter : {4, 3, 2}) {
        SCOPED_TRACE(chapter);
        run(halfWay);
        EXPECT_GT(map->getHead()->getX(), chapterX(chapter));
        EXPECT_LT(map->getHead()->getX(), chapterX(chapter + 1));
        EXPECT_LT(map->getHead()->getY(), chapterY);
        elapsed += halfWay + runUntil([&] { return headAt(chapter); }, DialogProgress::walkMs);
        EXPECT_NEAR(elapsed, (5 - chapter) * DialogProgress::walkMs, 2 * stepMs);
        EXPECT_EQ(map->getHeadChapter(), chapter == 2 ? 2 : 5);
    }
    EXPECT_EQ(played(), std::set<std::string>{ids::soundArrive});
    EXPECT_TRUE(scene->calls.empty());
    // The head's chapter now starts from the head.
    press(part<ui::Button>(ids::buttonHead));
    EXPECT_EQ(scene->calls, std::vector<std::string>{"chapter 2.1"});
    EXPECT_EQ(fieldChapter(), 2);
}

TEST_F(DialogProgressTest, TheHintBubbleOpensBesideTheStandingHeadAndStartsItsChapter) {
    open(7);
    ui::Sprite* bubble = part(ids::hintBackground);
    auto* text = part<ui::Label>(ids::hintLabel);
    run(DialogProgress::hintDelayMs - 2 * stepMs);
    EXPECT_FALSE(bubble->isVisible());
    run(3 * stepMs);
    ASSERT_TRUE(bubble->isVisible());
    EXPECT_TRUE(text->isVisible());
    // Right of the middle, the bubble is the left one, left of the head.
    EXPECT_EQ(bubble->getWidth(), 60);
    EXPECT_EQ(bubble->getX(), chapterX(7) - 30 - 6);
    EXPECT_EQ(bubble->getY(), chapterY - 20 - 6);
    EXPECT_EQ(text->getX(), bubble->getX());
    run(200);
    EXPECT_EQ(bubble->getAlpha(), 255);

    // A walk fades it out, and it stays away until 1500 ms after the arrival.
    press(photo(2));
    run(200);
    EXPECT_FALSE(bubble->isVisible());
    EXPECT_FALSE(text->isVisible());
    ASSERT_GE(runUntil([&] {
                  EXPECT_FALSE(bubble->isVisible());
                  return map->getHeadChapter() == 2;
              }),
              0);
    run(DialogProgress::hintDelayMs - 2 * stepMs);
    EXPECT_FALSE(bubble->isVisible());
    run(3 * stepMs);
    ASSERT_TRUE(bubble->isVisible());
    EXPECT_EQ(bubble->getWidth(), 50);
    EXPECT_EQ(bubble->getX(), chapterX(2) + 25 + 6);
    EXPECT_EQ(bubble->getY(), chapterY - 15 - 6);

    EXPECT_FALSE(map->onLeftButtonDown(bubble->getX() - 5, bubble->getY() + 5, 0, false));
    EXPECT_TRUE(scene->calls.empty());
    EXPECT_TRUE(map->onLeftButtonDown(bubble->getX() + 5, bubble->getY() + 5, 0, false));
    EXPECT_EQ(scene->calls, std::vector<std::string>{"chapter 2.1"});
    EXPECT_FALSE(mapOpen());
}

// Play holds none of the map's pictures: a map reads those nobody asked the loader for as it is made, the
// hint bubble finds them while it stands, and they go with the last map (a map made while the one before is
// still going keeps them). Asked ahead, the loader reads them.
TEST_F(DialogProgressTest, TheMapReadsItsPicturesAsItIsMadeAndLetsThemGoWithTheLastMap) {
    std::string pictures;
    for (const auto& [id, width] :
         {std::pair{ids::imageHintDialogLeft, 60}, std::pair{ids::imageHintDialogRight, 50}}) {
        testsupport::PngPicture picture;
        picture.width = width;
        picture.height = 40;
        picture.samples.assign(static_cast<std::size_t>(width) * 40, 128);
        writeFile(std::string("media/images/progress/") + id + ".png", testsupport::encodePng(picture));
        pictures += std::string("<Image id=\"") + id + "\" file=\"media/images/progress/" + id + ".png\"/>";
    }
    writeFile("media/properties/map.xml",
              R"(<Resources><Vector id="Sections"><Node name="sceneprogress" auto="false">)" + pictures +
                  "</Node></Vector></Resources>");
    const kernel::SmartPtr<kernel::ValueDocument> document =
        new kernel::ValueDocument("media/properties/map.xml");
    document->load();
    kernel::ResourceManager* resources = kernel::ResourceManager::instance();
    resources->addGroup(new kernel::ResourceGroup(*document->getVector("Sections").at(0)));
    const auto loaded = [&](const char* id) {
        kernel::Resource* resource = resources->findResource(id, ids::groupSceneProgress);
        return resource != nullptr && resource->isLoaded() && resource->get() != nullptr;
    };
    EXPECT_FALSE(loaded(ids::imageHintDialogLeft));

    open(7);
    EXPECT_TRUE(loaded(ids::imageHintDialogLeft));
    EXPECT_TRUE(loaded(ids::imageHintDialogRight));
    run(DialogProgress::hintDelayMs + stepMs);
    ui::Sprite* bubble = part(ids::hintBackground);
    ASSERT_TRUE(bubble->isVisible());
    EXPECT_EQ(bubble->getWidth(), 60);

    game::DialogPibble::closeDialog(ids::dialogProgress);
    open(7);
    run(stepMs);
    EXPECT_TRUE(loaded(ids::imageHintDialogLeft));
    game::DialogPibble::closeDialog(ids::dialogProgress);
    map = nullptr;
    run(stepMs);
    EXPECT_FALSE(loaded(ids::imageHintDialogLeft));
    EXPECT_FALSE(loaded(ids::imageHintDialogRight));

    resources->setActive();
    DialogProgress::pictures.readAhead();
    EXPECT_TRUE(testsupport::eventually([&] { return loaded(ids::imageHintDialogLeft); }));
}

TEST_F(DialogProgressTest, LeavingForTheSelectionCommitsThePendingChapterFirst) {
    // Nothing pending: nothing committed.
    DialogProgress::startPendingChapter();
    EXPECT_TRUE(scene->calls.empty());

    open(6, 3);
    field->setScore(777);
    press(part<ui::Button>(ids::buttonMenu));
    EXPECT_EQ(scene->calls, (std::vector<std::string>{"chapter 3.1", "store", "save"}));
    EXPECT_EQ(fieldChapter(), 3);
    EXPECT_EQ(field->getScore(), 777);
    // Committing announces nothing: the field waits at its level.
    EXPECT_EQ(field->state(), game::fieldState::loaded);
    EXPECT_FALSE(mapOpen());
    EXPECT_EQ(game::pendingChapter(), 0);
    EXPECT_EQ(world.manager->nextScene(), world.manager->findScene(ids::sceneSelection));
    ASSERT_NE(world.manager->transitionScene(), nullptr);
}

// A commit that could not be saved is told before the way back, which waits for the box.
TEST_F(DialogProgressTest, ACommitThatCouldNotBeSavedIsToldBeforeLeaving) {
    open(6, 3);
    scene->saveFails = true;
    press(part<ui::Button>(ids::buttonMenu));
    EXPECT_EQ(scene->calls, (std::vector<std::string>{"chapter 3.1", "store", "save"}));
    ui::Dialog* box = scene->findDialog(ids::textSaveFailed);
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(mapOpen());
    EXPECT_EQ(world.manager->nextScene(), nullptr);
    auto* ok = static_cast<ui::Button*>(box->findComponent(ids::buttonOk));
    ASSERT_NE(ok, nullptr);
    ok->invoke(ok);
    EXPECT_FALSE(scene->isDialogOpen(ids::textSaveFailed));
    EXPECT_FALSE(mapOpen());
    EXPECT_EQ(world.manager->nextScene(), world.manager->findScene(ids::sceneSelection));
}

TEST_F(DialogProgressTest, ThePointerShowsAHandOnWhatTakesAClick) {
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    platform::Application* app = platform::Application::create("map test", 640, 480, false, 0, 101);
    const auto cursorAt = [&](int x, int y) {
        platform::pointerX = x;
        platform::pointerY = y;
        // Straight to the map: a frame's input dispatcher would put the pointer where the real one is.
        map->onUpdate(0);
        return app->getCursor() == host::LoadCursor(nullptr, host::MAKEINTRESOURCE(host::IDC_HAND));
    };
    open(4, 4);
    EXPECT_TRUE(cursorAt(chapterX(4) + 25, chapterY + 25)) << "the enabled chapter button";
    EXPECT_TRUE(cursorAt(chapterX(4) + 5, chapterY + 5)) << "the head";
    EXPECT_FALSE(cursorAt(chapterX(2) + 5, chapterY + 5)) << "a disabled photo";
    EXPECT_FALSE(cursorAt(400, 400));
    scene->removeAllDialogs();
    open(4);
    EXPECT_TRUE(cursorAt(chapterX(2) + 5, chapterY + 5)) << "an enabled photo";
    scene->removeAllDialogs();
    platform::closeApplicationDisplay();
    platform::Application::destroy();
}

TEST_F(DialogProgressTest, ABrokenPathsFileSkipsTheWalksItCannotFollow) {
    // path4 empty, path3 missing, path2's points without coordinates or not nodes at all.
    writePaths(pathVector(5) +
               "<Vector id=\"path4\"/><Vector id=\"path2\"><Node x=\"5\"/><Integer value=\"3\"/>"
               "</Vector><Node id=\"path6\"/>");
    open(5);
    for (const int k : {2, 3, 4, 6, 11}) {
        EXPECT_FALSE(map->pathSegment(k - 1, k)) << k;
    }
    press(photo(1));
    EXPECT_EQ(map->getWalkTo(), 1);
    ASSERT_GE(runUntil([&] { return map->getHeadChapter() == 1; }), DialogProgress::walkMs - stepMs);
    EXPECT_TRUE(headAt(4)) << "path 5 was walked; the rest had no way";
    scene->removeAllDialogs();

    // Cut short, or empty: every walk ends with the head put on its chapter; the unlock still plays out.
    writePaths("<Vector id=\"path3\"><Node x=\"1\" y=");
    open(3, 3, true);
    EXPECT_TRUE(headAt(3));
    ASSERT_GE(runUntil([&] { return map->getHead()->getModifierList().empty(); }), 0);
    EXPECT_TRUE(headAt(3));
    EXPECT_TRUE(button(3)->isVisible());
    scene->removeAllDialogs();
    writeFile(ids::progressFile, "");
    open(4);
    press(photo(2));
    ASSERT_GE(runUntil([&] { return map->getHeadChapter() == 2; }), 0);
    EXPECT_TRUE(headAt(2));
}

} // namespace
