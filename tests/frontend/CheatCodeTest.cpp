// The typed codes: the manager's matching of typed characters (leading and wrong characters, a code of
// another scene, codes typed across a dialog and a change of scene, characters that are no bytes), its
// place among the frame listeners; and what each of the selection scene's codes does in a scene that plays
// a level, in the menu and elsewhere, the visitor among them.
#include "game/frontend/CheatCodeManager.h"

#include "engine/kernel/NodeValue.h"
#include "engine/kernel/ResourceGroup.h"
#include "engine/kernel/ScalarValue.h"
#include "engine/platform/FrameTimer.h"
#include "engine/platform/PlayerManager.h"
#include "engine/ui/DelayModifier.h"
#include "engine/ui/DialogManager.h"
#include "engine/ui/FadeModifier.h"
#include "engine/ui/PathModifier.h"
#include "engine/ui/ResizeModifier.h"
#include "engine/ui/SceneRootNode.h"
#include "engine/ui/WidgetSupport.h"
#include "game/foundation/PibblePlayer.h"
#include "game/foundation/PibbleScene.h"
#include "game/frontend/LoadingScene.h"
#include "game/frontend/SelectionScene.h"
#include "host/Window.h"

#include "FrontendWorld.h"
#include "ResourceFolder.h"
#include "TestImages.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using frontendtest::FrontendWorld;
using game::CheatCodeManager;
namespace ids = game::ids;

// The selection scene's codes.
const std::string win = "plinkmarrowtidesx";
const std::string lose = "sowfernglimmerbat";
const std::string nextCollectable = "drumvale";
const std::string allCollectables = "copperlanthem";
const std::string allChapters = "trowelkin";
const std::string party = "brisketon";
const std::string visitor = "wobblestoneharvest";
const std::string nothing = "qzorbex";

const char* const declarations = R"(<dialogs><Node id="dialogs">
  <SelectionScene id="SCENE_SELECTION" width="640" height="480"/>
  <LoadingScene id="SCENE_LOADING" width="640" height="480"/>
  <DialogPibble id="DIALOG_OTHER" width="200" height="100"/>
</Node></dialogs>)";

// What the codes ask of a scene that plays a level, noted.
class NotingPlayScene : public game::PibbleScene {
public:
    bool playsLevel() const override { return true; }
    void finishLevelNow() override { calls.emplace_back("won"); }
    void failLevelNow() override { calls.emplace_back("lost"); }
    void takeCollectablePhoto(std::int32_t id) override { calls.push_back("photo " + std::to_string(id)); }
    void makeRandomPartyPibble() override { calls.emplace_back("party"); }
    std::vector<std::string> calls;
};

// A listener behind the manager's own, which hears what the manager lets through.
class CharacterNoter : public kernel::InputListener {
public:
    bool onChar(std::uint32_t code) override {
        heard.push_back(static_cast<char>(code));
        return false;
    }
    std::string heard;
};

struct Fired {
    std::string scene;
    char key;
};
std::vector<Fired> fired;

void noteCode(ui::Scene* scene, char key) {
    fired.push_back({scene != nullptr ? scene->getName() : std::string(), key});
}

class CheatCodeTest : public ::testing::Test {
protected:
    void SetUp() override {
        fired.clear();
        manager = CheatCodeManager::create();
        platform::PlayerManager::create();
        play = new NotingPlayScene();
        ui::RegisterScene("PLAY", play);
    }
    void TearDown() override {
        for (const char* name : {"SOURCE", "TARGET", "PLAY", ids::sceneSelection}) {
            if (ui::Scene* scene = world.manager->findScene(name)) {
                scene->removeAllDialogs();
            }
        }
        CheatCodeManager::destroy();
        platform::PlayerManager::destroy();
    }

    // As the window delivers them: queued by the manager and handed out at its frame.
    void type(const std::string& text) const {
        for (const char c : text) {
            manager->onAppEvent(host::WM_CHAR, static_cast<unsigned char>(c), 0);
        }
        manager->tick();
    }
    void switchTo(const char* name) {
        world.manager->changeScene(name);
        world.frame();
        world.frame();
    }
    static game::PibblePlayer& addPlayer() {
        auto* player = new game::PibblePlayer("Ann");
        platform::PlayerManager::instance()->addPlayer(player);
        return *player;
    }
    // The selection scene, registering its codes, and made current when asked.
    game::SelectionScene* makeSelection() {
        kernel::Object* made = ui::DialogManager::instance()->createDialog(ids::sceneSelection);
        EXPECT_TRUE(made != nullptr && made->isKindOf(game::SelectionScene::classInfo));
        auto* scene = static_cast<game::SelectionScene*>(made);
        ui::RegisterScene(ids::sceneSelection, scene);
        return scene;
    }

