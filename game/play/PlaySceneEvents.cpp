// What the play scene does with the field's game events: sounds, hints, floaters, particles, the time bar,
// the music, the start and end of a level, and the profile's counters.
#include "game/play/PlayScene.h"

#include "engine/kernel/NodeValue.h"
#include "engine/ui/DelayModifier.h"
#include "engine/ui/PulseModifier.h"
#include "engine/ui/RectModifier.h"
#include "engine/ui/ResizeModifier.h"
#include "engine/ui/SoundSystem.h"
#include "engine/ui/Sprite.h"
#include "engine/ui/VisibilityModifier.h"
#include "engine/ui/WidgetSupport.h"
#include "game/field/CollectablesManager.h"
#include "game/field/FieldRandom.h"
#include "game/field/FieldSounds.h"
#include "game/field/Pibble.h"
#include "game/field/PlayField.h"
#include "game/foundation/GameIds.h"
#include "game/foundation/GameUtilities.h"
#include "game/foundation/PibblePlayer.h"
#include "game/foundation/Random.h"
#include "game/frontend/DialogAlbum.h"
#include "game/frontend/DialogPibble.h"
#include "game/play/Floaters.h"
#include "game/play/PlayRules.h"

#include <string>

namespace game {

namespace {

using Sighting = PibblePlayer::Sighting;

constexpr int musicFadeMs = 400;
// READY holds this long before it shrinks; GO pops in at once and holds this long.
constexpr int readyHold = 750;
constexpr int goHold = 300;
// A clown's sign shows only once the level has run this long.
constexpr std::int32_t clownSignAfterMs = 3000;
// The time bar blinks ten times at a level's end.
constexpr int blinkFadeMs = 100;
constexpr int blinkCycles = 10;
// A used hint: the bar shakes, then the dark bar shows and shrinks away while the hint rests.
constexpr int shakeMs = 500;
constexpr int shakeRange = 3;
constexpr int shakeCount = 20;
constexpr int darkBarWaitMs = 500;
constexpr int darkBarShrinkMs = 3000;
// A particle waits up to 100 ms to show, stays 500 ms to 700 ms more (100 ms more per combo step) and
// shrinks away in 200 ms to 300 ms.
constexpr std::uint32_t particleShowSpread = 100;
constexpr int particleStay = 500;
constexpr std::uint32_t particleStaySpread = 200;
constexpr int particleStayPerStep = 100;
constexpr int particleShrink = 200;
constexpr std::uint32_t particleShrinkSpread = 100;

void fadeMusic(float from, float to) {
    if (ui::SoundSystem* sound = ui::SoundSystem::instance()) {
        sound->setMusicFade(from, to, musicFadeMs);
    }
}

float musicLevel() {
    const ui::SoundSystem* sound = ui::SoundSystem::instance();
    return sound != nullptr ? sound->musicFadeLevel() : 0.0f;
}

kernel::WideString pointsText(std::int32_t points) {
    kernel::WideString text(1, u'+');
    text += intToWideString(points);
    return text;
}

std::uint32_t anyDraw() {
    return static_cast<std::uint32_t>(fieldRandom().nextInt());
}

ui::Modifier* blocking(ui::Modifier* modifier) {
    modifier->addFlags(ui::Modifier::blocking);
    return modifier;
}

} // namespace

// Hints.

void PlayScene::showHint(const std::string& key, Pibble* pibble) {
    PibblePlayer* player = currentPlayer();
    const PlayField* field = getField();
    if (inputBlocked || player == nullptr || !player->showHints() || !player->isHintEnabled(key) ||
        hasOpenDialog() || field == nullptr || !field->areAnnouncementsOn()) {
        return;
    }
    DialogPibble::openHint(key, pibble, this);
}

void PlayScene::showFirstSighting(const std::string& key, Pibble* pibble, std::int32_t sighting) {
    PibblePlayer* player = currentPlayer();
    const auto kind = static_cast<Sighting>(sighting);
    if (player == nullptr || player->hasSeen(kind)) {
        return;
    }
    showHint(key, pibble);
    player->setSeen(kind, true);
}

// Pause, freeze, resume.

void PlayScene::onPaused(const GameEvent& /*event*/) {
    if (isDialogOpen(ids::dialogPause) && musicLevel() != 0.0f) {
        fadeMusic(1.0f, 0.0f);
    }
}

void PlayScene::onFrozen(const GameEvent& event) {
    PlayScene::onPaused(event);
}

void PlayScene::onResumed(const GameEvent& /*event*/) {
    if (musicLevel() != 1.0f) {
        fadeMusic(0.0f, 1.0f);
    }
}

// The start of a level.

void PlayScene::onReady(const GameEvent& /*event*/) {
    updateLevelLabel();
    if (particleLayer) {
        particleLayer->removeAllChildren();
    }
    ShowReadyFloater(particleLayer.get(), rectComboOut.centerX(), rectComboOut.centerY(), 0, readyHold, this,
                     onReadyFloaterDone);
}

void PlayScene::onGo(const GameEvent& /*event*/) {
    if (PlayField* field = getField()) {
        field->setAllNormal();
    }
    clearParticles();
    if (timeBar != nullptr) {
        timeBar->removeAllModifiers();
        timeBar->setAlpha(255);
    }
    endWaitMs = 0;
    modeTimerMs = 0;
    modeFlag = false;
    levelEndSent = false;
    gameOver = false;
    played = true;
    if (CollectablesManager* collectables = CollectablesManager::instance()) {
        collectables->checkUnlocks();
    }
    ShowGoFloater(particleLayer.get(), rectComboOut.centerX(), rectComboOut.centerY(), 0, goHold, this,
                  onGoFloaterDone);
}

// The end of a level.

void PlayScene::fadeMusicOut() {
    fadeMusic(1.0f, 0.0f);
}

// The field stops taking clicks, the play time goes into the profile and the level's record to the session
// record.
void PlayScene::endLevel() {
    if (PlayField* field = getField()) {
        if (field->state() != fieldState::levelOver) {
            field->setState(fieldState::levelOver);
        }
        field->disableInput();
    }
    flushPlayTime();
    const kernel::SmartPtr<kernel::NodeValue> record = new kernel::NodeValue("", "PibbleLevelData");
    writeStatistics(*record);
}

void PlayScene::onLevelFinished(const GameEvent& /*event*/) {
    fadeMusicOut();
    stopFieldSound(ids::soundTicking);
    playFieldSound(ids::soundLevelFinished);
    if (PlayField* field = getField()) {
        field->setState(fieldState::levelOver);
        field->disableInput();
        field->setAllHappy();
        field->startEndLevelHops();
    }
    endLevel();
    if (timeBar != nullptr) {
        timeBar->addModifier(new ui::PulseModifier(255, 0, blinkFadeMs, blinkFadeMs, 0, 0, blinkCycles));
    }
}

// A game played to its end without a hint is noted in the profile.
void PlayScene::onLevelFailed(const GameEvent& /*event*/) {
    gameOver = true;
    fadeMusicOut();
    stopFieldSound(ids::soundTicking);
    playFieldSound(ids::soundLevelFailed);
    endLevel();
    deleteSavedGame();
    PibblePlayer* player = currentPlayer();
    if (!hintUsedThisGame && player != nullptr && !player->finishedGameWithoutHint()) {
        player->setFinishedGameWithoutHint(true);
    }
}

// Clicks.

void PlayScene::onPibbleClicked(const GameEvent& /*event*/) {
    playFieldSound(ids::soundClickPibble);
}

void PlayScene::onQueueClicked(const GameEvent& /*event*/) {
    playFieldSound(ids::soundClickMiss);
}

void PlayScene::onClownClicked(const GameEvent& event) {
    playFieldSound(ids::soundClickClown);
    showHint(ids::hintClickClown, event.pibble);
}

void PlayScene::onPartyClicked(const GameEvent& event) {
    playFieldSound(ids::soundClickParty);
    showHint(ids::hintClickParty, event.pibble);
}

void PlayScene::onStubbornClicked(const GameEvent& event) {
    playFieldSound(ids::soundClickStubborn);
    showHint(ids::hintClickStubborn, event.pibble);
}

void PlayScene::onChainedClicked(const GameEvent& event) {
    playFieldSound(ids::soundClickChained);
    showHint(ids::hintClickChained, event.pibble);
}

void PlayScene::onCollectableClicked(const GameEvent& event) {
    playFieldSound(ids::soundClickCollectable);
    showHint(ids::hintClickCollectable, event.pibble);
}

// Appearances.

void PlayScene::onClownAppeared(const GameEvent& event) {
    playFieldSound(ids::soundAppearClown);
    const PlayField* field = getField();
    if (event.pibble != nullptr && field != nullptr &&
        field->getTimeMax() - field->getTimeLeft() >= clownSignAfterMs) {
        ShowClownFloater(particleLayer.get(), event.pibble->getX(),
                         event.pibble->getY() + propertyInt(ids::cfgFloaterClownOffsetY), 0, floaterArea);
    }
    showFirstSighting(ids::hintAppearClown, event.pibble, static_cast<std::int32_t>(Sighting::Clown));
}

void PlayScene::onPartyAppeared(const GameEvent& event) {
    playFieldSound(ids::soundAppearParty);
    if (event.pibble != nullptr) {
        ShowPartyFloater(particleLayer.get(), event.pibble->getX(),
                         event.pibble->getY() + propertyInt(ids::cfgFloaterPartyOffsetY), 0, floaterArea);
    }
    showFirstSighting(ids::hintAppearParty, event.pibble, static_cast<std::int32_t>(Sighting::Party));
}

void PlayScene::onStubbornAppeared(const GameEvent& /*event*/) {
    playFieldSound(ids::soundAppearStubborn);
}

void PlayScene::onChainedAppeared(const GameEvent& event) {
    showFirstSighting(ids::hintAppearChained, event.pibble, static_cast<std::int32_t>(Sighting::Chained));
}

// Its photograph opens the album once it is matched: the book is read meanwhile, so the album opens at once.
void PlayScene::onCollectableAppeared(const GameEvent& event) {
    DialogAlbum::pictures.readAhead();
    playFieldSound(ids::soundAppearCollectable);
    showFirstSighting(ids::hintAppearCollectable, event.pibble,
                      static_cast<std::int32_t>(Sighting::Collectable));
}

void PlayScene::onUnhappyAppeared(const GameEvent& event) {
    playFieldSound(ids::soundAppearUnhappy);
    showFirstSighting(ids::hintAppearUnhappy, event.pibble, static_cast<std::int32_t>(Sighting::Unhappy));
}

// Matches.

void PlayScene::onMatch(const GameEvent& event) {
    const std::int32_t step = event.words[matchWord::comboStep];
    const std::int32_t x = event.words[matchWord::x];
    const std::int32_t y = event.words[matchWord::y];
    ShowScoreFloater(particleLayer.get(), x, y, pointsText(event.words[matchWord::points]), 0,
                     event.words[matchWord::colour], propertyInt(ids::cfgFloaterType));
    showComboSign(event);
    playFieldSound(matchSound(step, event.words[matchWord::pibbles]));
    if (const char* removal = removalSound(event.words[matchWord::parties], event.words[matchWord::clowns],
                                           event.words[matchWord::chained], event.words[matchWord::stubborn],
                                           event.words[matchWord::vibs])) {
        playFieldSound(removal);
    }
    burstParticles(event);
    countMatchForPlayer(event);
    if (event.words[matchWord::collectables] > 0) {
        onCollectableTaken(event);
    }
}

void PlayScene::showComboSign(const GameEvent& match) {
    const std::int32_t step = match.words[matchWord::comboStep];
    if (step <= 0) {
        return;
    }
    const std::int32_t x = match.words[matchWord::x];
    const std::int32_t y = match.words[matchWord::y];
    const Point place = comboPoint(x, y, rectComboOut, rectComboIn);
    ShowComboFloater(particleLayer.get(), place.x, place.y, 0, step, x, y, floaterArea);
}

// Each particle shows after a moment, flies up and falls, and shrinks away; the frame moves it.
void PlayScene::burstParticles(const GameEvent& match) {
    if (!particleLayer) {
        return;
    }
    const std::int32_t step = match.words[matchWord::comboStep];
    const std::int32_t x = match.words[matchWord::x];
    const std::int32_t y = match.words[matchWord::y];
    const std::string image = ids::imageParticlePrefix + std::to_string(match.words[matchWord::colour]);
    const std::int32_t count = particleCount(step, match.words[matchWord::pibbles]);
    for (std::int32_t i = 0; i < count; ++i) {
        const std::uint32_t show = anyDraw();
        const std::uint32_t stay = anyDraw();
        const std::uint32_t shrink = anyDraw();
        const kernel::SmartPtr<ui::Sprite> particle =
            new ui::Sprite(x, y, ui::findImage(image, ids::groupScenePlay));
        particle->setAnchor(ui::Sprite::Center);
        particle->setVisible(false);
        particle->addModifier(new ui::VisibilityModifier(false));
        particle->addModifier(new ui::DelayModifier(static_cast<int>(show % particleShowSpread)));
        particle->addModifier(new ui::VisibilityModifier(true));
        particle->addModifier(new ui::DelayModifier(
            particleStay + static_cast<int>(stay % particleStaySpread) + particleStayPerStep * step));
        particle->addModifier(
            new ui::ResizeModifier(particle->getWidth(), particle->getHeight(), 0, 0,
                                   particleShrink + static_cast<int>(shrink % particleShrinkSpread)));
        const Velocity velocity = particleVelocity(fieldRandom());
        particleLayer->addChild(particle.get());
        particleNodes.push_back(particle);
        particlePositions.emplace_back(static_cast<float>(x), static_cast<float>(y));
        particleVelocities.emplace_back(velocity.x, velocity.y);
    }
}

void PlayScene::countMatchForPlayer(const GameEvent& match) {
    PibblePlayer* player = currentPlayer();
    if (player == nullptr) {
        return;
    }
    player->setComboPerformed(match.words[matchWord::comboStep] + 1);
    player->addPibblesRemoved(match.words[matchWord::pibbles]);
    player->addStubbornRemoved(match.words[matchWord::stubborn]);
}

void PlayScene::onPartyPoints(const GameEvent& event) {
    ShowScoreFloater(particleLayer.get(), event.words[1], event.words[2], pointsText(event.words[0]), 0,
                     event.words[3], propertyInt(ids::cfgFloaterType));
}

// The hint's cost shows on the time bar: it shakes, and the dark bar wipes away over the rest time.
void PlayScene::onHintUsed(const GameEvent& /*event*/) {
    if (timeBar != nullptr) {
        scatterNode(timeBar, shakeMs, shakeRange, shakeCount, true);
    }
    if (timeBar != nullptr && timeBarDark != nullptr) {
        const int x = timeBar->getX();
        const int y = timeBar->getY();
        const int w = timeBar->getImage() != nullptr ? timeBar->getImage()->getWidth() : timeBar->getWidth();
        const int h = timeBar->getHeight();
        timeBarDark->removeAllModifiers();
        timeBarDark->setClipRect(x, y, w, h);
        timeBarDark->addModifier(new ui::DelayModifier(darkBarWaitMs));
        timeBarDark->addModifier(new ui::VisibilityModifier(true));
        timeBarDark->addModifier(new ui::DelayModifier(darkBarWaitMs));
        timeBarDark->addModifier(
            blocking(new ui::RectModifier(x, y, w, h, x, y, 0, h, darkBarShrinkMs, false)));
        timeBarDark->addModifier(new ui::VisibilityModifier(false));
    }
    hintPenaltyRunning = true;
    hintUsedThisGame = true;
}

void PlayScene::onHintAvailable(const GameEvent& /*event*/) {
    hintPenaltyRunning = false;
}

} // namespace game
