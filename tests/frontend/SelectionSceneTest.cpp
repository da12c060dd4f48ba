// The main menu over a real scene manager: the first entry without a profile (the profile dialog and the
// pulsing highlight) and with one (the offer to continue the last game); the hard-mode notices of later
// entries; the mode buttons with their saved-game and difficulty questions and what they hand the play
// scene; the music, the resource groups, the leave question that ends the program, and a declaration
// that lacks its parts.
#include "game/frontend/SelectionScene.h"

#include "engine/kernel/ResourceManager.h"
#include "engine/platform/Application.h"
#include "engine/platform/PlayerManager.h"
#include "engine/ui/DialogManager.h"
#include "engine/ui/PulseModifier.h"
#include "engine/ui/SoundSystem.h"
#include "game/foundation/GameGlobals.h"
#include "game/foundation/GameIds.h"
#include "game/foundation/PibblePlayer.h"
#include "game/foundation/PibbleScene.h"
#include "game/foundation/SavedGames.h"
#include "game/frontend/LoadingTransitionScene.h"
#include "host/System.h"
#include "host/Window.h"

#include "../kernel/ResourceTestSupport.h"
#include "FrontendWorld.h"
#include "SoundFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

namespace {

using frontendtest::ColourScene;
using frontendtest::FrontendWorld;
using game::SelectionScene;
using resourcetest::LoadGate;
using testsupport::eventually;
using Sighting = game::PibblePlayer::Sighting;
namespace ids = game::ids;

// Letters of the test font are 4 wide; buttons without pictures are a quarter of their declared height.
const char* const declarations = R"(<dialogs><Node id="dialogs">
  <SelectionScene id="SCENE_SELECTION" width="640" height="480"><Vector id="scenecomponents">
    <Sprite name="SPRITE_VIB_HIGHLIGHT" x="20" y="20" width="40" height="40" visible="false"/>
    <Button name="BUTTON_ACTION" x="100" y="100" width="40" height="160"/>
    <Button name="BUTTON_RELAX" x="200" y="100" width="40" height="160"/>
    <Button name="BUTTON_VIB" x="20" y="20" width="40" height="160"/>
    <Button name="BUTTON_HELP" x="300" y="100" width="40" height="160"/>
    <Button name="BUTTON_ALBUM" x="400" y="100" width="40" height="160"/>
    <Button name="BUTTON_SETTINGS" x="500" y="100" width="40" height="160"/>
    <Button name="BUTTON_LEAVE" x="580" y="400" width="40" height="160"/>
    <TextButton name="BUTTON_CHANGENAME" x="20" y="440" width="120" height="20">
      <Label id="label" font="FONT_OOGIEBOOGIE_20" section="preloading"/></TextButton>
    <Label name="LABEL_CHANGENAME_BLUR" x="21" y="441" font="FONT_OOGIEBOOGIE_20" section="preloading"/>
    <Label name="LABEL_WELCOME_BLUR" x="21" y="401" font="FONT_OOGIEBOOGIE_20" section="preloading"/>
    <Label name="LABEL_WELCOME" x="20" y="400" font="FONT_OOGIEBOOGIE_20" section="preloading"/>
  </Vector></SelectionScene>
  <SelectionScene id="SCENE_BARE" width="640" height="480"/>
  <DialogPibble id="DIALOG_YESNO" width="200" height="60"><Vector id="components">
    <Label name="MESSAGE" font="FONT_OOGIEBOOGIE_20" section="preloading"/>
    <Label name="HEADER" font="FONT_OOGIEBOOGIE_20" section="preloading"/>
    <Button name="BUTTON_YES" width="20" height="64"/><Button name="BUTTON_NO" width="20" height="64"/>
  </Vector></DialogPibble>
  <DialogPibble id="DIALOG_MESSAGE" width="200" height="60"><Vector id="components">
    <Label name="MESSAGE" y="20" font="FONT_OOGIEBOOGIE_20" section="preloading"/>
    <Label name="HEADER" font="FONT_OOGIEBOOGIE_20" section="preloading"/>
    <Button name="BUTTON_OK" width="20" height="64"/></Vector></DialogPibble>
  <DialogPibble id="DIALOG_DIFFICULTY" width="300" height="100"><Vector id="components">
    <Label name="MESSAGE" y="30" font="FONT_OOGIEBOOGIE_20" section="preloading"/>
    <Label name="HEADER" font="FONT_OOGIEBOOGIE_20" section="preloading"/>
    <Button name="BUTTON_NORMAL" width="20" height="64"/><Button name="BUTTON_HARD" width="20" height="64"/>
  </Vector></DialogPibble>
  <DialogPibble id="DIALOG_PROFILECREATE" width="200" height="100"/>
  <DialogPibble id="DIALOG_PROFILE" width="200" height="100"/>
  <DialogPibble id="DIALOG_HELP" width="200" height="100"/>
  <DialogPibble id="DIALOG_SETTINGS" width="200" height="100"/>
</Node></dialogs>)";

