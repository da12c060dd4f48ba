#pragma once
// A play field run headless, frame by frame: the tuning it reads, a seeded random generator, a current
// player, a working folder with the collectables' rules and the levels a test writes, no pictures unless
// a test adds them. Each frame updates the field's tree, paints its renderer into a picture and lets the
// cleaner take the dead nodes away, as a scene does.

#include "engine/graphics/ImagePainter.h"
#include "engine/kernel/ScalarValue.h"
#include "engine/kernel/ValueDocument.h"
#include "engine/platform/PlayerManager.h"
#include "engine/ui/GameNode.h"
#include "engine/ui/SceneManager.h"
#include "game/field/CollectablesManager.h"
#include "game/field/FieldRenderer.h"
#include "game/field/GameEventListener.h"
#include "game/field/Pibble.h"
#include "game/field/PlayField.h"
#include "game/foundation/GameIds.h"
#include "game/foundation/LevelFile.h"
#include "game/foundation/PibblePlayer.h"
#include "game/foundation/PibbleScene.h"
#include "game/foundation/Random.h"

#include "FieldWorld.h"
#include "ResourceFolder.h"

#include <string>
#include <utility>
#include <vector>

namespace fieldtest {

// The default tuning's kind of values, small enough that tests run animations out in a few frames.
inline const std::pair<const char*, int> fieldTuning[] = {{game::ids::cfgRemoveSpreadMin, 10},
                                                          {game::ids::cfgRemoveSpreadMax, 90},
                                                          {game::ids::cfgBlinkDuration, 150},
                                                          {game::ids::cfgBlinkInterval, 600},
                                                          {game::ids::cfgBlinkRandomize, 1400},
                                                          {game::ids::cfgStubbornInterval, 3000},
                                                          {game::ids::cfgStubbornRandomize, 4000},
                                                          {game::ids::cfgVibInterval, 2500},
                                                          {game::ids::cfgVibRandomize, 3000},
                                                          {game::ids::cfgClownGlowFrameDelay, 60},
                                                          {game::ids::cfgDechainFrameDelay, 70},
                                                          {game::ids::cfgJumpDuration, 320},
                                                          {game::ids::cfgJumpHeight, 40},
                                                          {game::ids::cfgJumpTrailInterval, 30},
                                                          {game::ids::cfgJumpBounce, 120},
                                                          {game::ids::cfgHupDuration, 260},
                                                          {game::ids::cfgHupHeight, 22},
                                                          {game::ids::cfgHupBounce, 100},
                                                          {game::ids::cfgHardModeUnlockVib, 11},
                                                          {game::ids::cfgHintNoMatchCount, 3},
                                                          {game::ids::cfgFloaterOffsetX, 0},
                                                          {game::ids::cfgFloaterOffsetY, -45},
                                                          {game::ids::cfgMaxPermutationTries, 200},
                                                          {game::ids::cfgCollectableCounter, 60},
                                                          {game::ids::cfgHintEnabledDelay, 500}};

// A level of rows of layout letters, queue columns at both ends, on a field whose cells are 44 x 44 with
// the top-left cell at (200, 150) and the queue at x 130. With moves, the level starts recoloured for them.
inline std::string levelXml(const std::vector<std::string>& rows, const std::string& extra = {},
                            int moves = 0) {
    std::string xml = "<Level><Node id=\"properties\" numcolors=\"5\" nummoves=\"" + std::to_string(moves) +
                      "\" time=\"60\" /><Vector id=\"layout\">";
    for (const std::string& row : rows) {
        xml += "<Row data=\"" + row + "\" />";
    }
    const int columns = rows.empty() ? 0 : static_cast<int>(rows.front().size()) - 2;
    xml += "</Vector><Vector id=\"background\">"
           "<Param name=\"image\" value=\"NONE\" /><Param name=\"offset_y\" value=\"150\" />"
           "<Param name=\"offset_x_field\" value=\"200\" /><Param name=\"offset_x_queue1\" value=\"130\" />"
           "<Param name=\"offset_x_queue2\" value=\"620\" />"
           "<Param name=\"field_width\" value=\"" +
           std::to_string(44 * columns) + "\" /><Param name=\"field_height\" value=\"" +
           std::to_string(44 * static_cast<int>(rows.size())) + "\" /></Vector>" + extra + "</Level>";
    return xml;
}

class FieldGame {
public:
    explicit FieldGame(const std::string& rules = "<Rules><Vector id=\"collectables\" /></Rules>") {
        for (const auto& [key, value] : fieldTuning) {
            FieldWorld::setInt(key, value);
        }
        folder.write("media/properties/collectables.xml", rules);
        game::Random::create()->setSeed(4711);
        platform::PlayerManager::create()->addPlayer(new game::PibblePlayer("Ann"));
        // One field at a time, as in the game.
        EXPECT_EQ(game::PlayField::instance(), nullptr);
        field = game::PlayField::create();
        root->addChild(field);
    }
    ~FieldGame() {
        field->kill();
        game::PlayField::destroy();
        root->removeDeadDescendants();
        platform::PlayerManager::destroy();
        game::Random::destroy();
    }
    FieldGame(const FieldGame&) = delete;
    FieldGame& operator=(const FieldGame&) = delete;

