#include "game/play/PlaySceneVIB.h"

#include "engine/graphics/ImageFactory.h"
#include "engine/kernel/NodeValue.h"
#include "engine/kernel/ObjectFactory.h"
#include "engine/kernel/ScalarValue.h"
#include "engine/platform/HighScoreManager.h"
#include "engine/platform/ScoreTable.h"
#include "engine/ui/CallbackModifier.h"
#include "engine/ui/FadeModifier.h"
#include "engine/ui/Label.h"
#include "engine/ui/Sprite.h"
#include "game/field/FieldRandom.h"
#include "game/field/FieldSounds.h"
#include "game/field/Pibble.h"
#include "game/field/PlayField.h"
#include "game/foundation/GameGlobals.h"
#include "game/foundation/GameIds.h"
#include "game/foundation/GameUtilities.h"
#include "game/foundation/LevelCatalogue.h"
#include "game/foundation/PibbleHighscoreEntry.h"
#include "game/foundation/PibblePlayer.h"
#include "game/foundation/Random.h"
#include "game/foundation/SavedValues.h"
#include "game/frontend/DialogPibble.h"
#include "game/frontend/DialogProgress.h"
#include "game/frontend/FailedSaveNotice.h"
#include "game/frontend/TransitionScene.h"
#include "game/play/GoalModes.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>
#include <string>
#include <utility>