    FrontendWorld world{declarations};
    CheatCodeManager* manager = nullptr;
    NotingPlayScene* play = nullptr;
};

TEST_F(CheatCodeTest, LeadingCharactersAreTrimmedAwayAndTheCodeFiresInTheCurrentScene) {
    manager->registerCode(party, noteCode, 'a', nullptr);
    world.startIn("SOURCE");
    type("xx" + party.substr(0, 4));
    EXPECT_EQ(manager->getTyped(), party.substr(0, 4));
    type(party.substr(4));
    ASSERT_EQ(fired.size(), 1u);
    EXPECT_EQ(fired[0].scene, "SOURCE");
    EXPECT_EQ(fired[0].key, 'a');
    EXPECT_EQ(manager->getTyped(), "");
    // Typed again, it fires again.
    type(party);
    EXPECT_EQ(fired.size(), 2u);
}

TEST_F(CheatCodeTest, AWrongCharacterFiresNothingAndLeavesTheLongestTailThatBeginsACode) {
    manager->registerCode(allChapters, noteCode, 'h', nullptr);
    manager->registerCode(visitor, noteCode, 't', nullptr);
    world.startIn("SOURCE");
    // "trow" began the one code; with "o" only "wo" still begins a code, the other.
    type("trowobb");
    EXPECT_TRUE(fired.empty());
    EXPECT_EQ(manager->getTyped(), "wobb");
    type("lestoneharvest");
    ASSERT_EQ(fired.size(), 1u);
    EXPECT_EQ(fired[0].key, 't');

    type("trowe" + std::string("Lkin") + "TROWELKIN");
    EXPECT_EQ(fired.size(), 1u);
    EXPECT_EQ(manager->getTyped(), "");
}

TEST_F(CheatCodeTest, ACodeOfAnotherSceneStaysTypedUntilACharacterPushesItOut) {
    manager->registerCode(allCollectables, noteCode, 'c', world.target);
    world.startIn("SOURCE");
    type(allCollectables);
    EXPECT_TRUE(fired.empty());
    EXPECT_EQ(manager->getTyped(), allCollectables);
    type("z");
    EXPECT_EQ(manager->getTyped(), "");

    switchTo("TARGET");
    type(allCollectables);
    ASSERT_EQ(fired.size(), 1u);
    EXPECT_EQ(fired[0].scene, "TARGET");
}

// The manager hears every character itself, before any scene or dialog could keep it, and lets it on.
TEST_F(CheatCodeTest, ACodeTypedAcrossADialogAndASceneChangeFiresInTheSceneCurrentAtItsEnd) {
    manager->registerCode(win, noteCode, 'w', nullptr);
    kernel::ListenerGroup behind;
    CharacterNoter noter;
    behind.setCurrent(&noter);
    manager->addListener(&behind);
    world.startIn("SOURCE");
    world.source->showDialog(world.source->createDialog("DIALOG_OTHER", true));

    type(win.substr(0, 6));
    switchTo("TARGET");
    type(win.substr(6));
    ASSERT_EQ(fired.size(), 1u);
    EXPECT_EQ(fired[0].scene, "TARGET");
    EXPECT_EQ(noter.heard, win);
    manager->removeListener(&behind);
}

TEST_F(CheatCodeTest, ACharacterBeyondAByteIsPartOfNoCode) {
    manager->registerCode(party, noteCode, 'a', nullptr);
    type("bris");
    manager->typeCharacter(0x0162);
    EXPECT_EQ(manager->getTyped(), "");
    // The character's low byte would have gone on with the code.
    type("brisket");
    manager->typeCharacter(0x016F);
    type("n");
    EXPECT_TRUE(fired.empty());
}

TEST_F(CheatCodeTest, ARegistrationReplacesTheOneBeforeAndAnEmptyCodeIsNotKept) {
    manager->registerCode(party, noteCode, 'a', world.target);
    manager->registerCode(party, noteCode, 'b', nullptr);
    manager->registerCode("", noteCode, 'e', nullptr);
    ASSERT_EQ(manager->getCodes().size(), 1u);
    world.startIn("SOURCE");
    type(party);
    ASSERT_EQ(fired.size(), 1u);
    EXPECT_EQ(fired[0].key, 'b');
}

