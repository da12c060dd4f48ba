#pragma once
// The ACTION or RELAX scene run headless on the play world, as the selection scene starts it: the modes'
// tuning, a level catalogue (tuning tables written for the tests, or the game's own with its levels), the
// modes' level files, the highscore tables, a selection scene to go back to, and the pibbles' hit mask, so
// that a click at a pibble's body takes its cell as in the game.

#include "engine/platform/HighScoreManager.h"
#include "engine/ui/SceneManager.h"
#include "game/field/Pibble.h"
#include "game/field/PlayField.h"
#include "game/foundation/GameGlobals.h"
#include "game/foundation/GameIds.h"
#include "game/foundation/LevelCatalogue.h"
#include "game/foundation/PibbleHighscoreEntry.h"
#include "game/foundation/PibbleScene.h"
#include "game/foundation/SavedGames.h"
#include "game/frontend/AlbumPictures.h"
#include "game/play/PlaySceneAction.h"
#include "game/play/PlaySceneRelax.h"

#include "PlayWorld.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace modetest {

namespace ids = game::ids;
namespace state = game::fieldState;

// A plain dialog stands for the level-end dialog, so its kind can be read once it opens.
inline const char* const levelEndDeclaration =
    R"(<DialogPibble id="DIALOG_LEVELEND" width="300" height="200" />)";

// The tests' tuning: level n of 1..20 (above 20 the 20th) at normal (0) or hard (1) difficulty. Every value
// changes from row to row, so a test can tell which row a level read.
inline game::ActionModeParams actionRow(std::int32_t level, std::int32_t difficulty) {
    const std::int32_t n = std::min(level, game::LevelCatalogue::lastTunedLevel) - 1;
    const std::int32_t hard = difficulty == game::difficultyHard ? 1 : 0;
    return {5000 + 100 * n + 1000 * hard,
            1000 + 10 * n + 100 * hard,
            100 + n + 100 * hard,
            4 + n % 3,
            n,
            10 + hard};
}
inline game::RelaxModeParams relaxRow(std::int32_t level, std::int32_t difficulty) {
    const std::int32_t n = std::min(level, game::LevelCatalogue::lastTunedLevel) - 1;
    const std::int32_t hard = difficulty == game::difficultyHard ? 1 : 0;
    return {10 * n + 5 * hard, 100 + n + 100 * hard, 4 + n % 3, 3 + hard, 1 + hard, -2 - n, -4 - hard};
}

inline std::string row(const std::vector<std::pair<const char*, std::int32_t>>& values) {
    std::string text = "<Row";
    for (const auto& [key, value] : values) {
        text += std::string(" ") + key + "=\"" + std::to_string(value) + "\"";
    }
    return text + " />";
}

inline std::string testCatalogue() {
    std::string xml = "<Levels><Vector id=\"levels\" />";
    for (const std::int32_t difficulty : {game::difficultyNormal, game::difficultyHard}) {
        const char* suffix = difficulty == game::difficultyHard ? "hard" : "normal";
        xml += std::string("<Vector id=\"actionmode") + suffix + "\">";
        for (std::int32_t level = 1; level <= game::LevelCatalogue::lastTunedLevel; ++level) {
            const game::ActionModeParams a = actionRow(level, difficulty);
            xml += row({{"levelNr", level},
                        {"stubbornTimer", a.stubbornTimer},
                        {"penaltyTimer", a.penaltyTimer},
                        {"numPibbles", a.numPibbles},
                        {"numColors", a.numColors},
                        {"chanceMinus", a.chanceMinus},
                        {"chanceMultiplier", a.chanceMultiplier}});
        }
        xml += std::string("</Vector><Vector id=\"relaxmode") + suffix + "\">";
        for (std::int32_t level = 1; level <= game::LevelCatalogue::lastTunedLevel; ++level) {
            const game::RelaxModeParams r = relaxRow(level, difficulty);
            xml += row({{"levelNr", level},
                        {"chanceValueStart", r.chanceValueStart},
                        {"numPibbles", r.numPibbles},
                        {"numColors", r.numColors},
                        {"chanceDelta3", r.chanceDelta3},
                        {"chanceDelta4", r.chanceDelta4},
                        {"chanceDelta5", r.chanceDelta5},
                        {"chanceDelta6", r.chanceDelta6}});
        }
        xml += "</Vector>";
    }
    return xml + "</Levels>";
}