namespace game {

namespace {

const kernel::ClassRegistrar registrar("PlaySceneVIB", PlaySceneVIB::createInstance);

using Limits = std::numeric_limits<std::int32_t>;

constexpr std::int32_t millisecondsPerSecond = 1000;
// The clock counts once a second between its two thresholds.
constexpr std::int32_t countingPeriodMs = 1000;
constexpr int overlayWidth = 640;
constexpr int overlayHeight = 480;
constexpr std::uint32_t opaqueBlack = 0xFF000000u;
constexpr int opaque = 255;
constexpr int clear = 0;

void putInt(kernel::NodeValue& node, const char* key, std::int32_t value) {
    node.setChild(new kernel::ScalarValue(key, value, kernel::Typing::Untyped));
}

void putText(kernel::NodeValue& node, const char* key, const char* value) {
    node.setChild(new kernel::ScalarValue(key, value, kernel::Typing::Untyped));
}

std::int32_t grown(std::int32_t value, std::uint32_t elapsedMs) {
    return static_cast<std::int32_t>(std::min<std::int64_t>(std::int64_t{value} + elapsedMs, Limits::max()));
}

bool knownDifficulty(std::int32_t difficulty) {
    return difficulty == difficultyNormal || difficulty == difficultyHard;
}

// While the field waits to begin, runs its party match or is over, the clock's display and sounds rest.
bool clockRests(const PlayField& field) {
    const std::int32_t state = field.state();
    return field.isPaused() || field.isFrozen() || state == fieldState::loaded ||
           state == fieldState::ready || state == fieldState::partyMatch || state == fieldState::levelOver;
}

std::string levelText(std::int32_t chapter, std::int32_t level) {
    return std::to_string(chapter) + "." + std::to_string(level);
}

ui::Modifier* blocking(ui::Modifier* modifier) {
    modifier->addFlags(ui::Modifier::blocking);
    return modifier;
}

} // namespace

PlaySceneVIB::PlaySceneVIB(kernel::NodeValue& settings) : PlayScene(settings) {}

kernel::Object* PlaySceneVIB::createInstance(kernel::Value& settings) {
    return settings.isNode() ? new PlaySceneVIB(settings.asNode()) : nullptr;
}

// Entering and leaving.

// A continued game has not read its difficulty yet: its chapter comes from the save.
void PlaySceneVIB::onEnter() {
    hintWaitMs = propertyInt(ids::cfgHintNoClickTimer);
    levelNr = 1;
    if (knownDifficulty(currentDifficulty())) {
        chapterNr = chapterReached();
    }
    gameMode = gameModeVib;
    hintEnabled = true;
    if (chapterNr >= 2 && startKind() == startKindNew) {
        DialogPibble::openDialog(ids::dialogProgress, this, true);
    }
    PlayScene::onEnter();
}

// A fade still running would change the level of the next visit.
void PlaySceneVIB::onLeave() {
    dropFadeOverlay();
    PlayScene::onLeave();
}

std::int32_t PlaySceneVIB::chapterReached() const {
    const PibblePlayer* player = currentPlayer();
    const std::int32_t difficulty = currentDifficulty();
    if (player == nullptr || !knownDifficulty(difficulty)) {
        return 1;
    }
    return std::clamp(player->highestVibChapter(difficulty), 1, chapterCount);
}

void PlaySceneVIB::reset() {
    PlayScene::reset();
    chapterNr = 1;
    levelNr = 1;
    vibHintCounter = 0;
    hintWaitMs = 0;
    if (ui::Label* label = getLevelLabel()) {
        label->setText(u"1.1");
    }
}

void PlaySceneVIB::start() {
    if (startKind() == startKindContinue && loadGame()) {
        return;
    }
    startNewGame();
}

// Also the way out of a save that could not be continued: it may have read no difficulty, or a chapter and
// level that make no game.
void PlaySceneVIB::startNewGame() {
    if (!knownDifficulty(currentDifficulty())) {
        setDifficulty(difficultyNormal);
    }
    chapterNr = chapterReached();
    levelNr = 1;
    LevelCatalogue* catalogue = LevelCatalogue::instance();
    if (PlayField* field = getField(); field != nullptr && catalogue != nullptr) {
        field->loadLevel(catalogue->loadVibLevel(chapterNr, levelNr, currentDifficulty()));
    }
}

void PlaySceneVIB::loadLevel(std::int32_t score) {
    PlayField* field = getField();
    LevelCatalogue* catalogue = LevelCatalogue::instance();
    if (field == nullptr || catalogue == nullptr) {
        return;
    }
    LevelFile* level = catalogue->loadVibLevel(chapterNr, levelNr, currentDifficulty());
    field->setScore(score);
    field->restart(level);
    field->setScore(score);
}

// The level's rules.

bool PlaySceneVIB::isLevelWon() {
    return fieldAtRest() && getField()->vibCount() == 0;
}

bool PlaySceneVIB::isLevelLost() {
    return fieldAtRest() && getField()->getTimeLeft() < 1;
}

void PlaySceneVIB::updateLevelLabel() {
    if (ui::Label* label = getLevelLabel()) {
        label->setText(widen(levelText(chapterNr, levelNr)));
    }
}

void PlaySceneVIB::updateHintState() {
    hintEnabled = hintWaitMs > propertyInt(ids::cfgHintNoClickTimer) && !isHintPenaltyRunning();
}

// The clock.

void PlaySceneVIB::updateMode(std::uint32_t elapsedMs) {
    const PlayField* field = getField();
    if (field == nullptr || clockRests(*field)) {
        return;
    }
    hintWaitMs = grown(hintWaitMs, elapsedMs);
    clipClockBar();
    playClockSounds(elapsedMs);
}

// While the bar shakes or blinks its clip is left alone. A level without time shows an empty bar.
void PlaySceneVIB::clipClockBar() {
    ui::Sprite* bar = getTimeBar();
    const PlayField* field = getField();
    if (bar == nullptr || field == nullptr || !bar->getModifierList().empty()) {
        return;
    }
    const std::int32_t timeMax = field->getTimeMax();
    const float fraction =
        timeMax > 0
            ? std::clamp(static_cast<float>(field->getTimeLeft()) / static_cast<float>(timeMax), 0.0f, 1.0f)
            : 0.0f;
    bar->setClipRect(bar->getX(), bar->getY(),
                     static_cast<int>(static_cast<float>(bar->getWidth()) * fraction), bar->getHeight());
}

// The ticking is one clip as long as the last stretch of the clock, played once; the level's end stops it.
void PlaySceneVIB::playClockSounds(std::uint32_t elapsedMs) {
    const std::int32_t timeLeft = getField()->getTimeLeft();
    const std::int32_t ticking = propertyInt(ids::cfgSoundStartTicking);
    if (timeLeft > ticking && timeLeft < propertyInt(ids::cfgSoundStartCounting)) {
        modeTimerMs = grown(modeTimerMs, elapsedMs);
        if (modeTimerMs > countingPeriodMs) {
            modeTimerMs = 0;
            playFieldSound(ids::soundCounting);
        }
    }
    if (timeLeft <= ticking && !modeFlag) {
        playFieldSound(ids::soundTicking);
        modeFlag = true;
    }
}

// Saving and loading.

// The level reader reads the clock in whole seconds: a second begun counts as left.
void PlaySceneVIB::saveProperties(kernel::NodeValue& properties) {
    PlayScene::saveProperties(properties);
    putInt(properties, "chapterNr", chapterNr);
    putInt(properties, "levelNr", levelNr);
    const PlayField* field = getField();
    const std::int32_t timeMax = field != nullptr ? field->getTimeMax() : 0;
    const std::int32_t timeLeft = field != nullptr ? std::max(field->getTimeLeft(), 0) : 0;
    putInt(properties, "time", timeMax / millisecondsPerSecond);
    putInt(properties, "timeleft",
           static_cast<std::int32_t>((std::int64_t{timeLeft} + millisecondsPerSecond - 1) /
                                     millisecondsPerSecond));
}

// The clock itself comes back with the saved field; it is checked here, with the mode's values. A level's
// clock has time on it, and what is left lies between none and all of it: a clock past its end would lose
// the level before a move, delete the save and enter the table.
void PlaySceneVIB::loadProperties(SavedValues& properties) {
    PlayScene::loadProperties(properties);
    chapterNr = properties.read("chapterNr", 1, chapterCount);
    levelNr = properties.read("levelNr", 1, levelsPerChapter);
    const std::int32_t seconds = properties.read("time", 1, SavedValues::largest / millisecondsPerSecond);
    properties.read("timeleft", 0, seconds);
}

void PlaySceneVIB::writeStatistics(kernel::NodeValue& record) {
    const PlayField* field = getField();
    const std::int32_t timeLeft = field != nullptr ? field->getTimeLeft() : 0;
    const std::int32_t timeMax = field != nullptr ? field->getTimeMax() : 0;
    putInt(record, "leveltimeleft", timeLeft);
    putInt(record, "leveltimemax", timeMax);
    putInt(record, "leveltimeplayed",
           static_cast<std::int32_t>((std::int64_t{timeMax} - timeLeft) / millisecondsPerSecond));
    putInt(record, "chapternr", chapterNr);
    putInt(record, "levelnr", levelNr);
    putText(record, "gamemode", "vib");
    PlayScene::writeStatistics(record);
}

// The game events.

// After a chapter's last level the map follows the level end: the loader reads the map's pictures while
// the level end plays.
void PlaySceneVIB::onLevelFinished(const GameEvent& event) {
    PlayScene::onLevelFinished(event);
    if (levelNr == levelsPerChapter && chapterNr < chapterCount) {
        DialogProgress::pictures.readAhead();
    }
    DialogPibble::openLevelEnd(levelEndFinished, this);
}

// Every lost level enters the table, also one the player then tries again.
void PlaySceneVIB::onLevelFailed(const GameEvent& event) {
    PlayScene::onLevelFailed(event);
    addHighscore(levelText(chapterNr, levelNr));
    DialogPibble::openLevelEnd(levelEndFailed, this);
}

void PlaySceneVIB::addHighscore(const std::string& text) {
    platform::HighScoreManager* scores = platform::HighScoreManager::instance();
    platform::ScoreTable* table = scores != nullptr ? scores->getTable(ids::scoreTableVib) : nullptr;
    if (table == nullptr) {
        return;
    }
    const PibblePlayer* player = currentPlayer();
    const PlayField* field = getField();
    table->addScore(new PibbleHighscoreEntry(player != nullptr ? player->getName() : std::string(),
                                             field != nullptr ? field->getScore() : 0, text));
}

bool PlaySceneVIB::remindsHere() const {
    return chapterNr == 1 && levelNr <= lastRemindedLevel;
}

void PlaySceneVIB::onIdleReminder(const GameEvent& event) {
    PlayScene::onIdleReminder(event);
    if (remindsHere()) {
        showHint(ids::hintClickTimer, event.pibble);
    }
}

void PlaySceneVIB::onNoMatchReminder(const GameEvent& event) {
    PlayScene::onNoMatchReminder(event);
    if (remindsHere()) {
        showHint(ids::hintClickFailed, nullptr);
    }
}

void PlaySceneVIB::onQueueClicked(const GameEvent& event) {
    PlayScene::onQueueClicked(event);
    if (remindsHere()) {
        showHint(ids::hintClickQueue, event.pibble);
    }
}

void PlaySceneVIB::onStubbornAppeared(const GameEvent& event) {
    PlayScene::onStubbornAppeared(event);
    PibblePlayer* player = currentPlayer();
    if (player != nullptr && !player->hasSeen(PibblePlayer::Sighting::Stubborn)) {
        showHint(ids::hintAppearStubbornVib, event.pibble);
        player->setSeen(PibblePlayer::Sighting::Stubborn, true);
    }
}

void PlaySceneVIB::onMatch(const GameEvent& event) {
    PlayScene::onMatch(event);
    if (chapterNr == 1 && levelNr <= lastVibHintLevel) {
        showVibHint(event);
    }
}

// The hint points at a VIB pibble that stays after this match. When none stands in a cell (the one left may
// be the pibble of the move, out of the grid), the hint waits for a later match.
void PlaySceneVIB::showVibHint(const GameEvent& match) {
    if (vibHintCounter < vibHintMatch) {
        ++vibHintCounter;
    }
    const PlayField* field = getField();
    if (field == nullptr || vibHintCounter != vibHintMatch) {
        return;
    }
    const std::int32_t before = field->vibCount();
    if (before <= 0 || before - match.words[matchWord::vibs] <= 0) {
        return;
    }
    if (Pibble* pibble = randomVibPibble()) {
        showHint(ids::hintVib, pibble);
        vibHintCounter = Limits::max();
    }
}

// Random cells a bounded number of times, then the cells in order; empty cells and holes never qualify.
Pibble* PlaySceneVIB::randomVibPibble() const {
    const PlayField* field = getField();
    if (field == nullptr || field->rowCount() < 1 || field->columnCount() < 1) {
        return nullptr;
    }
    const auto vibAt = [field](std::int32_t row, std::int32_t column) -> Pibble* {
        Pibble* pibble = field->pibbleAt(row, column);
        return pibble != nullptr && !pibble->isRemoved() && pibble->isVib() ? pibble : nullptr;
    };
    for (int draw = 0; draw < PlayField::randomCellDraws; ++draw) {
        const std::int32_t row = cell::firstRow + fieldRandom().nextInt(field->rowCount());
        const std::int32_t column = cell::firstColumn + fieldRandom().nextInt(field->columnCount());
        if (Pibble* pibble = vibAt(row, column)) {
            return pibble;
        }
    }
    for (std::int32_t row = cell::firstRow; row <= field->rowCount(); ++row) {
        for (std::int32_t column = cell::firstColumn; column <= field->columnCount(); ++column) {
            if (Pibble* pibble = vibAt(row, column)) {
                return pibble;
            }
        }
    }
    return nullptr;
}

// A hint costs a share of the level's whole time; the clock never goes below 0.
void PlaySceneVIB::onHintUsed(const GameEvent& event) {
    PlayScene::onHintUsed(event);
    hintWaitMs = 0;
    PlayField* field = getField();
    if (field == nullptr) {
        return;
    }
    const float cost = propertyFloat(ids::cfgHintPenaltyVib) * static_cast<float>(field->getTimeMax());
    const double left = std::trunc(static_cast<double>(static_cast<float>(field->getTimeLeft()) - cost));
    field->setTimeLeft(
        std::isnan(left) ? 0 : static_cast<std::int32_t>(std::clamp(left, 0.0, double{Limits::max()})));
}

void PlaySceneVIB::onHintAvailable(const GameEvent& event) {
    PlayScene::onHintAvailable(event);
    hintWaitMs = 0;
}

// The level course.

void PlaySceneVIB::finishVibLevel() {
    if (chapterNr > chapterCount) {
        return;
    }
    const bool unlockedBefore = PibblePlayer::isHardModeUnlocked(gameModeVib);
    bool newChapter = false;
    if (!stepToNextLevel(newChapter)) {
        endCourse(unlockedBefore);
        return;
    }
    if (levelNr == 1) {
        // The map loads the chapter's first level.
        setProgressMapChapter(chapterNr, newChapter);
        DialogPibble::openDialog(ids::dialogProgress, this, true);
        return;
    }
    PlayField* field = getField();
    loadLevel(field != nullptr ? field->getScore() : 0);
    if (field != nullptr) {
        field->announceReady();
    }
}

bool PlaySceneVIB::stepToNextLevel(bool& newChapter) {
    if (++levelNr > levelsPerChapter) {
        ++chapterNr;
        levelNr = 1;
    }
    newChapter = false;
    raiseProgress(newChapter);
    return chapterNr <= chapterCount;
}

void PlaySceneVIB::raiseProgress(bool& newChapter) {
    PibblePlayer* player = currentPlayer();
    if (player == nullptr) {
        return;
    }
    const std::int32_t difficulty = currentDifficulty();
    const std::int32_t bestChapter = player->highestVibChapter(difficulty);
    if (chapterNr > bestChapter) {
        player->setVibProgress(chapterNr, levelNr, difficulty);
        newChapter = true;
    } else if (chapterNr == bestChapter && levelNr > player->highestVibLevel(difficulty)) {
        player->setVibProgress(chapterNr, levelNr, difficulty);
    }
}

// All 70 levels are done: the last one's highscore, the notice when that unlocked the hard mode, and no
// saved game to continue.
void PlaySceneVIB::endCourse(bool unlockedBefore) {
    recordCourseEnd();
    if (PibblePlayer::isHardModeUnlocked(gameModeVib) != unlockedBefore) {
        setVibHardModeUnlockedNotice(true);
    }
    DialogPibble::openDialog(ids::dialogGameEnd, this, true);
}

void PlaySceneVIB::recordCourseEnd() {
    addHighscore(levelText(chapterCount, levelsPerChapter));
    deleteSavedGame();
}

void PlaySceneVIB::setVibChapterAndLevel(std::int32_t chapter, std::int32_t level) {
    chapterNr = chapter;
    levelNr = level;
    updateLevelLabel();
}

LevelFile* PlaySceneVIB::advanceLevelForQuit() {
    if (chapterNr > chapterCount) {
        return nullptr;
    }
    bool newChapter = false;
    if (!stepToNextLevel(newChapter)) {
        recordCourseEnd();
        return nullptr;
    }
    LevelCatalogue* catalogue = LevelCatalogue::instance();
    return catalogue != nullptr ? catalogue->loadVibLevel(chapterNr, levelNr, currentDifficulty()) : nullptr;
}

void PlaySceneVIB::replayVibLevel() {
    if (levelNr < 2) {
        return;
    }
    --levelNr;
    PlayField* field = getField();
    loadLevel(field != nullptr ? field->getScore() : 0);
    if (field != nullptr) {
        field->announceReady();
    }
}

void PlaySceneVIB::gameFinished() {
    DialogPibble::closeDialog(ids::textGameFinished);
    finishVibLevel();
}

void PlaySceneVIB::advanceWithFade() {
    if (levelNr == levelsPerChapter) {
        gameFinished();
        return;
    }
    fadeThroughBlack([](PlaySceneVIB& scene) { scene.gameFinished(); }, nullptr);
}

void PlaySceneVIB::retryLevelWithFade() {
    fadeThroughBlack([](PlaySceneVIB& scene) { scene.loadLevel(0); },
                     [](PlaySceneVIB& scene) {
                         if (PlayField* field = scene.getField()) {
                             field->announceReady();
                         }
                     });
}

// A continued game starts the lost level afresh with no score.
void PlaySceneVIB::gameOver() {
    loadLevel(0);
    if (PlayField* field = getField()) {
        field->storeToLevel();
        field->setScore(0);
    }
    saveGame();
    DialogPibble::closeDialog(ids::textGameFailedVib);
    leaveAfterFailedSaveNotice([] { leaveAfterGameOver(gameModeVib); });
}

// The fade between two levels. One runs at a time: a second request while it runs would move the course on
// twice.
void PlaySceneVIB::fadeThroughBlack(Step atBlack, Step atEnd) {
    if (fadeOverlay) {
        return;
    }
    const kernel::SmartPtr<graphics::MemoryImage32> black =
        graphics::createImage32(overlayWidth, overlayHeight);
    if (black) {
        const std::size_t count =
            static_cast<std::size_t>(black->getWidth()) * static_cast<std::size_t>(black->getHeight());
        std::fill(black->pixels32(), black->pixels32() + count, opaqueBlack);
    }
    fadeOverlay = new ui::Sprite(0, 0, black.get());
    fadeOverlay->setAlpha(clear);
    fadeOverlay->addModifier(blocking(new ui::FadeModifier(clear, opaque, fadeMs)));
    fadeOverlay->addModifier(
        blocking(new ui::CallbackModifier(this, [step = std::move(atBlack)](void* scene, ui::GameNode*) {
            step(*static_cast<PlaySceneVIB*>(scene));
        })));
    fadeOverlay->addModifier(blocking(new ui::FadeModifier(opaque, clear, fadeMs)));
    ui::Modifier* done =
        new ui::CallbackModifier(this, [step = std::move(atEnd)](void* scene, ui::GameNode*) {
            auto& self = *static_cast<PlaySceneVIB*>(scene);
            if (step) {
                step(self);
            }
            self.fadeOverlay = nullptr;
        });
    done->addFlags(ui::Modifier::killNode);
    fadeOverlay->addModifier(blocking(done));
    getRootNode()->addChild(fadeOverlay.get());
}

void PlaySceneVIB::dropFadeOverlay() {
    if (fadeOverlay) {
        fadeOverlay->removeAllModifiers();
        fadeOverlay->kill();
        fadeOverlay = nullptr;
    }
}

} // namespace game