    kernel::SmartPtr<game::LevelFile> level(const std::vector<std::string>& rows,
                                            const std::string& extra = {}, int moves = 0) {
        return new game::LevelFile(
            folder.write("level" + std::to_string(++levels) + ".xml", levelXml(rows, extra, moves)));
    }
    // The level laid out and play begun.
    void play(const std::vector<std::string>& rows, const std::string& extra = {}) {
        field->loadLevel(level(rows, extra).get());
        field->announceReady();
        field->go();
    }
    void frame(std::uint32_t ms = 16) {
        root->updateTree(ms);
        if (game::FieldRenderer* renderer = game::FieldRenderer::instance()) {
            renderer->paint(*painter);
        }
        root->removeDeadDescendants();
    }
    void frames(int count, std::uint32_t ms = 16) {
        for (int i = 0; i < count; ++i) {
            frame(ms);
        }
    }
    // Frames until no animation is counted and no pibble of the field has a modifier left; false when that
    // takes longer than the limit.
    bool settle(int limitMs = 10000, std::uint32_t ms = 16) {
        for (int elapsed = 0; elapsed < limitMs; elapsed += static_cast<int>(ms)) {
            frame(ms);
            if (field->runningAnimationCount() == 0 && field->effectAnimationCount() == 0 && allAtRest()) {
                return true;
            }
        }
        return false;
    }
    bool allAtRest() const {
        for (std::int32_t row = 1; row <= field->rowCount(); ++row) {
            for (std::int32_t column = 0; column <= field->columnCount(); ++column) {
                const game::Pibble* pibble = field->pibbleAt(row, column);
                if (pibble != nullptr && !pibble->getModifierList().empty()) {
                    return false;
                }
            }
        }
        return true;
    }
    game::PibblePlayer& player() const { return *game::currentPlayer(); }

    FieldWorld world;
    testsupport::WorkingFolder folder;
    kernel::SmartPtr<ui::GameNode> root = new ui::GameNode();
    game::PlayField* field = nullptr;
    testsupport::Image32 screen = testsupport::filled32(640, 480, 0);
    kernel::SmartPtr<graphics::ImagePainter> painter = screen->createPainter();
    int levels = 0;
};

// A game scene, made current, that adds its part to a stored game and notes what the field asks of it.
class ScriptedScene : public game::PibbleScene {
public:
    void saveProperties(kernel::NodeValue& properties) override {
        properties.setChild(new kernel::ScalarValue("difficulty", 1, kernel::Typing::Untyped));
    }
    void flushPlayTime() override { ++flushes; }
    void onCollectableUnlocked(std::int32_t id) override {
        unlocked.push_back(id);
        flushesBefore.push_back(flushes);
    }
    std::int32_t playingMode() const override { return mode; }
    void saveGame() override { ++saves; }