// The mode whose hard difficulty opens at level 5, chapter 5.
constexpr int unlockAt = 5;

class SelectionSceneTest : public ::testing::Test {
protected:
    void SetUp() override {
        game::resetGameGlobals();
        for (const auto& [key, text] :
             std::map<std::string, std::u16string>{{ids::textWelcome, u"Welcome"},
                                                   {ids::textWelcomeChangeName, u"Not you"},
                                                   {ids::textDifficulty, u"Which"},
                                                   {ids::textDifficultyHeader, u"Difficulty"}}) {
            FrontendWorld::setText(key, text);
        }
        for (const char* key :
             {ids::cfgHardModeUnlockAction, ids::cfgHardModeUnlockRelax, ids::cfgHardModeUnlockVib}) {
            kernel::PropertyStore::instance()->intRef(key) = unlockAt;
        }
        platform::PlayerManager::create();
        for (const char* name : {ids::scenePlayVib, ids::scenePlayAction, ids::scenePlayRelax}) {
            ui::RegisterScene(name, new ColourScene(frontendtest::targetColour));
        }
    }
    void TearDown() override {
        LoadGate::instance().openAll();
        if (scene != nullptr) {
            scene->removeAllDialogs();
        }
        platform::PlayerManager::destroy();
        game::resetGameGlobals();
    }

    SelectionScene* make(const char* declaration = ids::sceneSelection) {
        kernel::Object* made = ui::DialogManager::instance()->createDialog(declaration);
        EXPECT_TRUE(made != nullptr && made->isKindOf(SelectionScene::classInfo));
        scene = static_cast<SelectionScene*>(made);
        ui::RegisterScene(ids::sceneSelection, scene);
        return scene;
    }
    // Made and entered; the entry runs in the frame of the switch.
    SelectionScene& enter() {
        if (scene == nullptr) {
            make();
        }
        world.startIn(ids::sceneSelection);
        return *scene;
    }
    // Away to another scene and back: a later entry.
    void reenter() {
        world.manager->changeScene("SOURCE");
        world.frame();
        world.frame();
        world.manager->changeScene(ids::sceneSelection);
        world.frame();
        world.frame();
    }
    static game::PibblePlayer& addPlayer(const std::string& name = "Ann") {
        auto* player = new game::PibblePlayer(name);
        platform::PlayerManager::instance()->addPlayer(player);
        return *player;
    }
    static void writeSave(std::int32_t mode, const std::string& name = "Ann") {
        std::string path = game::SavegamePath(name, mode);
        std::replace(path.begin(), path.end(), '\\', '/');
        std::ofstream(path) << "<Level/>";
    }
    static void press(ui::Dialog& dialog, const char* name) {
        auto* button = static_cast<ui::Button*>(dialog.findComponent(name));
        ASSERT_NE(button, nullptr) << name;
        button->invoke(button);
    }
    // The play scene the loading transition is taking the game to; null when none.
    ui::Scene* startedPlayScene() const {
        ui::SceneTransition* transition = world.manager->transitionScene();
        if (transition == nullptr || !transition->isKindOf(game::LoadingTransitionScene::classInfo)) {
            return nullptr;
        }
        return world.manager->nextScene();
    }
    // The start asked for is called off before any frame has run it.
    void forgetStart() const {
        world.manager->setNextScene(nullptr);
        world.manager->setTransition(nullptr);
    }
    ui::Scene* playScene(const char* name) const { return world.manager->findScene(name); }
    std::string openKeys() const {
        std::string keys;
        for (const auto& dialog : scene->getOpenDialogs()) {
            keys += (keys.empty() ? "" : " ") + dialog->getName();
        }
        return keys;
    }

    FrontendWorld world{declarations};
    SelectionScene* scene = nullptr;
};

