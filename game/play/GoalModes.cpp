#include "game/play/GoalModes.h"

#include "engine/platform/HighScoreManager.h"
#include "engine/platform/ScoreTable.h"
#include "engine/ui/Sprite.h"
#include "game/foundation/GameGlobals.h"
#include "game/foundation/GameIds.h"
#include "game/foundation/LevelCatalogue.h"
#include "game/foundation/PibbleHighscoreEntry.h"
#include "game/foundation/PibblePlayer.h"
#include "game/frontend/AlbumPictures.h"
#include "game/frontend/TransitionScene.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <limits>
#include <string>

namespace game {

namespace {

constexpr float goalHintShare = 0.3f;

using Limits = std::numeric_limits<std::int32_t>;

std::int32_t clampToInt(std::int64_t value) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, Limits::min(), Limits::max()));
}

// A float outside the int range (a damaged tuning value) stops at its end rather than overflowing.
std::int32_t truncateToInt(float value) {
    if (std::isnan(value)) {
        return 0;
    }
    if (value <= static_cast<float>(Limits::min())) {
        return Limits::min();
    }
    if (value >= static_cast<float>(Limits::max())) {
        return Limits::max();
    }
    return static_cast<std::int32_t>(value);
}

platform::ScoreTable* scoreTableOf(std::int32_t mode) {
    platform::HighScoreManager* scores = platform::HighScoreManager::instance();
    if (scores == nullptr || mode < 0 || mode >= static_cast<std::int32_t>(std::size(ids::scoreTables))) {
        return nullptr;
    }
    return scores->getTable(ids::scoreTables[mode]);
}

void raiseHighestLevel(PibblePlayer& player, std::int32_t mode, std::int32_t levelNr) {
    const std::int32_t difficulty = currentDifficulty();
    if (mode == gameModeAction && levelNr > player.highestActionLevel(difficulty)) {
        player.setHighestActionLevel(levelNr, difficulty);
    } else if (mode == gameModeRelax && levelNr > player.highestRelaxLevel(difficulty)) {
        player.setHighestRelaxLevel(levelNr, difficulty);
    }
}

void noteHardModeUnlocked(std::int32_t mode) {
    if (mode == gameModeAction) {
        setActionHardModeUnlockedNotice(true);
    } else if (mode == gameModeRelax) {
        setRelaxHardModeUnlockedNotice(true);
    }
}

} // namespace

std::int32_t countAfterMatch(std::int32_t numPibbles, std::int32_t removed) {
    return clampToInt(std::int64_t{numPibbles} + removed);
}

std::int32_t countAfterHintPenalty(std::int32_t numPibbles, float penalty, std::int32_t goal) {
    const float left = static_cast<float>(numPibbles) - penalty * static_cast<float>(goal);
    return std::max(truncateToInt(left), 0);
}

bool goalHintDue(std::int32_t numPibbles, std::int32_t goal) {
    return static_cast<float>(numPibbles) >= goalHintShare * static_cast<float>(goal);
}

void clipGoalBar(ui::Sprite* bar, std::int32_t numPibbles, std::int32_t goal) {
    if (bar == nullptr || !bar->getModifierList().empty()) {
        return;
    }
    const float fraction =
        goal > 0 ? std::clamp(static_cast<float>(numPibbles) / static_cast<float>(goal), 0.0f, 1.0f) : 0.0f;
    bar->setClipRect(bar->getX(), bar->getY(),
                     static_cast<int>(static_cast<float>(bar->getWidth()) * fraction), bar->getHeight());
}

std::int32_t timerAfter(std::int32_t timer, std::uint32_t dt) {
    return clampToInt(std::int64_t{timer} - dt);
}

std::int32_t largestGoal(std::int32_t mode) {
    const LevelCatalogue* catalogue = LevelCatalogue::instance();
    const std::int32_t largest = catalogue != nullptr ? catalogue->largestGoal(mode) : 0;
    return largest > 0 ? largest : std::numeric_limits<std::int32_t>::max();
}

std::int32_t levelAfter(std::int32_t levelNr) {
    return clampToInt(std::int64_t{levelNr} + 1);
}

void recordGameOver(std::int32_t mode, std::int32_t levelNr, std::int32_t score) {
    PibblePlayer* player = currentPlayer();
    if (platform::ScoreTable* table = scoreTableOf(mode)) {
        table->addScore(new PibbleHighscoreEntry(player != nullptr ? player->getName() : std::string(), score,
                                                 std::to_string(levelNr)));
    }
    if (player == nullptr) {
        return;
    }
    const bool unlockedBefore = PibblePlayer::isHardModeUnlocked(mode);
    raiseHighestLevel(*player, mode, levelNr);
    if (PibblePlayer::isHardModeUnlocked(mode) != unlockedBefore) {
        noteHardModeUnlocked(mode);
    }
}

void leaveAfterGameOver(std::int32_t mode) {
    const platform::ScoreTable* table = scoreTableOf(mode);
    AlbumPictures* album = AlbumPictures::instance();
    if (table != nullptr && table->getLastScore() >= 0 && album != nullptr) {
        album->setReturnScene(ids::sceneSelection);
        album->showHighscores(mode, table->getLastScore());
        return;
    }
    ChangeSceneWithTransition(ids::sceneSelection);
}

} // namespace game