using playtest::levelText;

// Five by five field cells with the queue at the left, recoloured so that three moves are possible.
inline const std::vector<std::string> openField = {"qxxxxxq", "qxxxxxq", "qxxxxxq", "qxxxxxq", "qxxxxxq"};
// No move: the queue's colour stands nowhere on the field, and the field has no run.
inline const std::vector<std::string> stuckField = {"qxxxq", "qxxxq"};
inline const std::vector<std::string> stuckColours = {"41230", "42310"};

enum class Data { tests, game };

class ModeWorld {
public:
    // The game's data: its catalogue and its two mode levels, with the game's tuning of the modes.
    explicit ModeWorld(const playtest::SceneKind& kind, const std::string& extraDeclarations = {},
                       Data data = Data::tests)
        : world(extraDeclarations, kind), mode(kind.mode) {
        world.paintField();
        fieldtest::FieldWorld::setInt(ids::cfgPibbleUnhappyDuration, 4000);
        fieldtest::FieldWorld::setDouble(ids::cfgHintPenaltyAction, 0.1);
        fieldtest::FieldWorld::setDouble(ids::cfgHintPenaltyRelax, 0.1);
        fieldtest::FieldWorld::setInt(ids::cfgHardModeUnlockAction, unlockLevel);
        fieldtest::FieldWorld::setInt(ids::cfgHardModeUnlockRelax, unlockLevel);
        fieldtest::FieldWorld::addSection(ids::groupPibbles, {{ids::pibbleHitMask, playtest::bodyMask()}});
        if (data == Data::game) {
            copyFromSources(game::LevelCatalogue::catalogueFile);
            copyFromSources("media/levels/level_action.xml");
            copyFromSources("media/levels/level_relax.xml");
        } else {
            world.folder.write(game::LevelCatalogue::catalogueFile, testCatalogue());
            writeModeLevel(levelText(openField, {}, 3));
        }
        game::LevelCatalogue::create()->load();
        game::addMissingScoreTables(*platform::HighScoreManager::create());
        ui::RegisterScene(ids::sceneSelection, new game::PibbleScene());
    }
    ~ModeWorld() {
        world.scene->removeAllDialogs();
        game::AlbumPictures::destroy();
        platform::HighScoreManager::destroy();
        game::LevelCatalogue::destroy();
    }
    ModeWorld(const ModeWorld&) = delete;
    ModeWorld& operator=(const ModeWorld&) = delete;

    // The level every game of the mode plays on.
    void writeModeLevel(const std::string& xml) {
        world.folder.write(
            std::string(game::LevelCatalogue::levelFolder) + game::LevelCatalogue::modeLevelFile(mode), xml);
    }

