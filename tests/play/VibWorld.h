#pragma once
// The VIB scene run headless on the play world, as the selection scene starts it: the mode's tuning, a level
// catalogue of the 10 chapters of 7 levels with a small level of the tests' own in every place (or the
// game's catalogue with chapter 1's own levels), the highscore tables, plain dialogs standing for the level
// end, the progress map and the game's end, a selection scene to go back to, and the pibbles' hit mask, so
// that a click at a pibble's body takes its cell as in the game.

#include "engine/platform/HighScoreManager.h"
#include "engine/platform/ScoreTable.h"
#include "engine/ui/SceneManager.h"
#include "game/field/FieldRenderer.h"
#include "game/field/Pibble.h"
#include "game/field/PlayField.h"
#include "game/foundation/GameGlobals.h"
#include "game/foundation/GameIds.h"
#include "game/foundation/LevelCatalogue.h"
#include "game/foundation/PibbleHighscoreEntry.h"
#include "game/foundation/PibbleScene.h"
#include "game/frontend/AlbumPictures.h"
#include "game/play/PlaySceneVIB.h"

#include "PlayWorld.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace vibtest {

namespace ids = game::ids;
namespace state = game::fieldState;

inline constexpr playtest::SceneKind vibScene{"PlaySceneVIB", ids::scenePlayVib, game::gameModeVib};

// Plain dialogs stand for the level end, the progress map and the game's end, so a test sees them open.
inline const std::string courseDialogs = R"(<DialogPibble id="DIALOG_LEVELEND" width="300" height="200" />)"
                                         R"(<DialogPibble id="DIALOG_PROGRESS" width="640" height="480" />)"
                                         R"(<DialogPibble id="DIALOG_GAMEEND" width="640" height="480" />)";

// The mode's tuning: the game's clock thresholds and penalty, and a short rest of the hint button.
inline constexpr int hintRestMs = 2000;
inline constexpr int countingFromMs = 15000;
inline constexpr int tickingFromMs = 5000;
inline constexpr double hintPenalty = 0.1;

inline std::string levelFileName(std::int32_t chapter, std::int32_t level) {
    char name[32];
    std::snprintf(name, sizeof name, "c%02d_l%02d.xml", chapter, level);
    return name;
}

inline std::string catalogueText() {
    std::string xml = "<Levels><Vector id=\"levels\">";
    for (std::int32_t chapter = 1; chapter <= game::PlaySceneVIB::chapterCount; ++chapter) {
        for (std::int32_t level = 1; level <= game::PlaySceneVIB::levelsPerChapter; ++level) {
            xml += "<Level chapterNr=\"" + std::to_string(chapter) + "\" levelNr=\"" + std::to_string(level) +
                   "\" levelFile=\"" + levelFileName(chapter, level) + "\" />";
        }
    }
    return xml + "</Vector></Levels>";
}

// A level of layout rows (an 'X' is a VIB pibble) with the colour digits of each row (the queue's first);
// without digits it starts recoloured for three moves. Its time is in seconds, as the files give it.
inline std::string vibLevel(const std::vector<std::string>& layout, int seconds,
                            const std::vector<std::string>& colours = {}) {
    std::string xml = playtest::levelText(layout, colours, colours.empty() ? 3 : 0);
    const std::string defaultTime = "time=\"60\"";
    xml.replace(xml.find(defaultTime), defaultTime.size(), "time=\"" + std::to_string(seconds) + "\"");
    return xml;
}

// Five by five field cells with the queue at the left and two VIB pibbles.
inline const std::vector<std::string> twoVibs = {"qxxxxxq", "qxXxxxq", "qxxxxxq", "qxxxXxq", "qxxxxxq"};
// A minute on the clock, 75 s at normal difficulty.
inline constexpr int levelSeconds = 60;
inline constexpr int levelMsNormal = 75000;