TEST_F(SelectionSceneTest, TheFirstStartWithoutAProfileOpensTheProfileDialogAndPulsesTheVibHighlight) {
    SelectionScene& menu = enter();
    EXPECT_FALSE(menu.isFirstEnter());
    EXPECT_EQ(openKeys(), ids::dialogProfileCreate);
    ui::Dialog* create = menu.findDialog(ids::dialogProfileCreate);
    EXPECT_TRUE(create->listenerList().isExclusive());
    ASSERT_NE(menu.getVibHighlight(), nullptr);
    EXPECT_TRUE(menu.getVibHighlight()->isVisible());
    ASSERT_EQ(menu.getVibHighlight()->getModifierList().size(), 1u);
    EXPECT_TRUE(
        menu.getVibHighlight()->getModifierList().items().front()->isKindOf(ui::PulseModifier::classInfo));
    for (const ui::GameNode* hidden : std::initializer_list<const ui::GameNode*>{
             menu.getWelcomeLabel(), menu.getWelcomeBlurLabel(), menu.getChangeNameButton(),
             menu.getChangeNameBlurLabel()}) {
        ASSERT_NE(hidden, nullptr);
        EXPECT_FALSE(hidden->isVisible());
    }

    // The profile made, the next entry greets the player and the highlight has done its work.
    menu.removeAllDialogs();
    addPlayer();
    // As the profile dialogs greet the new player, through the game scenes' base.
    game::PibbleScene::current()->updateWelcomeText();
    EXPECT_EQ(menu.getWelcomeLabel()->getText(), u"Welcome Ann");
    reenter();
    EXPECT_EQ(openKeys(), "");
    EXPECT_FALSE(menu.getVibHighlight()->isVisible());
    EXPECT_TRUE(menu.getVibHighlight()->getModifierList().empty());
    EXPECT_TRUE(menu.getWelcomeLabel()->isVisible());
    EXPECT_EQ(menu.getWelcomeLabel()->getText(), u"Welcome Ann");
    EXPECT_EQ(menu.getWelcomeBlurLabel()->getText(), u"Welcome Ann");
    EXPECT_EQ(menu.getChangeNameButton()->getLabel()->getText(), u"Not you");
    EXPECT_EQ(menu.getChangeNameBlurLabel()->getText(), u"Not you");
}

TEST_F(SelectionSceneTest, ALongNameIsShortenedToTheWelcomeWidth) {
    addPlayer(std::string(200, 'n'));
    SelectionScene& menu = enter();
    const std::u16string shown = menu.getWelcomeLabel()->getText();
    ASSERT_GE(shown.size(), 3u);
    EXPECT_EQ(shown.substr(shown.size() - 3), u"...");
    EXPECT_LE(menu.getWelcomeLabel()->getWidth(), SelectionScene::welcomeWidth);
    EXPECT_GT(menu.getWelcomeLabel()->getWidth(), SelectionScene::welcomeWidth - 12);
}

TEST_F(SelectionSceneTest, AFlagWhoseSavedGameIsGoneOffersNothingAndKeepsTheFlagUntilTheMenuIsLeft) {
    addPlayer().setGamemodeSaveFlag(game::gameModeAction);
    writeSave(game::gameModeRelax);
    SelectionScene& menu = enter();
    EXPECT_EQ(openKeys(), "");
    EXPECT_EQ(game::currentPlayer()->gamemodeSaveFlag(), game::gameModeAction);

    world.manager->changeScene("SOURCE");
    world.frame();
    world.frame();
    EXPECT_EQ(game::currentPlayer()->gamemodeSaveFlag(), game::gameModeNone);
    EXPECT_EQ(menu.getPendingScene(), "");
}

TEST_F(SelectionSceneTest, AFlagThatNamesNoModeOffersNothing) {
    addPlayer().setGamemodeSaveFlag(7);
    enter();
    EXPECT_EQ(openKeys(), "");
}

