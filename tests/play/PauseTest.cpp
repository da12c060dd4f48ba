// The pause and the menu over a real play scene, with the music's fades run as the game runs them each
// frame: the pause button and the window's lost focus stop the field, the clock and the music until a
// click takes the pause away; the menu's quit question goes back to the game or on to the selection scene.
#include "engine/ui/Button.h"
#include "engine/ui/SoundSystem.h"
#include "game/foundation/GameIds.h"
#include "game/foundation/PibbleScene.h"
#include "game/frontend/DialogMenu.h"
#include "game/frontend/DialogPause.h"
#include "game/frontend/TransitionScene.h"
#include "host/Window.h"

#include "PlayWorld.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using playtest::PlayWorld;
namespace ids = game::ids;
namespace kind = game::eventType;

const std::string dialogs =
    R"(<DialogPause id="DIALOG_PAUSE" width="640" height="480" autoenlarge="false"><Vector id="components">
         <Sprite name="LABEL_PAUSE_CONTINUE" x="270" y="400" width="100" height="30"/></Vector></DialogPause>
       <DialogMenu id="DIALOG_MENU" x="200" y="60" width="240" height="300"><Vector id="components">
         <Button name="BUTTON_HELP" x="40" y="20" width="160" height="160"/>
         <Button name="BUTTON_ALBUM" x="40" y="70" width="160" height="160"/>
         <Button name="BUTTON_SETTINGS" x="40" y="120" width="160" height="160"/>
         <Button name="BUTTON_QUIT" x="40" y="170" width="160" height="160"/>
         <Button name="BUTTON_CONTINUE" x="40" y="220" width="160" height="160"/></Vector></DialogMenu>
       <DialogPibble id="DIALOG_YESNO" x="200" y="300" width="240" height="100"><Vector id="components">
         <Label name="HEADER"/><Label name="MESSAGE"/>
         <Button name="BUTTON_YES" x="20" y="40" width="80" height="160"/>
         <Button name="BUTTON_NO" x="140" y="40" width="80" height="160"/></Vector></DialogPibble>)";

// The play scene's frame on a level that never ends: its field counts its moves and rests as a played one
// does, and a leave finds nothing left to wait for.
class EndlessPlayScene : public playtest::FramePlayScene {
public:
    using FramePlayScene::FramePlayScene;
    static kernel::Object* createInstance(kernel::Value& settings) {
        return settings.isNode() ? new EndlessPlayScene(settings.asNode()) : nullptr;
    }
    bool isLevelWon() override { return false; }
    bool isLevelLost() override { return false; }
    static constexpr kernel::ClassInfo classInfo{&playtest::FramePlayScene::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }
};
const kernel::ClassRegistrar endlessSceneRegistrar("PlaySceneEndless", EndlessPlayScene::createInstance);
constexpr playtest::SceneKind endlessScene{"PlaySceneEndless", ids::scenePlayAction, game::gameModeAction};

constexpr std::uint32_t stepMs = 16;
constexpr int fadeOutMs = 100;
// Long enough for the play scene's music fades.
constexpr int musicFrames = 30;

class PauseTest : public ::testing::Test {
protected:
    void SetUp() override {
        fieldtest::FieldWorld::setInt(ids::cfgPauseFadeOut, fadeOutMs);
        selection = new game::PibbleScene();
        ui::RegisterScene(ids::sceneSelection, selection);
        world.startPlaying();
        field = world.field();
        // The animation that held the field's count back until play began.
        field->decRunningAnimations();
        for (int i = 0; i < 100 && !playtest::fieldAtRest(field); ++i) {
            world.frame(stepMs);
        }
        ASSERT_TRUE(playtest::fieldAtRest(field));
        field->addListener(&heard);
        sound()->setMusicFade(1.0f, 1.0f, 0);
        // The buttons follow the field's state in the frame after it changed.
        frames(1);
    }
    void TearDown() override {
        if (game::PlayField::instance() == field) {
            field->removeListener(&heard);
        }
        world.scene->removeAllDialogs();
    }

    static ui::SoundSystem* sound() { return ui::SoundSystem::instance(); }
    // The sound system follows the scene in every frame, as in the game.
    void frames(int count) {
        for (int i = 0; i < count; ++i) {
            world.frame(stepMs);
            sound()->onFrame(stepMs);
        }
    }
    void clickAt(int x, int y) {
        platform::InputDispatcher* input = world.scene->getInputDispatcher();
        input->onWindowMessage(host::WM_LBUTTONDOWN, host::MK_LBUTTON,
                               static_cast<std::uint32_t>(host::MAKELPARAM(x, y)));
        input->onWindowMessage(host::WM_LBUTTONUP, 0, static_cast<std::uint32_t>(host::MAKELPARAM(x, y)));
        frames(1);
    }
    void click(const ui::GameNode* node) {
        ASSERT_TRUE(node != nullptr && node->isKindOf(ui::Sprite::classInfo));
        const auto* sprite = static_cast<const ui::Sprite*>(node);
        clickAt(sprite->getAbsoluteX() + sprite->getWidth() / 2,
                sprite->getAbsoluteY() + sprite->getHeight() / 2);
    }
    void focus(bool gained) {
        world.scene->onAppEvent(gained ? host::WM_SETFOCUS : host::WM_KILLFOCUS, 0, 0);
    }
    bool paused() const { return world.scene->isDialogOpen(ids::dialogPause); }
    // Frames until the pause has gone; false when it stays past its fade-out and a little more.
    bool untilResumed() {
        for (int t = 0; t < fadeOutMs + 100 && paused(); t += static_cast<int>(stepMs)) {
            frames(1);
        }
        return !paused();
    }