// Created after the timer's first listeners, the manager is ticked after them; destroyed, it leaves the
// timer.
TEST(CheatCodeManagerLife, ItIsAFrameListenerUntilItIsDestroyed) {
    fired.clear();
    platform::FrameTimer* timer = platform::FrameTimer::create();
    timer->setFps(0);
    CheatCodeManager* manager = CheatCodeManager::create();
    EXPECT_EQ(CheatCodeManager::create(), manager);
    EXPECT_EQ(timer->listenerCount(), 1u);
    manager->registerCode(nothing, noteCode, 'q', nullptr);
    for (const char c : nothing) {
        manager->onAppEvent(host::WM_CHAR, static_cast<unsigned char>(c), 0);
    }
    EXPECT_TRUE(fired.empty());
    timer->step();
    EXPECT_EQ(fired.size(), 1u);

    CheatCodeManager::destroy();
    EXPECT_EQ(CheatCodeManager::instance(), nullptr);
    timer->step();
    EXPECT_EQ(timer->listenerCount(), 0u);
    platform::FrameTimer::destroy();
}

// The selection scene's codes.

TEST_F(CheatCodeTest, WithoutAProfileEveryCodeOnlyClearsWhatWasTyped) {
    makeSelection();
    world.startIn("PLAY");
    type(win + lose + party + nextCollectable);
    EXPECT_TRUE(play->calls.empty());
    EXPECT_EQ(manager->getTyped(), "");
}

TEST_F(CheatCodeTest, TheLevelCodesActInAScenePlayingALevelOnly) {
    addPlayer();
    makeSelection();
    world.startIn("PLAY");
    type(win + lose + party + nothing);
    EXPECT_EQ(play->calls, (std::vector<std::string>{"won", "lost", "party"}));

    play->calls.clear();
    switchTo(ids::sceneSelection);
    type(win + lose + party);
    switchTo("SOURCE");
    type(win + lose + party + nextCollectable);
    EXPECT_TRUE(play->calls.empty());
    EXPECT_EQ(game::currentPlayer()->queuedCollectableCount(), 0);
}

TEST_F(CheatCodeTest, TheCollectableCodeTakesTheFirstOneNotClaimed) {
    game::PibblePlayer& player = addPlayer();
    player.claimCollectable(1);
    player.claimCollectable(2);
    player.queueCollectable(5);
    player.queueCollectable(3);
    makeSelection();
    world.startIn("PLAY");
    type(nextCollectable);
    EXPECT_EQ(play->calls, std::vector<std::string>{"photo 3"});
    EXPECT_EQ(player.queuedCollectableCount(), 2);

    // The photo here claims nothing: the same one is taken again, and not queued twice.
    type(nextCollectable);
    EXPECT_EQ(play->calls.back(), "photo 3");
    EXPECT_EQ(player.queuedCollectableCount(), 2);

    player.claimCollectable(3);
    type(nextCollectable);
    EXPECT_EQ(play->calls.back(), "photo 4");
    EXPECT_TRUE(player.isCollectableQueued(4));
}

TEST_F(CheatCodeTest, TheAlbumAndChapterCodesActInTheMenuOnly) {
    game::PibblePlayer& player = addPlayer();
    player.queueCollectable(7);
    makeSelection();
    world.startIn("PLAY");
    type(allCollectables);
    EXPECT_EQ(player.claimedCollectableCount(), 0);
    EXPECT_EQ(manager->getTyped(), allCollectables);
    type(allChapters);
    EXPECT_EQ(player.highestVibChapter(game::difficultyNormal), 1);

    switchTo(ids::sceneSelection);
    type(allCollectables);
    EXPECT_EQ(player.claimedCollectableCount(), game::PibblePlayer::collectableCount);
    EXPECT_EQ(player.queuedCollectableCount(), 0);
    EXPECT_NE(player.claimTime(30), 0);
    type(allChapters);
    EXPECT_EQ(player.highestVibChapter(game::difficultyNormal), 11);
    EXPECT_EQ(player.highestVibLevel(game::difficultyNormal), 1);
    EXPECT_EQ(player.highestVibChapter(game::difficultyHard), 1);
}

// The visitor.

constexpr int visitorW = 20;
constexpr int visitorH = 10;

void addVisitorPicture() {
    kernel::NodeValue declaration(ids::groupPibbles, "Node");
    declaration.setChild(new kernel::ScalarValue("name", ids::groupPibbles, kernel::Typing::Untyped));
    const kernel::SmartPtr<kernel::ResourceGroup> group = new kernel::ResourceGroup(declaration);
    const testsupport::Image32 picture = testsupport::filled32(visitorW, visitorH, 0xFF00FF00u);
    group->addResource(ids::pibbleVisitor, new testsupport::HeldResource(picture.get(), "visitor.png"));
    kernel::ResourceManager::instance()->addGroup(group);
}

