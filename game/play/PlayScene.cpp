#include "game/play/PlayScene.h"

#include "engine/kernel/NodeValue.h"
#include "engine/kernel/ObjectFactory.h"
#include "engine/kernel/PropertyStore.h"
#include "engine/platform/DataGathering.h"
#include "engine/platform/PlayerManager.h"
#include "engine/ui/Button.h"
#include "engine/ui/Label.h"
#include "engine/ui/SceneCleaner.h"
#include "engine/ui/SceneRootNode.h"
#include "game/field/FieldRenderer.h"
#include "game/field/PlayField.h"
#include "game/foundation/GameGlobals.h"
#include "game/foundation/GameIds.h"
#include "game/foundation/GameUtilities.h"
#include "game/foundation/PibblePlayer.h"
#include "game/frontend/AlbumPictures.h"
#include "game/frontend/DialogPibble.h"
#include "game/play/PlayRules.h"
#include "game/play/PlaySceneVIB.h"

#include <algorithm>
#include <initializer_list>
#include <limits>

namespace game {

namespace {

const kernel::ClassRegistrar registrar("PlayScene", PlayScene::createInstance);

constexpr float gravity = 0.2f;
constexpr std::int32_t millisecondsPerSecond = 1000;

template <class Kind> Kind* componentOf(PlayScene& scene, const char* name) {
    ui::GameNode* found = scene.findComponent(name);
    return found != nullptr && found->isKindOf(Kind::classInfo) ? static_cast<Kind*>(found) : nullptr;
}

// Opens the pause over a play scene that loses the window's focus.
void pauseOnFocusLoss(PibbleScene& scene) {
    if (scene.isKindOf(PlayScene::classInfo)) {
        DialogPibble::openDialog(ids::dialogPause, &scene, true);
    }
}

// While the album is open over the play scene, the field under it is not drawn.
bool albumCoversField() {
    const AlbumPictures* pictures = AlbumPictures::instance();
    return pictures != nullptr && pictures->isAlbumBlocking();
}

bool inPlay(std::int32_t state) {
    return state < fieldState::loaded || (state > fieldState::ready && state != fieldState::levelOver);
}

} // namespace

PlayScene::PlayScene(kernel::NodeValue& settings) : PibbleScene(settings) {
    setPauseOnFocusLossHook(pauseOnFocusLoss);
    FieldRenderer::setAlbumBlockingHook(albumCoversField);
}

// A scene freed while its field lives must not stay among the field's listeners.
PlayScene::~PlayScene() {
    if (PlayField* field = PlayField::instance()) {
        field->removeListener(this);
    }
}

kernel::Object* PlayScene::createInstance(kernel::Value& settings) {
    return settings.isNode() ? new PlayScene(settings.asNode()) : nullptr;
}

PlayField* PlayScene::getField() const {
    return PlayField::instance();
}

// Loading.

void PlayScene::load() {
    PibbleScene::load();
    findComponents();
    for (const auto& [name, handler] : {std::pair{ids::buttonHint, &PlayScene::onHintButton},
                                        std::pair{ids::buttonPause, &PlayScene::onPauseButton},
                                        std::pair{ids::buttonMenu, &PlayScene::onMenuButton}}) {
        bindCallback(name, this, handler, listenerList());
    }
    readRectangles();
    measureTopBar();
}

void PlayScene::findComponents() {
    debugLabel = componentOf<ui::Label>(*this, ids::labelDebugInfo);
    debugShadowLabel = componentOf<ui::Label>(*this, ids::labelDebugInfoShadow);
    hintButton = componentOf<ui::Button>(*this, ids::buttonHint);
    pauseButton = componentOf<ui::Button>(*this, ids::buttonPause);
    menuButton = componentOf<ui::Button>(*this, ids::buttonMenu);
    scoreLabel = componentOf<ui::Label>(*this, ids::labelScoreValue);
    levelLabel = componentOf<ui::Label>(*this, ids::labelLevelValue);
    hintBlock = componentOf<ui::Sprite>(*this, ids::hintBlock);
    timeBar = componentOf<ui::Sprite>(*this, ids::spriteTimeBar);
    timeBarDark = componentOf<ui::Sprite>(*this, ids::spriteTimeBarDark);
}

// The left and top edges keep the opposite ones, the right and bottom keep the left and top: in this order
// the rectangles span from the minimum to the maximum.
void PlayScene::readRectangles() {
    rectComboOut.setLeft(propertyInt(ids::cfgRectComboOutMinX));
    rectComboOut.setRight(propertyInt(ids::cfgRectComboOutMaxX));
    rectComboOut.setTop(propertyInt(ids::cfgRectComboOutMinY));
    rectComboOut.setBottom(propertyInt(ids::cfgRectComboOutMaxY));
    rectComboIn.setLeft(propertyInt(ids::cfgRectComboInMinX));
    rectComboIn.setRight(propertyInt(ids::cfgRectComboInMaxX));
    rectComboIn.setTop(propertyInt(ids::cfgRectComboInMinY));
    rectComboIn.setBottom(propertyInt(ids::cfgRectComboInMaxY));
}

void PlayScene::measureTopBar() {
    topBarBottom = 0;
    for (const ui::Sprite* part : std::initializer_list<const ui::Sprite*>{
             scoreLabel, levelLabel, hintButton, hintBlock, pauseButton, menuButton}) {
        if (part != nullptr) {
            topBarBottom = std::max(topBarBottom,
                                    part->getY() - part->getAnchorPoint().getRoundedY() + part->getHeight());
        }
    }
    floaterArea = kernel::Rect(0, topBarBottom, getWidth(), getHeight() - topBarBottom);
}

// Entering and leaving.

void PlayScene::onEnter() {
    particleLayer = new ui::GameNode();
    getRootNode()->addChild(particleLayer.get());
    PibbleScene::onEnter();
    if (platform::DataGathering* gathering = platform::DataGathering::instance()) {
        const platform::PlayerManager* players = platform::PlayerManager::instance();
        gathering->startSession(0, players != nullptr ? players->getPlayerCount() : 0);
    }
    createField();
    start();
    // A new game ends the one saved before it. A continued game keeps its file until a newer save replaces
    // it or the game ends: a save that fails, or a kill, costs the play since the last save, never the game.
    // (A save that could not be continued stays too, until the next save.)
    if (startKind() == startKindNew) {
        deleteSavedGame();
    }
    updateButtons();
    // The VIB chapter map, open over the scene, starts the music and the level itself.
    if (!isDialogOpen(ids::dialogProgress)) {
        changeMusic(propertyString(ids::musicGame));
        openRulesOrAnnounce();
    }
}

// The rules page opens over a mode's first game, which waits for its play button; without the page the
// level starts at once, so it never waits for a button that is not there.
void PlayScene::openRulesOrAnnounce() {
    PlayField* field = getField();
    PibblePlayer* player = currentPlayer();
    if (player != nullptr && !player->hasSeenHowToPlay(gameMode)) {
        field->setState(fieldState::loaded);
        if (DialogPibble::openDialog(ids::dialogHowToPlay, this, true) != nullptr) {
            player->setSeenHowToPlay(gameMode, true);
            return;
        }
    }
    if (field->state() == fieldState::loaded && !isDialogOpen(ids::dialogHowToPlay)) {
        field->announceReady();
    }
}

void PlayScene::onLeave() {
    removeAllDialogs();
    destroyField();
    if (platform::DataGathering* gathering = platform::DataGathering::instance()) {
        gathering->endSession();
    }
    PibbleScene::onLeave();
    if (particleLayer) {
        particleLayer->kill();
        particleLayer = nullptr;
    }
    clearParticles();
    // The killed nodes go now, not at the next entry.
    getSceneCleaner()->onFrame(0);
    reset();
}

void PlayScene::createField() {
    PlayField* field = PlayField::create();
    field->addListener(this);
    if (FieldRenderer* renderer = FieldRenderer::instance()) {
        renderer->setCeiling(topBarBottom);
    }
    ui::GameNode* root = getRootNode();
    if (ui::GameNode* first = root->getFirstChild(); first != nullptr && first != field) {
        first->insertBefore(field);
    } else {
        root->addChild(field);
    }
    listenerList().add(field, true);
}

void PlayScene::destroyField() {
    if (PlayField* field = getField()) {
        listenerList().remove(field);
        field->removeListener(this);
        field->kill();
        PlayField::destroy();
    }
}

void PlayScene::reset() {
    scoreTarget = 0;
    scoreShown = 0;
    scoreCounting = true;
    for (ui::Label* label : {debugLabel, debugShadowLabel}) {
        if (label != nullptr) {
            label->setText(kernel::WideString());
        }
    }
    if (scoreLabel != nullptr) {
        scoreLabel->setText(u"0");
    }
    if (levelLabel != nullptr) {
        levelLabel->setText(u"1");
    }
    if (timeBar != nullptr) {
        timeBar->setClipRect(nullptr);
    }
    endWaitMs = 0;
    modeTimerMs = 0;
    modeFlag = false;
    gameMode = gameModeNone;
    setStartKind(startKindNone);
    hintPenaltyRunning = false;
    hintEnabled = false;
    hintUsedThisGame = false;
    levelEndSent = false;
    codedEnd = 0;
    saveFailed = false;
    savedMoveStart = false;
    pendingLeave = PendingLeave{};
    playMs = 0;
}

// The frame.

void PlayScene::onUpdate(std::uint32_t elapsedMs) {
    PibbleScene::onUpdate(elapsedMs);
    if (isLeavingAfterMove()) {
        awaitMoveEnd(elapsedMs);
        return;
    }
    PlayField* field = getField();
    if (field == nullptr) {
        return;
    }
    const std::int32_t state = field->state();
    syncPause();
    updateButtons();
    if (codedEnd != 0 && !moveInProgress()) {
        tellCodedEnd();
    }
    if (field->isFrozen() || field->isPaused()) {
        return;
    }
    updateLevelLabel();
    updateScore(elapsedMs);
    updateMode(elapsedMs);
    updateHintState();
    if (state != fieldState::loaded && state != fieldState::ready && state != fieldState::levelOver) {
        const std::int64_t grown = std::int64_t{playMs} + elapsedMs;
        playMs = static_cast<std::int32_t>(
            std::min<std::int64_t>(grown, std::numeric_limits<std::int32_t>::max()));
    }
    checkLevelEnd(elapsedMs);
    moveParticles();
}

// The won test goes first. The field waits in its last state while the level has been over for a while,
// and the end is told once.
void PlayScene::checkLevelEnd(std::uint32_t elapsedMs) {
    if (levelEndSent) {
        return;
    }
    std::int32_t end = 0;
    if (isLevelWon()) {
        end = eventType::levelFinished;
    } else if (isLevelLost()) {
        end = eventType::levelFailed;
    } else {
        return;
    }
    PlayField* field = getField();
    if (field->state() != fieldState::levelOver) {
        field->setState(fieldState::levelOver);
    }
    endWaitMs = static_cast<std::int32_t>(std::min<std::int64_t>(std::int64_t{endWaitMs} + elapsedMs,
                                                                 std::numeric_limits<std::int32_t>::max()));
    if (endWaitMs > propertyInt(ids::cfgEndLevelWait)) {
        levelEndSent = true;
        field->broadcast(GameEvent::of(end));
    }
}

bool PlayScene::fieldAtRest() const {
    const PlayField* field = getField();
    return field != nullptr && !field->isPaused() && !field->isFrozen() && !field->animationsRunning() &&
           (field->state() == fieldState::idle || field->state() == fieldState::levelOver) &&
           !field->isRescanPending();
}

bool PlayScene::isLevelWon() {
    return fieldAtRest();
}

bool PlayScene::isLevelLost() {
    return fieldAtRest();
}

// Only a field that was paused is resumed: before play begins the field counts as paused without being
// so, and resuming it in every frame would start the music's fade-in again and again.
void PlayScene::syncPause() {
    PlayField* field = getField();
    if (field == nullptr) {
        return;
    }
    const bool dialogShown = hasOpenDialog();
    if (field->isPaused() && field->isPauseRequested() && !dialogShown) {
        field->resume();
    } else if (!field->isPaused() && dialogShown) {
        field->pause();
    }
}

void PlayScene::updateButtons() {
    const PlayField* field = getField();
    const std::int32_t state = field != nullptr ? field->state() : fieldState::loaded;
    const bool playing = inPlay(state);
    for (ui::Button* button : {pauseButton, menuButton}) {
        if (button != nullptr) {
            button->setEnabled(playing);
        }
    }
    const std::int32_t difficulty = currentDifficulty();
    if (difficulty != difficultyNormal && difficulty != difficultyHard) {
        return;
    }
    const bool hard = difficulty == difficultyHard;
    if (hintButton != nullptr) {
        hintButton->setToolTipText(
            kernel::PropertyStore::getText(hard ? ids::tooltipHintHard : ids::tooltipHintNormal));
        hintButton->setEnabled(playing && !hard && hintEnabled);
    }
    if (hintBlock != nullptr) {
        hintBlock->setVisible(hard);
    }
}

void PlayScene::updateScore(std::uint32_t elapsedMs) {
    const PlayField* field = getField();
    scoreTarget = field != nullptr ? field->getScore() : 0;
    if (scoreShown == scoreTarget || !scoreCounting) {
        return;
    }
    scoreShown = countScore(scoreShown, scoreTarget, elapsedMs, propertyFloat(ids::cfgScoreUpdateFrequency));
    if (scoreLabel != nullptr) {
        scoreLabel->setText(groupDigits(static_cast<std::uint32_t>(std::max(scoreShown, 0))));
    }
}

void PlayScene::flushPlayTime() {
    PibblePlayer* player = currentPlayer();
    if (playMs <= 0 || player == nullptr) {
        return;
    }
    const std::int64_t seconds = std::int64_t{player->secondsPlayed()} + playMs / millisecondsPerSecond;
    player->setSecondsPlayed(
        static_cast<std::int32_t>(std::min<std::int64_t>(seconds, std::numeric_limits<std::int32_t>::max())));
    playMs = 0;
}

// Particles fly, fall and, once their modifiers have run, leave one a frame, the last first.
void PlayScene::moveParticles() {
    std::size_t done = particleNodes.size();
    for (std::size_t i = 0; i < particleNodes.size(); ++i) {
        ui::Sprite& particle = *particleNodes[i];
        if (!particle.isVisible()) {
            continue;
        }
        graphics::PointF& position = particlePositions[i];
        graphics::PointF& velocity = particleVelocities[i];
        position = {position.getX() + velocity.getX(), position.getY() + velocity.getY()};
        particle.setPosition(static_cast<int>(position.getX()), static_cast<int>(position.getY()));
        velocity.setY(velocity.getY() + gravity);
        if (particle.getModifierList().empty()) {
            particle.setWidth(0);
            particle.setHeight(0);
            done = i;
        }
    }
    if (done < particleNodes.size()) {
        particleNodes[done]->kill();
        particleNodes.erase(particleNodes.begin() + static_cast<std::ptrdiff_t>(done));
        particlePositions.erase(particlePositions.begin() + static_cast<std::ptrdiff_t>(done));
        particleVelocities.erase(particleVelocities.begin() + static_cast<std::ptrdiff_t>(done));
    }
}

void PlayScene::clearParticles() {
    particleNodes.clear();
    particlePositions.clear();
    particleVelocities.clear();
}

// The buttons and the floaters' ends.

void PlayScene::onHintButton(void* scene, ui::GameNode* /*sender*/) {
    auto* self = static_cast<PlayScene*>(scene);
    if (!self->buttonsBlocked() && self->getField() != nullptr) {
        self->getField()->showHint();
    }
}

void PlayScene::onPauseButton(void* scene, ui::GameNode* /*sender*/) {
    auto* self = static_cast<PlayScene*>(scene);
    if (!self->buttonsBlocked()) {
        DialogPibble::openDialog(ids::dialogPause, self, true);
    }
}

void PlayScene::onMenuButton(void* scene, ui::GameNode* /*sender*/) {
    auto* self = static_cast<PlayScene*>(scene);
    if (!self->buttonsBlocked()) {
        self->saveGame();
        DialogPibble::openDialog(ids::dialogMenu, self, true);
    }
}

void PlayScene::onReadyFloaterDone(void* /*scene*/, ui::GameNode* /*node*/) {
    if (PlayField* field = PlayField::instance()) {
        field->go();
    }
}

// The VIB pibbles start shining only in the VIB scene itself; then the field may announce.
void PlayScene::onGoFloaterDone(void* /*scene*/, ui::GameNode* /*node*/) {
    PlayField* field = PlayField::instance();
    if (field == nullptr) {
        return;
    }
    const ui::Scene* scene = currentScene();
    if (scene != nullptr && scene->getClassInfo() == &PlaySceneVIB::classInfo) {
        field->startVibAnimations();
    }
    field->setAnnouncementsOn(true);
}

} // namespace game