    PlayWorld world{dialogs, endlessScene};
    game::PibbleScene* selection = nullptr;
    game::PlayField* field = nullptr;
    fieldtest::RecordingListener heard;
};

TEST_F(PauseTest, ThePauseButtonStopsFieldClockAndMusicUntilAClick) {
    click(world.scene->getPauseButton());
    ASSERT_TRUE(paused());
    ASSERT_TRUE(world.scene->findDialog(ids::dialogPause)->isKindOf(game::DialogPause::classInfo));
    frames(musicFrames);
    EXPECT_TRUE(field->isPaused());
    EXPECT_FLOAT_EQ(sound()->musicFadeLevel(), 0.0f);
    const std::int32_t playMs = world.scene->getPlayMs();
    frames(30);
    EXPECT_EQ(world.scene->getPlayMs(), playMs) << "the clock stands";

    // The click goes to the pause alone, never to the field under it.
    clickAt(320, 240);
    EXPECT_TRUE(paused()) << "fading out";
    ASSERT_TRUE(untilResumed());
    frames(musicFrames);
    EXPECT_FALSE(field->isPaused());
    EXPECT_FLOAT_EQ(sound()->musicFadeLevel(), 1.0f);
    EXPECT_GT(world.scene->getPlayMs(), playMs);
    EXPECT_EQ(heard.types(), (std::vector<std::int32_t>{kind::paused, kind::resumed}));
    EXPECT_TRUE(world.scene->getOpenDialogs().empty());
}

// Getting the focus back does not end the pause: only a click does, and the music comes back with it.
TEST_F(PauseTest, LosingTheFocusPausesAndOnlyAClickResumes) {
    focus(false);
    ASSERT_TRUE(paused());
    frames(musicFrames);
    EXPECT_TRUE(field->isPaused());
    EXPECT_FLOAT_EQ(sound()->musicFadeLevel(), 0.0f);
    focus(true);
    frames(30);
    EXPECT_TRUE(paused());
    EXPECT_TRUE(field->isPaused());
    EXPECT_FLOAT_EQ(sound()->musicFadeLevel(), 0.0f);
    // A second loss puts no second pause over the first.
    focus(false);
    EXPECT_EQ(world.scene->getOpenDialogs().size(), 1u);

    clickAt(10, 10);
    ASSERT_TRUE(untilResumed());
    frames(musicFrames);
    EXPECT_FALSE(field->isPaused());
    EXPECT_FLOAT_EQ(sound()->musicFadeLevel(), 1.0f);
    EXPECT_EQ(heard.types(), (std::vector<std::int32_t>{kind::paused, kind::resumed}));
}

// No goes back to the game with nothing open; yes fades to the selection scene.
TEST_F(PauseTest, TheMenusQuitQuestionGoesBackToTheGameOrOnToTheSelection) {
    for (const bool yes : {false, true}) {
        SCOPED_TRACE(yes ? "yes" : "no");
        click(world.scene->getMenuButton());
        ui::Dialog* menu = world.scene->findDialog(ids::dialogMenu);
        ASSERT_TRUE(menu != nullptr && menu->isKindOf(game::DialogMenu::classInfo));
        frames(3);
        EXPECT_TRUE(field->isPaused());
        // The menu keeps the game still: losing the focus puts no pause over it.
        focus(false);
        EXPECT_FALSE(paused());
        focus(true);

        click(menu->findComponent(ids::buttonQuit));
        ui::Dialog* question = world.scene->findDialog(ids::textQuit);
        ASSERT_NE(question, nullptr);
        EXPECT_FALSE(world.scene->isDialogOpen(ids::dialogMenu));
        click(question->findComponent(yes ? ids::buttonYes : ids::buttonNo));
        EXPECT_TRUE(world.scene->getOpenDialogs().empty());
        if (!yes) {
            frames(3);
            EXPECT_FALSE(field->isPaused());
            EXPECT_EQ(world.manager->nextScene(), nullptr);
            continue;
        }
        const ui::SceneTransition* transition = world.manager->transitionScene();
        ASSERT_TRUE(transition != nullptr && transition->isKindOf(game::TransitionScene::classInfo));
        EXPECT_EQ(static_cast<const game::TransitionScene*>(transition)->getDuration(), 450);
        for (int i = 0; i < 200 && world.manager->currentScene() != selection; ++i) {
            frames(1);
        }
        EXPECT_EQ(world.manager->currentScene(), selection);
    }
}

} // namespace