TEST_F(SelectionSceneTest, TheLastGameIsOfferedOnceAndYesContinuesItWithTheSeenFlagsKept) {
    game::PibblePlayer& player = addPlayer();
    player.setGamemodeSaveFlag(game::gameModeAction);
    player.setSeen(Sighting::Clown, true);
    writeSave(game::gameModeAction);
    SelectionScene& menu = enter();
    EXPECT_EQ(openKeys(), ids::textAutoContinue);
    EXPECT_EQ(player.gamemodeSaveFlag(), game::gameModeNone);
    EXPECT_EQ(menu.getPendingScene(), ids::scenePlayAction);
    EXPECT_EQ(startedPlayScene(), nullptr);

    press(*menu.findDialog(ids::textAutoContinue), ids::buttonYes);
    EXPECT_EQ(menu.findDialog(ids::textAutoContinue), nullptr);
    EXPECT_EQ(startedPlayScene(), playScene(ids::scenePlayAction));
    EXPECT_EQ(game::startKind(), game::startKindContinue);
    EXPECT_EQ(game::currentDifficulty(), game::difficultyFromSave);
    EXPECT_TRUE(player.hasSeen(Sighting::Clown));
}

TEST_F(SelectionSceneTest, NoToTheOfferStaysInTheMenuAndTheOfferIsNotMadeAgain) {
    game::PibblePlayer& player = addPlayer();
    player.setGamemodeSaveFlag(game::gameModeVib);
    writeSave(game::gameModeVib);
    SelectionScene& menu = enter();
    press(*menu.findDialog(ids::textAutoContinue), ids::buttonNo);
    EXPECT_EQ(openKeys(), "");
    EXPECT_EQ(startedPlayScene(), nullptr);
    player.setGamemodeSaveFlag(game::gameModeVib);
    reenter();
    EXPECT_EQ(openKeys(), "");
}

// The first entry announces nothing; each later one the first notice set, ACTION before RELAX before VIB.
TEST_F(SelectionSceneTest, UnlockedHardModesAreAnnouncedOnePerLaterEntryInTheirOrder) {
    addPlayer();
    game::setVibHardModeUnlockedNotice(true);
    game::setActionHardModeUnlockedNotice(true);
    game::setRelaxHardModeUnlockedNotice(true);
    SelectionScene& menu = enter();
    EXPECT_EQ(openKeys(), "");
    for (const char* notice :
         {ids::textUnlockActionHardMode, ids::textUnlockRelaxHardMode, ids::textUnlockVibHardMode, ""}) {
        SCOPED_TRACE(notice);
        reenter();
        EXPECT_EQ(openKeys(), notice);
        menu.removeAllDialogs();
    }
    EXPECT_FALSE(game::actionHardModeUnlockedNotice() || game::relaxHardModeUnlockedNotice() ||
                 game::vibHardModeUnlockedNotice());
}

TEST_F(SelectionSceneTest, WithHardModeLockedANewGameStartsAtOnceAtNormalDifficulty) {
    game::PibblePlayer& player = addPlayer();
    player.setSeen(Sighting::Party, true);
    player.setSeen(Sighting::Collectable, true);
    player.setHighestActionLevel(unlockAt, game::difficultyNormal);
    SelectionScene& menu = enter();
    menu.getRelaxButton()->invoke(menu.getRelaxButton());
    EXPECT_EQ(openKeys(), "");
    EXPECT_EQ(menu.getPendingScene(), ids::scenePlayRelax);
    EXPECT_EQ(startedPlayScene(), playScene(ids::scenePlayRelax));
    EXPECT_EQ(game::startKind(), game::startKindNew);
    EXPECT_EQ(game::currentDifficulty(), game::difficultyNormal);
    EXPECT_FALSE(player.hasSeen(Sighting::Party) || player.hasSeen(Sighting::Collectable));
}

TEST_F(SelectionSceneTest, WithHardModeUnlockedTheDifficultyIsAsked) {
    game::PibblePlayer& player = addPlayer();
    player.setHighestActionLevel(unlockAt, game::difficultyNormal);
    player.setVibProgress(unlockAt, 1, game::difficultyNormal);
    SelectionScene& menu = enter();
    for (const auto& [button, difficulty] : {std::pair{ids::buttonHard, game::difficultyHard},
                                             std::pair{ids::buttonNormal, game::difficultyNormal}}) {
        SCOPED_TRACE(button);
        game::resetGameGlobals();
        menu.getActionButton()->invoke(menu.getActionButton());
        ASSERT_EQ(openKeys(), ids::dialogDifficulty);
        ui::Dialog* question = menu.findDialog(ids::dialogDifficulty);
        EXPECT_TRUE(question->listenerList().isExclusive());
        EXPECT_EQ(static_cast<ui::Label*>(question->findComponent(ids::boxMessage))->getText(), u"Which");
        EXPECT_EQ(static_cast<ui::Label*>(question->findComponent(ids::boxHeader))->getText(), u"Difficulty");
        EXPECT_EQ(startedPlayScene(), nullptr);

        press(*question, button);
        EXPECT_EQ(menu.findDialog(ids::dialogDifficulty), nullptr);
        EXPECT_EQ(startedPlayScene(), playScene(ids::scenePlayAction));
        EXPECT_EQ(game::startKind(), game::startKindNew);
        EXPECT_EQ(game::currentDifficulty(), difficulty);
        forgetStart();
    }

    // Each mode asks by its own progress: VIB by its chapter.
    menu.getVibButton()->invoke(menu.getVibButton());
    EXPECT_EQ(openKeys(), ids::dialogDifficulty);
    menu.removeAllDialogs();
    menu.getRelaxButton()->invoke(menu.getRelaxButton());
    EXPECT_EQ(openKeys(), "");
}

