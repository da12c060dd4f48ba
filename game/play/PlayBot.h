#pragma once

#include "engine/kernel/SmartPtr.h"
#include "engine/platform/SceneComponent.h"
#include "game/field/Board.h"

#include <cstdint>
#include <random>
#include <string>

namespace ui {
class Button;
class GameNode;
} // namespace ui

namespace game {

class PlayField;
class PlayScene;

// The game's own player, for the benchmarks that watch the running game. Asked for through the environment,
// it plays whatever level a play scene shows: whenever the field waits for a click it looks at the field for
// a moment, as a player does, then clicks one of the moves the rules say are possible, drawn from its own
// seeded generator. Its clicks are window messages posted to the game window, so they travel the way the
// mouse's do. Of the dialogs it answers only those that stand between it and the next move: the hint's OK
// and the level-end dialog's way on to the next level after a won level; every other dialog (the rules
// page, the menu, a lost game) is left to whoever drives the game. What it sees and does (the play scene it
// entered and left, the newest dialog open over it with the places of its buttons, each move, each press)
// goes to the debug output, one line each, for that driver to follow; so does the moment the field takes a
// move up, and each move's chain when the field takes clicks again: its removal steps, the milliseconds
// from the click and the score it came to (or the level's end a chain brought, with its score).
class PlayBot : public platform::SceneComponent {
public:
    // Holds the seed, a whole number; read once, at start-up.
    static constexpr const char* seedVariable = "PIBBLES_BOT";
    // How long the field (or a button) rests before the bot clicks.
    static constexpr std::uint32_t thinkingMs = 300;
    // A click that changed nothing is given up after this long, and the bot looks again.
    static constexpr std::uint32_t answerMs = 2000;

    explicit PlayBot(std::uint32_t seed);

    // A bot made as the frame timer's last listener when the environment names a seed; null otherwise.
    // The timer holds it.
    static PlayBot* startWhenAsked();

    void onFrame(std::uint32_t ms) override;

    // One of the rules' possible moves on the field now, drawn from the generator; false when there is none.
    static bool pickMove(const PlayField& field, std::mt19937& generator, Cell& move);
    // A point where the cell's pibble takes the pointer; false when no point of it does.
    static bool pointOnPibble(const PlayField& field, const Cell& cell, int& x, int& y);
    // The middle of the button, when the button takes a press there.
    static bool pointOnButton(const ui::Button& button, int& x, int& y);

    int getMoveCount() const { return moves; }
    const Cell& getLastMove() const { return lastMove; }
    int getButtonPresses() const { return presses; }

    static constexpr kernel::ClassInfo classInfo{&platform::SceneComponent::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    // The button of the newest open dialog that the bot answers, once it can be pressed; null when none.
    static ui::Button* buttonToPress(const PlayScene& scene);
    void reportScene(const PlayScene* scene);
    void reportDialog(const PlayScene* scene);
    // " NAME X Y" for each visible button under the node.
    static void appendButtons(const ui::GameNode& node, std::string& line);
    static bool waitsForClick(const PlayScene& scene, const PlayField& field);
    void thinkAndPress(ui::Button& button, std::uint32_t ms);
    void thinkAndMove(const PlayField& field, std::uint32_t ms);
    void followChain(const PlayField* field, std::uint32_t ms);
    // The press and release a mouse makes there, after moving to it.
    static bool clickAt(int x, int y);

    std::mt19937 generator;
    std::uint32_t restingMs = 0;
    // A move clicked that the field has not taken up yet, and the time since the last click.
    bool awaitingAnswer = false;
    std::uint32_t waitedMs = 0;
    // The move clicked last, until the field takes clicks again: whether the field has left its rest for
    // it, the most removal steps it has made, and the time since the click.
    bool chainRunning = false;
    bool chainBusy = false;
    std::int32_t chainSteps = 0;
    std::uint32_t chainMs = 0;
    // The button pressed last, while its dialog is still open.
    kernel::SmartPtr<ui::Button> pressedButton;
    int moves = 0;
    int presses = 0;
    Cell lastMove;
    // The play scene current in the last frame; empty when none was.
    std::string sceneName;
    // The newest dialog open over it in the last frame; empty when none was.
    std::string dialogName;
};

} // namespace game