    // Entered past the rules page with the start kind and difficulty the selection scene sets; frames until
    // the field waits for a click.
    void enter(std::int32_t kind = game::startKindNew, std::int32_t difficulty = game::difficultyNormal) {
        world.player().setSeenHowToPlay(mode, true);
        game::setStartKind(kind);
        game::setDifficulty(difficulty);
        world.enter();
        ASSERT_NE(world.field(), nullptr);
        ASSERT_TRUE(settle());
    }
    // Frames until the field rests at idle, scanned; false when that takes longer than the limit.
    // Announcements are on once the GO sign is over.
    bool settle(int limitMs = 20000, std::uint32_t ms = 16) {
        return until([this] { return atRest() && world.field()->areAnnouncementsOn(); }, limitMs, ms);
    }
    bool until(const std::function<bool()>& holds, int limitMs = 20000, std::uint32_t ms = 16) {
        for (int elapsed = 0; elapsed < limitMs; elapsed += static_cast<int>(ms)) {
            world.frame(ms);
            if (holds()) {
                return true;
            }
        }
        return false;
    }
    bool atRest() const { return playtest::fieldAtRest(world.field()); }
    // Clicks the cell where its pibble's body takes the pointer; false when no point of it does.
    bool click(std::int32_t row, std::int32_t column) const {
        return playtest::clickPibble(*world.field(), row, column);
    }
    // The field cells marked as moves by the last scan, row by row.
    std::vector<std::pair<std::int32_t, std::int32_t>> moves() const {
        std::vector<std::pair<std::int32_t, std::int32_t>> found;
        const game::PlayField& field = *world.field();
        for (std::int32_t r = 1; r <= field.rowCount(); ++r) {
            for (std::int32_t c = 1; c <= field.columnCount(); ++c) {
                if (field.moveMark(r, c) != 0) {
                    found.emplace_back(r, c);
                }
            }
        }
        return found;
    }
    // What both modes have, whichever this one is.
    std::int32_t levelNr() const { return action() ? action()->getLevelNr() : relax()->getLevelNr(); }
    std::int32_t numPibbles() const {
        return action() ? action()->getNumPibbles() : relax()->getNumPibbles();
    }
    std::int32_t goal() const {
        return action() ? action()->getNumPibblesGoal() : relax()->getNumPibblesGoal();
    }
    std::int32_t rowGoal(std::int32_t level, std::int32_t difficulty) const {
        return action() ? actionRow(level, difficulty).numPibbles : relaxRow(level, difficulty).numPibbles;
    }
    std::int32_t rowColours(std::int32_t level, std::int32_t difficulty) const {
        return action() ? actionRow(level, difficulty).numColors : relaxRow(level, difficulty).numColors;
    }
    void nextLevel() const { action() ? action()->nextLevel() : relax()->nextLevel(); }
    void gameOver() const { action() ? action()->gameOver() : relax()->gameOver(); }
    game::PlaySceneAction* action() const {
        return world.scene->getClassInfo() == &game::PlaySceneAction::classInfo
                   ? static_cast<game::PlaySceneAction*>(world.scene)
                   : nullptr;
    }
    game::PlaySceneRelax* relax() const {
        return world.scene->getClassInfo() == &game::PlaySceneRelax::classInfo
                   ? static_cast<game::PlaySceneRelax*>(world.scene)
                   : nullptr;
    }
    // A match of one step of the move, as the field tells it.
    void match(std::int32_t pibbles, std::int32_t comboStep = 0) const {
        game::GameEvent event = game::GameEvent::of(game::eventType::match);
        event.words[game::matchWord::comboStep] = comboStep;
        event.words[game::matchWord::pibbles] = pibbles;
        event.words[game::matchWord::points] = 10;
        event.words[game::matchWord::x] = 300;
        event.words[game::matchWord::y] = 250;
        event.words[game::matchWord::colour] = 1;
        world.field()->broadcast(event);
    }
    platform::ScoreTable& scores() const {
        return *platform::HighScoreManager::instance()->getTable(game::ids::scoreTables[mode]);
    }
    ui::SceneManager& manager() const { return *world.manager; }

    static constexpr std::int32_t unlockLevel = 4;

    playtest::PlayWorld world;
    std::int32_t mode;

private:
    void copyFromSources(const std::string& relative) {
        std::filesystem::create_directories(std::filesystem::path(relative).parent_path());
        std::filesystem::copy_file(std::filesystem::path(PIBBLES_SOURCE_DIR) / relative, relative,
                                   std::filesystem::copy_options::overwrite_existing);
    }
};

// The current player's saved game of the mode, as a path of this system.
inline std::string savePath(std::int32_t mode) {
    std::string path = game::SavegamePath("Ann", mode);
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

inline void leave(ModeWorld& mode) {
    mode.manager().changeScene(ids::sceneSelection);
    mode.world.frames(2);
}

// A game at level 3 of the mode, saved by the game itself.
inline std::string savedAtLevelThree(ModeWorld& mode) {
    mode.enter();
    for (int level = 2; level <= 3; ++level) {
        mode.nextLevel();
        EXPECT_TRUE(mode.settle());
    }
    mode.world.scene->saveGame();
    leave(mode);
    return testsupport::TempDir::read(savePath(mode.mode));
}

} // namespace modetest