TEST_F(SelectionSceneTest, ASavedGameIsOfferedYesContinuesAndNoStartsAfresh) {
    game::PibblePlayer& player = addPlayer();
    player.setHighestRelaxLevel(unlockAt, game::difficultyNormal);
    writeSave(game::gameModeRelax);
    SelectionScene& menu = enter();

    player.setSeen(Sighting::Stubborn, true);
    menu.getRelaxButton()->invoke(menu.getRelaxButton());
    ASSERT_EQ(openKeys(), ids::textSavegame);
    press(*menu.findDialog(ids::textSavegame), ids::buttonYes);
    EXPECT_EQ(openKeys(), "");
    EXPECT_EQ(startedPlayScene(), playScene(ids::scenePlayRelax));
    EXPECT_EQ(game::startKind(), game::startKindContinue);
    EXPECT_EQ(game::currentDifficulty(), game::difficultyFromSave);
    EXPECT_FALSE(player.hasSeen(Sighting::Stubborn));

    // No: the question goes and the new game's difficulty is asked, the mode's hard difficulty being open.
    game::resetGameGlobals();
    menu.getRelaxButton()->invoke(menu.getRelaxButton());
    press(*menu.findDialog(ids::textSavegame), ids::buttonNo);
    EXPECT_EQ(openKeys(), ids::dialogDifficulty);
    press(*menu.findDialog(ids::dialogDifficulty), ids::buttonHard);
    EXPECT_EQ(game::startKind(), game::startKindNew);
    EXPECT_EQ(game::currentDifficulty(), game::difficultyHard);
}

TEST_F(SelectionSceneTest, TheOtherButtonsOpenTheirDialogsOverTheMenu) {
    addPlayer();
    SelectionScene& menu = enter();
    for (const auto& [button, dialog] :
         {std::pair{menu.getHelpButton(), ids::dialogHelp},
          std::pair{menu.getSettingsButton(), ids::dialogSettings},
          std::pair<ui::Button*, const char*>{menu.getChangeNameButton(), ids::dialogProfile}}) {
        SCOPED_TRACE(dialog);
        button->invoke(button);
        EXPECT_EQ(openKeys(), dialog);
        EXPECT_TRUE(menu.findDialog(dialog)->listenerList().isExclusive());
        menu.removeAllDialogs();
    }
    // Without the album's manager the album button does nothing.
    menu.getAlbumButton()->invoke(menu.getAlbumButton());
    EXPECT_EQ(openKeys(), "");

    menu.getLeaveButton()->invoke(menu.getLeaveButton());
    ASSERT_EQ(openKeys(), ids::textLeave);
    press(*menu.findDialog(ids::textLeave), ids::buttonNo);
    EXPECT_EQ(openKeys(), "");
}

TEST_F(SelectionSceneTest, TheMenusTuneGoesOnWhenItPlaysAndIsFadedInWhenItDoesNot) {
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    const std::string tune = "menu.wav";
    std::ofstream(tune, std::ios::binary) << testsupport::wav(testsupport::tone(20000));
    kernel::PropertyStore::instance()->stringRef(ids::musicSelection) = tune;
    ui::SoundSystem* sound = ui::SoundSystem::create(44100, 32);
    addPlayer();

    ASSERT_TRUE(sound->startMusic(tune, 0x132));
    enter();
    EXPECT_FALSE(sound->isCrossFading());
    EXPECT_EQ(sound->currentMusicName(), tune);

    sound->stopAllMusic();
    reenter();
    EXPECT_TRUE(sound->isCrossFading());
    EXPECT_EQ(sound->getOtherSlot().name, tune);
    ui::SoundSystem::destroy();
}

