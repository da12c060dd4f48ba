#pragma once
// What the ACTION and RELAX modes share: a goal of removed pibbles shown on the time bar, the hint penalty
// taken off the count, the reminders' hints of the first levels, and the end of a game (the highscore
// entry, the player's progress, the hard-mode notice, and where the player goes afterwards).

#include <cstdint>

namespace ui {
class Sprite;
}

namespace game {

// The reminders explain the game through this level.
constexpr std::int32_t lastExplainedLevel = 5;

// The count after a match that removed that many pibbles; it stops at the largest count.
std::int32_t countAfterMatch(std::int32_t numPibbles, std::int32_t removed);
// The count after a hint: the penalty's share of the goal is taken off, in single precision, truncated
// toward zero and never below 0.
std::int32_t countAfterHintPenalty(std::int32_t numPibbles, float penalty, std::int32_t goal);
// Whether the goal-bar hint is due: the count has reached 0.3 of the goal, in single precision.
bool goalHintDue(std::int32_t numPibbles, std::int32_t goal);
// The bar shows the share of the goal reached (a full bar once it is reached, an empty one without a goal);
// while a modifier runs on the bar its clip is left alone.
void clipGoalBar(ui::Sprite* bar, std::int32_t numPibbles, std::int32_t goal);
// A timer after dt ms; it keeps running below 0, down to the smallest value.
std::int32_t timerAfter(std::int32_t timer, std::uint32_t dt);
// The largest goal the game gives a level of the mode (what a saved goal may hold); without tuning rows, no
// bound.
std::int32_t largestGoal(std::int32_t mode);
// The number of the level after this one; a saved game may stand at the largest number, which then stays.
std::int32_t levelAfter(std::int32_t levelNr);

// The mode's highscore entry of the player's name, the score and the level; the player's highest level of
// the mode at the current difficulty; and the mode's notice when that unlocked its hard difficulty.
void recordGameOver(std::int32_t mode, std::int32_t levelNr, std::int32_t score);
// After a lost game: the album at the mode's highscore page with the new entry, when the score entered the
// table, returning to the selection; otherwise back to the selection through a fade.
void leaveAfterGameOver(std::int32_t mode);

} // namespace game