ui::GameNode* lastChild(const ui::Scene& scene) {
    ui::GameNode* last = nullptr;
    for (ui::GameNode* child = scene.getRootNode()->getFirstChild(); child != nullptr;
         child = child->getNextSibling()) {
        last = child;
    }
    return last;
}

ui::Sprite* lastChildVisitor(const ui::Scene& scene) {
    ui::GameNode* last = lastChild(scene);
    const graphics::ImageBase* picture = ui::findImage(ids::pibbleVisitor, ids::groupPibbles);
    return last != nullptr && last->isKindOf(ui::Sprite::classInfo) && picture != nullptr &&
                   static_cast<ui::Sprite*>(last)->getImage() == picture
               ? static_cast<ui::Sprite*>(last)
               : nullptr;
}

// It comes over the open dialog, grows while flying in to the middle, stays, flies off shrinking and fading
// and is gone after 6000 ms.
TEST_F(CheatCodeTest, TheVisitorFliesInOverEverythingStaysAndIsGoneAfterSixSeconds) {
    addPlayer();
    addVisitorPicture();
    makeSelection();
    world.startIn("PLAY");
    play->showDialog(play->createDialog("DIALOG_OTHER", true));
    type(visitor);
    ui::Sprite* guest = lastChildVisitor(*play);
    ASSERT_NE(guest, nullptr);
    EXPECT_EQ(guest->getAnchor(), ui::Sprite::Center);
    const std::vector<ui::Modifier*> modifiers = guest->getModifierList().items();
    const kernel::ClassInfo* kinds[] = {&ui::PathModifier::classInfo,   &ui::FadeModifier::classInfo,
                                        &ui::ResizeModifier::classInfo, &ui::DelayModifier::classInfo,
                                        &ui::PathModifier::classInfo,   &ui::ResizeModifier::classInfo,
                                        &ui::DelayModifier::classInfo,  &ui::FadeModifier::classInfo};
    ASSERT_EQ(modifiers.size(), std::size(kinds));
    for (std::size_t i = 0; i < modifiers.size(); ++i) {
        EXPECT_EQ(modifiers[i]->getClassInfo(), kinds[i]) << i;
    }
    EXPECT_TRUE(modifiers[5]->hasFlag(ui::Modifier::killNode));

    const kernel::SmartPtr<ui::Sprite> held(guest);
    int clock = 0;
    const auto runTo = [&](int ms) {
        for (; clock < ms; clock += 50) {
            world.frame(50);
        }
    };
    runTo(100);
    EXPECT_LT(guest->getX(), 320);
    EXPECT_LT(guest->getY(), 240);
    runTo(2500);
    EXPECT_EQ(guest->getX(), 320);
    EXPECT_EQ(guest->getY(), 240);
    EXPECT_EQ(guest->getAlpha(), 255);
    ASSERT_NE(guest->getDisplayRect(), nullptr);
    EXPECT_EQ(guest->getDisplayRect()->w, 2 * visitorW);
    EXPECT_EQ(guest->getDisplayRect()->h, 2 * visitorH);
    runTo(4950);
    EXPECT_GT(guest->getX(), 320);
    EXPECT_LT(guest->getY(), 240);
    EXPECT_EQ(guest->getAlpha(), 255);
    runTo(5850);
    EXPECT_LT(guest->getAlpha(), 255);
    EXPECT_EQ(guest->getParent(), play->getRootNode());
    runTo(6100);
    EXPECT_EQ(guest->getParent(), nullptr);
}

TEST_F(CheatCodeTest, TheVisitorStaysAwayFromTheLoadingSceneAndWhileItsPictureIsMissing) {
    addPlayer();
    makeSelection();
    world.startIn("SOURCE");
    const ui::GameNode* before = lastChild(*world.source);
    type(visitor);
    EXPECT_EQ(manager->getTyped(), "");
    EXPECT_EQ(lastChild(*world.source), before);

    addVisitorPicture();
    type(visitor);
    EXPECT_NE(lastChildVisitor(*world.source), nullptr);

    kernel::Object* loading = ui::DialogManager::instance()->createDialog(ids::sceneLoading);
    ASSERT_TRUE(loading != nullptr && loading->isKindOf(game::LoadingScene::classInfo));
    ui::RegisterScene(ids::sceneLoading, static_cast<ui::Scene*>(loading));
    switchTo(ids::sceneLoading);
    type(visitor);
    EXPECT_EQ(lastChildVisitor(*static_cast<ui::Scene*>(loading)), nullptr);
}

} // namespace