// The loading scene's group and the play groups through the real loader thread, one load at a time.
class SelectionGroupsTest : public SelectionSceneTest {
protected:
    void SetUp() override {
        SelectionSceneTest::SetUp();
        std::string declared = resourcetest::section(ids::groupSceneLoad, resourcetest::gates("load", 1));
        for (const char* group : playGroups) {
            declared += resourcetest::section(group, resourcetest::gates(group, 1));
        }
        std::ofstream("groups.xml") << "<Resources>" + resourcetest::sections(declared) + "</Resources>";
        resources = kernel::ResourceManager::instance();
        resources->addDefinitionPath("groups.xml");
        resources->loadDefinitions();
        LoadGate::instance().reset(true);
        resources->setActive();
        ASSERT_TRUE(resources->loadGroup(ids::groupSceneLoad));
        ASSERT_TRUE(eventually([&] { return resources->isLoadingDone(); }));
        LoadGate::instance().reset(false);
    }
    bool loaded(const char* group) const {
        const kernel::Resource* resource = resources->findResource(std::string(group) + "0", group);
        return resource != nullptr && resource->isLoaded();
    }
    // Each group loads only after those requested before it.
    void expectPlayGroupsLoadInOrder() {
        for (std::size_t i = 0; i < std::size(playGroups); ++i) {
            SCOPED_TRACE(playGroups[i]);
            LoadGate::instance().allow(1);
            ASSERT_TRUE(eventually([&] { return loaded(playGroups[i]); }));
            for (std::size_t later = i + 1; later < std::size(playGroups); ++later) {
                EXPECT_FALSE(loaded(playGroups[later])) << playGroups[later];
            }
        }
        EXPECT_TRUE(eventually([&] { return resources->isLoadingDone(); }));
    }

    // Not the pause's nor the chapter map's: those read theirs as they are made.
    static constexpr const char* playGroups[] = {ids::groupGameSounds, ids::groupPibbles,
                                                 ids::groupScenePlay};
    kernel::ResourceManager* resources = nullptr;
};

// The menu and its dialogs show nothing of the play groups: they are asked for only once a mode is chosen.
// The loading scene is entered once a run, so entering the menu lets it go with its pictures.
TEST_F(SelectionGroupsTest, EntryLetsTheLoadingSceneGoAndAChosenModeRequestsThePlayGroupsInOrder) {
    const kernel::SmartPtr<ColourScene> loading = new ColourScene(frontendtest::sourceColour);
    ui::RegisterScene(ids::sceneLoading, loading.get());
    world.startIn(ids::sceneLoading);
    addPlayer();
    make();
    world.manager->changeScene(ids::sceneSelection);
    world.frame();
    EXPECT_EQ(resources->findResource("load0", ids::groupSceneLoad), nullptr);
    EXPECT_TRUE(loading->isDead());
    // Nothing is queued: with the gate closed, a requested group would hold the loader up.
    EXPECT_TRUE(resources->isLoadingDone());
    world.frame();
    world.frame();
    EXPECT_EQ(world.manager->findScene(ids::sceneLoading), nullptr);
    EXPECT_EQ(world.manager->currentScene(), scene);

    reenter();
    EXPECT_TRUE(resources->isLoadingDone());
    for (const char* group : playGroups) {
        EXPECT_FALSE(loaded(group)) << group;
    }

    scene->getVibButton()->invoke(scene->getVibButton());
    EXPECT_EQ(startedPlayScene(), playScene(ids::scenePlayVib));
    EXPECT_FALSE(resources->isLoadingDone());
    expectPlayGroupsLoadInOrder();
}

// A question about the saved game or the difficulty gives the loader a head start.
TEST_F(SelectionGroupsTest, TheLoaderStartsWhileTheSavedGameQuestionIsOpen) {
    addPlayer();
    writeSave(game::gameModeAction);
    SelectionScene& menu = enter();
    EXPECT_TRUE(resources->isLoadingDone());
    menu.getActionButton()->invoke(menu.getActionButton());
    ASSERT_EQ(openKeys(), ids::textSavegame);
    EXPECT_EQ(startedPlayScene(), nullptr);
    expectPlayGroupsLoadInOrder();

    // Loaded already: the start has nothing more to wait for.
    press(*menu.findDialog(ids::textSavegame), ids::buttonYes);
    EXPECT_EQ(startedPlayScene(), playScene(ids::scenePlayAction));
    EXPECT_TRUE(resources->isLoadingDone());
}