class VibWorld {
public:
    // Without the course's dialogs the scene opens none of them.
    explicit VibWorld(const std::string& extraDeclarations = {}, bool declareCourseDialogs = true)
        : world((declareCourseDialogs ? courseDialogs : std::string()) + extraDeclarations, vibScene) {
        fieldtest::FieldWorld::setInt(ids::cfgHintNoClickTimer, hintRestMs);
        fieldtest::FieldWorld::setInt(ids::cfgSoundStartCounting, countingFromMs);
        fieldtest::FieldWorld::setInt(ids::cfgSoundStartTicking, tickingFromMs);
        fieldtest::FieldWorld::setDouble(ids::cfgHintPenaltyVib, hintPenalty);
        fieldtest::FieldWorld::addSection(ids::groupPibbles, {{ids::pibbleHitMask, playtest::bodyMask()}});
        world.folder.write(game::LevelCatalogue::catalogueFile, catalogueText());
        for (std::int32_t chapter = 1; chapter <= game::PlaySceneVIB::chapterCount; ++chapter) {
            for (std::int32_t level = 1; level <= game::PlaySceneVIB::levelsPerChapter; ++level) {
                writeLevel(chapter, level, vibLevel(twoVibs, levelSeconds));
            }
        }
        game::LevelCatalogue::create()->load();
        game::addMissingScoreTables(*platform::HighScoreManager::create());
        ui::RegisterScene(ids::sceneSelection, new game::PibbleScene());
        game::FieldRenderer::setAlbumBlockingHook([] { return true; });
        world.paintField();
    }
    ~VibWorld() {
        game::FieldRenderer::setAlbumBlockingHook(nullptr);
        world.scene->removeAllDialogs();
        game::AlbumPictures::destroy();
        platform::HighScoreManager::destroy();
        game::LevelCatalogue::destroy();
    }
    VibWorld(const VibWorld&) = delete;
    VibWorld& operator=(const VibWorld&) = delete;

    void writeLevel(std::int32_t chapter, std::int32_t level, const std::string& xml) {
        world.folder.write(std::string(game::LevelCatalogue::levelFolder) + levelFileName(chapter, level),
                           xml);
    }
    // The game's own catalogue in place of the tests'.
    void useGameCatalogue() {
        std::filesystem::copy_file(
            std::filesystem::path(PIBBLES_SOURCE_DIR) / game::LevelCatalogue::catalogueFile,
            game::LevelCatalogue::catalogueFile, std::filesystem::copy_options::overwrite_existing);
        game::LevelCatalogue::instance()->load();
    }

    game::PlaySceneVIB& scene() const { return static_cast<game::PlaySceneVIB&>(*world.scene); }
    game::PlayField& field() const { return *world.field(); }

    // Entered past the rules page with the start kind and difficulty the selection scene sets; frames until
    // the field waits for a click.
    void enter(std::int32_t kind = game::startKindNew, std::int32_t difficulty = game::difficultyNormal) {
        world.player().setSeenHowToPlay(game::gameModeVib, true);
        game::setStartKind(kind);
        game::setDifficulty(difficulty);
        world.enter();
        frame();
        ASSERT_NE(world.field(), nullptr);
        ASSERT_TRUE(settle());
    }
    // Entered as above, with the level kept from ending by itself: the field counts an animation that never
    // ends, so it is never at rest.
    void enterPlaying() {
        enter();
        field().incRunningAnimations();
    }
    // Frames until the field rests at idle, scanned; false when that takes longer than the limit.
    bool settle(int limitMs = 20000, std::uint32_t ms = 16) {
        return until([this] { return atRest(); }, limitMs, ms);
    }
    // A frame of the scene, the field painted as the game's screen paints it (see PlayWorld::paintField).
    void frame(std::uint32_t ms = 16) { world.frame(ms); }
    void frames(int count, std::uint32_t ms = 16) {
        for (int i = 0; i < count; ++i) {
            frame(ms);
        }
    }
    bool until(const std::function<bool()>& holds, int limitMs = 20000, std::uint32_t ms = 16) {
        for (int elapsed = 0; elapsed < limitMs; elapsed += static_cast<int>(ms)) {
            frame(ms);
            if (holds()) {
                return true;
            }
        }
        return false;
    }
    bool atRest() const { return playtest::fieldAtRest(world.field()); }
    // The fade between two levels is over and the next level waits for a click.
    bool fadeOver() const { return scene().getFadeOverlay() == nullptr && atRest(); }
    // Clicks the cell where its pibble's body takes the pointer; false when no point of it does.
    bool click(std::int32_t row, std::int32_t column) const {
        return playtest::clickPibble(field(), row, column);
    }
    platform::ScoreTable& scores() const {
        return *platform::HighScoreManager::instance()->getTable(ids::scoreTableVib);
    }
    ui::SceneManager& manager() const { return *world.manager; }
    bool isOpen(const char* dialog) const { return world.scene->isDialogOpen(dialog); }

    playtest::PlayWorld world;
};

} // namespace vibtest