    // Entered as the scene manager's current scene; the manager lives until the test ends.
    static ScriptedScene& enter() {
        ui::SceneManager* manager = ui::SceneManager::create();
        ui::RegisterScene("SCENE_SCRIPTED", new ScriptedScene());
        manager->changeScene("SCENE_SCRIPTED");
        manager->onFrame(16);
        return static_cast<ScriptedScene&>(*manager->currentScene());
    }

    int flushes = 0;
    std::int32_t mode = game::gameModeNone;
    int saves = 0;
    std::vector<std::int32_t> unlocked;
    std::vector<int> flushesBefore;
};

// Hears every event, in order.
class RecordingListener : public game::GameEventListener {
public:
    struct Heard {
        std::int32_t type;
        game::Pibble* pibble;
        std::int32_t row;
        std::int32_t column;
    };
    void hear(const game::GameEvent& event) {
        heard.push_back({event.type, event.pibble, event.row(), event.column()});
        events.push_back(event);
    }
    // The events of a type, in order.
    std::vector<game::GameEvent> ofType(std::int32_t type) const {
        std::vector<game::GameEvent> found;
        for (const game::GameEvent& event : events) {
            if (event.type == type) {
                found.push_back(event);
            }
        }
        return found;
    }
    std::vector<std::int32_t> types() const {
        std::vector<std::int32_t> all;
        for (const Heard& one : heard) {
            all.push_back(one.type);
        }
        return all;
    }
    void onPaused(const game::GameEvent& e) override { hear(e); }
    void onFrozen(const game::GameEvent& e) override { hear(e); }
    void onResumed(const game::GameEvent& e) override { hear(e); }
    void onReady(const game::GameEvent& e) override { hear(e); }
    void onGo(const game::GameEvent& e) override { hear(e); }
    void onLevelFinished(const game::GameEvent& e) override { hear(e); }
    void onLevelFailed(const game::GameEvent& e) override { hear(e); }
    void onIdleReminder(const game::GameEvent& e) override { hear(e); }
    void onNoMatchReminder(const game::GameEvent& e) override { hear(e); }
    void onPibbleClicked(const game::GameEvent& e) override { hear(e); }
    void onQueueClicked(const game::GameEvent& e) override { hear(e); }
    void onClownClicked(const game::GameEvent& e) override { hear(e); }
    void onPartyClicked(const game::GameEvent& e) override { hear(e); }
    void onStubbornClicked(const game::GameEvent& e) override { hear(e); }
    void onChainedClicked(const game::GameEvent& e) override { hear(e); }
    void onCollectableClicked(const game::GameEvent& e) override { hear(e); }
    void onVibClicked(const game::GameEvent& e) override { hear(e); }
    void onClownAppeared(const game::GameEvent& e) override { hear(e); }
    void onPartyAppeared(const game::GameEvent& e) override { hear(e); }
    void onStubbornAppeared(const game::GameEvent& e) override { hear(e); }
    void onChainedAppeared(const game::GameEvent& e) override { hear(e); }
    void onCollectableAppeared(const game::GameEvent& e) override { hear(e); }
    void onUnhappyAppeared(const game::GameEvent& e) override { hear(e); }
    void onMatch(const game::GameEvent& e) override { hear(e); }
    void onPartyPoints(const game::GameEvent& e) override { hear(e); }
    void onHintUsed(const game::GameEvent& e) override { hear(e); }
    void onHintAvailable(const game::GameEvent& e) override { hear(e); }

    std::vector<Heard> heard;
    // Whole, for their words; their pibbles are not to be followed after the event.
    std::vector<game::GameEvent> events;
};

} // namespace fieldtest