TEST_F(SelectionSceneTest, ADeclarationWithoutItsPartsStillEntersAndReportsWhatIsMissing) {
    addPlayer().setGamemodeSaveFlag(game::gameModeAction);
    writeSave(game::gameModeAction);
    host::testing::recordDebugOutput(true);
    make("SCENE_BARE");
    SelectionScene& menu = enter();
    const std::string reported = host::testing::takeDebugOutput();
    host::testing::recordDebugOutput(false);
    EXPECT_NE(reported.find(ids::spriteVibHighlight), std::string::npos);
    EXPECT_NE(reported.find(ids::labelWelcomeBlur), std::string::npos);
    EXPECT_EQ(menu.getWelcomeLabel(), nullptr);
    EXPECT_EQ(openKeys(), ids::textAutoContinue);
    menu.removeAllDialogs();
    reenter();
    EXPECT_EQ(openKeys(), "");
}

// Without the question's declaration the player could never start the mode: the game starts at normal
// difficulty instead.
TEST(SelectionSceneWithoutTheDifficultyQuestion, ANewGameStartsAtNormalDifficulty) {
    std::string withoutQuestion = declarations;
    const std::string id = "id=\"DIALOG_DIFFICULTY\"";
    withoutQuestion.replace(withoutQuestion.find(id), id.size(), "id=\"DIALOG_GONE\"");
    FrontendWorld world{withoutQuestion};
    game::resetGameGlobals();
    ui::RegisterScene(ids::scenePlayAction, new ColourScene(frontendtest::targetColour));
    platform::PlayerManager::create()->addPlayer(new game::PibblePlayer("Ann"));
    kernel::Object* made = ui::DialogManager::instance()->createDialog(ids::sceneSelection);
    ASSERT_TRUE(made != nullptr && made->isKindOf(SelectionScene::classInfo));
    auto* menu = static_cast<SelectionScene*>(made);
    ui::RegisterScene(ids::sceneSelection, menu);
    world.startIn(ids::sceneSelection);

    // The profile property table reads 0 for the unlock level, so every hard difficulty is open.
    ASSERT_TRUE(game::PibblePlayer::isHardModeUnlocked(game::gameModeAction));
    menu->getActionButton()->invoke(menu->getActionButton());
    EXPECT_TRUE(menu->getOpenDialogs().empty());
    EXPECT_EQ(world.manager->nextScene(), world.manager->findScene(ids::scenePlayAction));
    EXPECT_EQ(game::startKind(), game::startKindNew);
    EXPECT_EQ(game::currentDifficulty(), game::difficultyNormal);
    platform::PlayerManager::destroy();
    game::resetGameGlobals();
}

// Yes to the leave question is the window's close: under the dummy driver the program is told to quit.
TEST(SelectionSceneLeave, YesToTheLeaveQuestionEndsTheProgram) {
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    FrontendWorld world{declarations};
    platform::Application::create("selection test", 640, 480, false, 0, 101);
    platform::PlayerManager::create()->addPlayer(new game::PibblePlayer("Ann"));
    kernel::Object* made = ui::DialogManager::instance()->createDialog(ids::sceneSelection);
    ASSERT_TRUE(made != nullptr && made->isKindOf(SelectionScene::classInfo));
    auto* menu = static_cast<SelectionScene*>(made);
    ui::RegisterScene(ids::sceneSelection, menu);
    world.startIn(ids::sceneSelection);
    const auto quitPosted = [] {
        bool quit = false;
        host::MSG message{};
        while (host::PeekMessage(&message, nullptr, 0, 0, host::PM_REMOVE)) {
            quit = quit || message.message == host::WM_QUIT;
        }
        return quit;
    };
    // The message queue is the process's: an earlier test may have left a quit in it.
    quitPosted();

    menu->getLeaveButton()->invoke(menu->getLeaveButton());
    ui::Dialog* question = menu->findDialog(ids::textLeave);
    ASSERT_NE(question, nullptr);
    EXPECT_FALSE(quitPosted());
    auto* yes = static_cast<ui::Button*>(question->findComponent(ids::buttonYes));
    yes->invoke(yes);
    EXPECT_TRUE(quitPosted());

    menu->removeAllDialogs();
    platform::PlayerManager::destroy();
    platform::closeApplicationDisplay();
    platform::Application::destroy();
}

} // namespace
