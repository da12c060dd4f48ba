#include "game/frontend/SelectionScene.h"

#include "engine/kernel/NodeValue.h"
#include "engine/kernel/ObjectFactory.h"
#include "engine/kernel/PropertyStore.h"
#include "engine/kernel/ResourceManager.h"
#include "engine/platform/Application.h"
#include "engine/platform/PlayerManager.h"
#include "engine/ui/FullScreenHandler.h"
#include "engine/ui/PulseModifier.h"
#include "engine/ui/Scene.h"
#include "engine/ui/SceneManager.h"
#include "engine/ui/SoundSystem.h"
#include "game/foundation/GameGlobals.h"
#include "game/foundation/GameIds.h"
#include "game/foundation/GameUtilities.h"
#include "game/foundation/PibblePlayer.h"
#include "game/foundation/SavedGames.h"
#include "game/frontend/AlbumPictures.h"
#include "game/frontend/CheatCodeManager.h"
#include "game/frontend/DialogPibble.h"
#include "game/frontend/LoadingScene.h"
#include "game/frontend/LoadingTransitionScene.h"
#include "game/frontend/Visitor.h"
#include "host/System.h"

#include <initializer_list>
#include <string>
#include <utility>

namespace game {

namespace {

const kernel::ClassRegistrar registerSelectionScene("SelectionScene", SelectionScene::createInstance);

// The highlight over the VIB button pulses between these alphas until the menu is entered again.
constexpr int highlightBright = 255;
constexpr int highlightDim = 128;
constexpr int highlightFadeMs = 300;

// What the play scenes need, requested once the player has chosen a mode: the menu and its dialogs never
// show them, and the loader has them in before the loading transition's first fade has ended.
// The pause and the chapter map read their own pictures when they are made.
constexpr const char* playGroups[] = {ids::groupGameSounds, ids::groupPibbles, ids::groupScenePlay};

// The typed codes, by the key letter their handler switches on; the first has no handler.
struct Code {
    const char* text;
    char key;
    bool selectionOnly;
};
constexpr Code codes[] = {
    {"qzorbex", 0, false},     {"plinkmarrowtidesx", 'w', false}, {"sowfernglimmerbat", 'l', false},
    {"drumvale", 'u', false},  {"copperlanthem", 'c', true},      {"trowelkin", 'h', true},
    {"brisketon", 'a', false}, {"wobblestoneharvest", 't', false}};
// The VIB progress past the last chapter, at normal difficulty.
constexpr std::int32_t chapterPastTheLast = 11;

bool hasProfile() {
    const platform::PlayerManager* players = platform::PlayerManager::instance();
    return players != nullptr && players->hasPlayers();
}

std::string playerName() {
    const PibblePlayer* player = currentPlayer();
    return player != nullptr ? player->getName() : std::string();
}

// By game mode: 0 VIB, 1 ACTION, 2 RELAX; null for any other number.
const char* playSceneOf(std::int32_t mode) {
    switch (mode) {
    case gameModeVib:
        return ids::scenePlayVib;
    case gameModeAction:
        return ids::scenePlayAction;
    case gameModeRelax:
        return ids::scenePlayRelax;
    default:
        return nullptr;
    }
}

std::int32_t modeOf(const std::string& playScene) {
    for (const std::int32_t mode : {gameModeVib, gameModeAction, gameModeRelax}) {
        if (playScene == playSceneOf(mode)) {
            return mode;
        }
    }
    return gameModeNone;
}

SelectionScene& sceneOf(void* receiver) {
    return *static_cast<SelectionScene*>(receiver);
}

void setLabelText(ui::Label* label, const char* textKey) {
    if (label != nullptr) {
        label->setText(kernel::PropertyStore::getText(textKey));
    }
}

// The first collectable the player has not claimed goes through the photograph, as if a match had removed
// it.
void takeNextCollectable(PibbleScene& scene, PibblePlayer& player) {
    for (std::int32_t id = 1; id <= PibblePlayer::collectableCount; ++id) {
        if (player.isCollectableClaimed(id)) {
            continue;
        }
        if (!player.isCollectableQueued(id)) {
            player.queueCollectable(id);
        }
        scene.takeCollectablePhoto(id);
        return;
    }
}

void claimEveryCollectable(PibblePlayer& player) {
    for (std::int32_t id = 1; id <= PibblePlayer::collectableCount; ++id) {
        if (player.isCollectableClaimed(id)) {
            continue;
        }
        if (!player.isCollectableQueued(id)) {
            player.queueCollectable(id);
        }
        player.claimCollectable(id);
    }
}

} // namespace

SelectionScene::SelectionScene(kernel::NodeValue& settings) : PibbleScene(settings) {
    registerCheatCodes();
}

SelectionScene::~SelectionScene() = default;

kernel::Object* SelectionScene::createInstance(kernel::Value& settings) {
    return settings.isNode() ? new SelectionScene(settings.asNode()) : nullptr;
}

// Two codes act only while this scene is current; the others anywhere.
void SelectionScene::registerCheatCodes() {
    CheatCodeManager* manager = CheatCodeManager::instance();
    if (manager == nullptr) {
        return;
    }
    for (const Code& code : codes) {
        manager->registerCode(code.text, code.key != 0 ? onCheatCode : nullptr, code.key,
                              code.selectionOnly ? this : nullptr);
    }
}

void SelectionScene::bind() {
    createDefaultToolTip();
    findComponents();
    bindButtons();
}

void SelectionScene::findComponents() {
    vibHighlight = findNamed<ui::Sprite>(ids::spriteVibHighlight);
    actionButton = findNamed<ui::Button>(ids::buttonAction);
    relaxButton = findNamed<ui::Button>(ids::buttonRelax);
    vibButton = findNamed<ui::Button>(ids::buttonVib);
    helpButton = findNamed<ui::Button>(ids::buttonHelp);
    albumButton = findNamed<ui::Button>(ids::buttonAlbum);
    settingsButton = findNamed<ui::Button>(ids::buttonSettings);
    leaveButton = findNamed<ui::Button>(ids::buttonLeave);
    changeNameButton = findNamed<ui::TextButton>(ids::buttonChangeName);
    changeNameBlurLabel = findNamed<ui::Label>(ids::labelChangeNameBlur);
    welcomeLabel = findNamed<ui::Label>(ids::labelWelcome);
    welcomeBlurLabel = findNamed<ui::Label>(ids::labelWelcomeBlur);
}

// A declaration without the component (or with one of another kind) leaves the field null, and every
// step that uses it skips it.
template <class T> kernel::SmartPtr<T> SelectionScene::findNamed(const char* name) {
    ui::GameNode* found = findComponent(name);
    if (found == nullptr || !found->isKindOf(T::classInfo)) {
        host::OutputDebugString(
            ("SelectionScene: " + getName() + " has no component " + name + "\n").c_str());
        return nullptr;
    }
    return static_cast<T*>(found);
}

void SelectionScene::bindButtons() {
    const std::pair<const char*, ui::WidgetCallback::Function> buttons[] = {
        {ids::buttonAction, onActionClicked}, {ids::buttonRelax, onRelaxClicked},
        {ids::buttonVib, onVibClicked},       {ids::buttonHelp, onHelpClicked},
        {ids::buttonAlbum, onAlbumClicked},   {ids::buttonSettings, onSettingsClicked},
        {ids::buttonLeave, onLeaveClicked},   {ids::buttonChangeName, onChangeNameClicked}};
    for (const auto& [name, handler] : buttons) {
        bindCallback(name, this, handler, listenerList());
    }
}

void SelectionScene::onEnter() {
    PibbleScene::onEnter();
    updateWelcomeText();
    platform::setApplicationCursor(platform::cursorArrow);
    if (firstEnter) {
        enterFirstTime();
        firstEnter = false;
    } else {
        announceHardMode();
        if (vibHighlight) {
            vibHighlight->setVisible(false);
            vibHighlight->removeAllModifiers();
        }
    }
    playSelectionMusic();
    releaseLoadingScene();
}

void SelectionScene::onLeave() {
    PibbleScene::onLeave();
    if (PibblePlayer* player = hasProfile() ? currentPlayer() : nullptr) {
        player->setGamemodeSaveFlag(gameModeNone);
    }
}

// Without a profile the player is led to make one, the VIB button lit as the way to start.
void SelectionScene::enterFirstTime() {
    if (hasProfile()) {
        offerAutoContinue();
        return;
    }
    if (vibHighlight) {
        vibHighlight->setVisible(true);
        vibHighlight->addModifier(
            new ui::PulseModifier(highlightBright, highlightDim, highlightFadeMs, highlightFadeMs, 0, 0, -1));
    }
    if (!isDialogOpen(ids::dialogProfileCreate)) {
        DialogPibble::openDialog(ids::dialogProfileCreate, this, true);
    }
}

// The game that ran when the program last ended, offered once. A flag that names no mode (a damaged
// profile) offers nothing.
void SelectionScene::offerAutoContinue() {
    PibblePlayer* player = currentPlayer();
    if (player == nullptr) {
        return;
    }
    const char* playScene = playSceneOf(player->gamemodeSaveFlag());
    if (playScene == nullptr || !SavegameExists(player->getName(), player->gamemodeSaveFlag()) ||
        isDialogOpen(ids::textAutoContinue)) {
        return;
    }
    pendingScene = playScene;
    DialogPibble::showYesNo(ids::textAutoContinue, ids::textAutoContinueHeader, this, onAutoContinueYes,
                            nullptr, nullptr, this);
    player->setGamemodeSaveFlag(gameModeNone);
}

// One notice per entry, ACTION first: a second unlocked mode waits for the next return to the menu.
void SelectionScene::announceHardMode() {
    struct Notice {
        bool (*isSet)();
        void (*set)(bool);
        const char* text;
    };
    const Notice notices[] = {
        {actionHardModeUnlockedNotice, setActionHardModeUnlockedNotice, ids::textUnlockActionHardMode},
        {relaxHardModeUnlockedNotice, setRelaxHardModeUnlockedNotice, ids::textUnlockRelaxHardMode},
        {vibHardModeUnlockedNotice, setVibHardModeUnlockedNotice, ids::textUnlockVibHardMode}};
    for (const Notice& notice : notices) {
        if (notice.isSet()) {
            notice.set(false);
            DialogPibble::showMessage(notice.text, ids::textUnlockHeader, nullptr, nullptr, this);
            return;
        }
    }
}

// Back from a game the menu's tune returns; one that plays already (or fades in already) goes on.
void SelectionScene::playSelectionMusic() {
    const std::string tune = propertyString(ids::musicSelection);
    const ui::SoundSystem* sound = ui::SoundSystem::instance();
    if (sound != nullptr && sound->currentMusicName() != tune) {
        changeMusic(tune);
    }
}

// The loading scene is entered once a run: its pictures are not needed again. Its sprites hold them, so the
// scene goes too, once the transition has taken its picture (a dead scene is dropped only when it is no
// longer current). The full-screen buttons keep theirs.
void SelectionScene::releaseLoadingScene() {
    if (kernel::ResourceManager* resources = kernel::ResourceManager::instance()) {
        resources->removeGroup(ids::groupSceneLoad, true);
    }
    ui::SceneManager* scenes = ui::SceneManager::instance();
    ui::Scene* loading = scenes != nullptr ? scenes->findScene(ids::sceneLoading) : nullptr;
    if (loading != nullptr && loading != this) {
        loading->setDead(true);
    }
}

void SelectionScene::requestPlayGroups() {
    kernel::ResourceManager* resources = kernel::ResourceManager::instance();
    if (resources == nullptr) {
        return;
    }
    for (const char* group : playGroups) {
        // A group already in (a later visit) has nothing to load; the play scenes are entered only once
        // the loader is done, whatever was asked.
        (void)resources->loadGroup(group);
    }
}

void SelectionScene::updateWelcomeText() {
    const bool shown = hasProfile();
    for (ui::GameNode* node : std::initializer_list<ui::GameNode*>{
             welcomeLabel.get(), welcomeBlurLabel.get(), changeNameButton.get(), changeNameBlurLabel.get()}) {
        showNode(node, shown);
    }
    if (!shown) {
        return;
    }
    const std::string welcome = narrow(kernel::PropertyStore::getText(ids::textWelcome)) + " " + playerName();
    for (ui::Label* label : {welcomeLabel.get(), welcomeBlurLabel.get()}) {
        if (label != nullptr) {
            fitTextToLabel(label, welcome, welcomeWidth);
        }
    }
    setLabelText(changeNameButton ? changeNameButton->getLabel() : nullptr, ids::textWelcomeChangeName);
    setLabelText(changeNameBlurLabel.get(), ids::textWelcomeChangeName);
}

void SelectionScene::resetSeenFlags() {
    PibblePlayer* player = currentPlayer();
    if (player == nullptr) {
        return;
    }
    using Sighting = PibblePlayer::Sighting;
    for (const Sighting sighting : {Sighting::Collectable, Sighting::Stubborn, Sighting::Chained,
                                    Sighting::Unhappy, Sighting::Clown, Sighting::Party}) {
        player->setSeen(sighting, false);
    }
}

// The buttons.

void SelectionScene::onActionClicked(void* scene, ui::GameNode*) {
    sceneOf(scene).chooseMode(ids::scenePlayAction, gameModeAction);
}

void SelectionScene::onRelaxClicked(void* scene, ui::GameNode*) {
    sceneOf(scene).chooseMode(ids::scenePlayRelax, gameModeRelax);
}

void SelectionScene::onVibClicked(void* scene, ui::GameNode*) {
    sceneOf(scene).chooseMode(ids::scenePlayVib, gameModeVib);
}

void SelectionScene::onHelpClicked(void*, ui::GameNode*) {
    DialogPibble::openDialog(ids::dialogHelp, nullptr, true);
}

void SelectionScene::onAlbumClicked(void*, ui::GameNode*) {
    if (AlbumPictures* album = AlbumPictures::instance()) {
        album->openAtContents();
    }
}

void SelectionScene::onSettingsClicked(void*, ui::GameNode*) {
    DialogPibble::openDialog(ids::dialogSettings, nullptr, true);
}

void SelectionScene::onLeaveClicked(void* scene, ui::GameNode*) {
    DialogPibble::showYesNo(ids::textLeave, ids::textLeaveHeader, scene, onLeaveYes, nullptr, nullptr);
}

void SelectionScene::onChangeNameClicked(void*, ui::GameNode*) {
    DialogPibble::openDialog(ids::dialogProfile, nullptr, true);
}

// The current scene's close request: for this scene the window closes and the program ends.
void SelectionScene::onLeaveYes(void*, ui::GameNode*) {
    ui::FullScreenHandler::onQuitClicked(nullptr, nullptr);
}

// A saved game of the mode is offered first; without one a new game begins.
void SelectionScene::chooseMode(const char* playScene, std::int32_t mode) {
    pendingScene = playScene;
    // The loader starts while a question is open.
    requestPlayGroups();
    if (SavegameExists(playerName(), mode)) {
        DialogPibble::showYesNo(ids::textSavegame, ids::textSavegameHeader, this, onContinueSavegame, this,
                                onNewGame);
        return;
    }
    newGame();
}

void SelectionScene::onContinueSavegame(void* scene, ui::GameNode*) {
    SelectionScene& self = sceneOf(scene);
    self.resetSeenFlags();
    DialogPibble::closeDialog(ids::textSavegame);
    self.startPlay(startKindContinue, difficultyFromSave);
}

void SelectionScene::onNewGame(void* scene, ui::GameNode*) {
    sceneOf(scene).newGame();
}

void SelectionScene::newGame() {
    resetSeenFlags();
    DialogPibble::closeDialog(ids::textSavegame);
    if (PibblePlayer::isHardModeUnlocked(modeOf(pendingScene))) {
        askDifficulty();
    } else {
        startPlay(startKindNew, difficultyNormal);
    }
}

// A declaration that makes no dialog cannot ask: the game then starts at normal difficulty rather than
// not at all.
void SelectionScene::askDifficulty() {
    ui::Dialog* dialog = DialogPibble::openDialog(ids::dialogDifficulty, nullptr, true);
    if (dialog == nullptr) {
        startPlay(startKindNew, difficultyNormal);
        return;
    }
    dialog->bindCallback(ids::buttonNormal, this, onDifficultyNormal, dialog->listenerList());
    dialog->bindCallback(ids::buttonHard, this, onDifficultyHard, dialog->listenerList());
    for (const auto& [name, text] : {std::pair{ids::boxMessage, ids::textDifficulty},
                                     std::pair{ids::boxHeader, ids::textDifficultyHeader}}) {
        ui::GameNode* found = dialog->findComponent(name);
        setLabelText(found != nullptr && found->isKindOf(ui::Label::classInfo)
                         ? static_cast<ui::Label*>(found)
                         : nullptr,
                     text);
    }
}

void SelectionScene::onDifficultyNormal(void* scene, ui::GameNode*) {
    DialogPibble::closeDialog(ids::dialogDifficulty);
    sceneOf(scene).startPlay(startKindNew, difficultyNormal);
}

void SelectionScene::onDifficultyHard(void* scene, ui::GameNode*) {
    DialogPibble::closeDialog(ids::dialogDifficulty);
    sceneOf(scene).startPlay(startKindNew, difficultyHard);
}

// The seen flags stay as they are on this way into the game.
void SelectionScene::onAutoContinueYes(void* scene, ui::GameNode*) {
    SelectionScene& self = sceneOf(scene);
    self.removeDialog(ids::textAutoContinue);
    self.startPlay(startKindContinue, difficultyFromSave);
}

void SelectionScene::startPlay(std::int32_t kind, std::int32_t difficulty) {
    if (pendingScene.empty()) {
        return;
    }
    setStartKind(kind);
    setDifficulty(difficulty);
    requestPlayGroups();
    StartPlayScene(pendingScene);
}

// The codes.

void SelectionScene::onCheatCode(ui::Scene* scene, char key) {
    PibblePlayer* player = hasProfile() ? currentPlayer() : nullptr;
    if (scene == nullptr || player == nullptr) {
        return;
    }
    PibbleScene* gameScene =
        scene->isKindOf(PibbleScene::classInfo) ? static_cast<PibbleScene*>(scene) : nullptr;
    PibbleScene* playScene = gameScene != nullptr && gameScene->playsLevel() ? gameScene : nullptr;
    switch (key) {
    case 'w':
        if (playScene != nullptr) {
            playScene->finishLevelNow();
        }
        break;
    case 'l':
        if (playScene != nullptr) {
            playScene->failLevelNow();
        }
        break;
    case 'u':
        if (playScene != nullptr) {
            takeNextCollectable(*playScene, *player);
        }
        break;
    case 'c':
        claimEveryCollectable(*player);
        break;
    case 'h':
        player->setVibProgress(chapterPastTheLast, 1, difficultyNormal);
        break;
    case 'a':
        if (playScene != nullptr) {
            playScene->makeRandomPartyPibble();
        }
        break;
    case 't':
        if (scene->getClassInfo() != &LoadingScene::classInfo) {
            ShowVisitor(*scene);
        }
        break;
    default:
        break;
    }
}

} // namespace game
