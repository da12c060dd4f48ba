// The play scene's frame: the field paused under a dialog and resumed, the buttons by the field's state
// and the difficulty, the score label counting, the play time, the particles' flight and leave, and the
// level's statistics record.
#include "game/play/PlayScene.h"

#include "engine/kernel/PropertyStore.h"
#include "engine/ui/Button.h"
#include "engine/ui/Label.h"
#include "engine/ui/Sprite.h"
#include "game/field/FieldStatistics.h"
#include "game/frontend/DialogPibble.h"

#include "PlayWorld.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

namespace {

using playtest::PlayWorld;
namespace ids = game::ids;
namespace kind = game::eventType;
namespace word = game::matchWord;
namespace state = game::fieldState;

const char* const otherDialog = R"(<DialogPibble id="DIALOG_OTHER" width="200" height="100" />)";

const std::vector<kernel::SmartPtr<kernel::Object>>& records() {
    return platform::DataGathering::instance()->getSessions().back().getRecords();
}

// A match without a combo at (300, 250), its particles of colour 4.
void burst(PlayWorld& world, std::int32_t pibbles) {
    game::GameEvent match = game::GameEvent::of(kind::match);
    match.words[word::pibbles] = pibbles;
    match.words[word::points] = 30;
    match.words[word::x] = 300;
    match.words[word::y] = 250;
    match.words[word::colour] = 4;
    world.field()->broadcast(match);
}

// The particles under the layer, in their order, held.
std::vector<kernel::SmartPtr<ui::Sprite>> particlesOf(const PlayWorld& world) {
    const std::vector<ui::Sprite*> shown =
        PlayWorld::spritesShowing(world.scene->getParticleLayer(), "PARTICLE_4");
    return {shown.begin(), shown.end()};
}

// Before play begins the field counts as paused without being so: it is neither paused under a dialog nor
// resumed frame after frame.
TEST(PlaySceneFrame, ADialogPausesThePlayedFieldOnceAndItsCloseResumesIt) {
    for (const std::int32_t at : {state::idle, state::loaded, state::ready}) {
        SCOPED_TRACE(at);
        const bool played = at == state::idle;
        PlayWorld world(otherDialog);
        world.startPlaying();
        fieldtest::RecordingListener heard;
        game::PlayField* field = world.field();
        field->addListener(&heard);
        field->setState(at);
        world.frames(5);
        game::DialogPibble::openDialog("DIALOG_OTHER", world.scene);
        world.frames(3);
        EXPECT_EQ(field->isPauseRequested(), played);
        EXPECT_EQ(field->isInputEnabled(), !played);
        world.scene->removeDialog("DIALOG_OTHER");
        world.frames(3);
        EXPECT_TRUE(field->isInputEnabled());
        EXPECT_FALSE(field->isPauseRequested());
        const std::vector<std::int32_t> pauseAndResume = {kind::paused, kind::resumed};
        EXPECT_EQ(heard.types(), played ? pauseAndResume : std::vector<std::int32_t>())
            << "once each, not every frame";
        field->removeListener(&heard);
    }
}

TEST(PlaySceneFrame, ButtonsFollowTheFieldsStateAndTheDifficulty) {
    PlayWorld world;
    world.player().setSeenHowToPlay(game::gameModeAction, true);
    world.enter();
    kernel::PropertyStore::instance()->textMapLookup(ids::tooltipHintNormal) = u"hint";
    kernel::PropertyStore::instance()->textMapLookup(ids::tooltipHintHard) = u"no hint on hard";
    game::PlayScene& scene = *world.scene;
    ui::Button* hint = scene.getHintButton();
    ui::Sprite* block = scene.getHintBlock();
    ASSERT_TRUE(hint != nullptr && block != nullptr && scene.getPauseButton() != nullptr &&
                scene.getMenuButton() != nullptr);
    for (const std::int32_t fieldState : {state::loaded, state::ready, state::idle, state::checkMove,
                                          state::refill, state::endOfMove, state::levelOver}) {
        const bool playing =
            fieldState != state::loaded && fieldState != state::ready && fieldState != state::levelOver;
        for (const std::int32_t difficulty : {game::difficultyNormal, game::difficultyHard, -1}) {
            for (const bool hintFlag : {true, false}) {
                SCOPED_TRACE("state " + std::to_string(fieldState) + ", difficulty " +
                             std::to_string(difficulty) + (hintFlag ? ", hint flag" : ""));
                world.field()->setState(fieldState);
                game::setDifficulty(difficulty);
                scene.setHintEnabled(hintFlag);
                // What a difficulty of neither kind must leave as it is.
                hint->setEnabled(!hintFlag);
                hint->setToolTipText(u"as it was");
                block->setVisible(hintFlag);
                scene.updateButtons();
                EXPECT_EQ(scene.getPauseButton()->isEnabled(), playing);
                EXPECT_EQ(scene.getMenuButton()->isEnabled(), playing);
                ASSERT_NE(hint->getToolTipText(), nullptr);
                switch (difficulty) {
                case game::difficultyNormal:
                    EXPECT_EQ(hint->isEnabled(), hintFlag && playing);
                    EXPECT_EQ(*hint->getToolTipText(), u"hint");
                    EXPECT_FALSE(block->isVisible());
                    break;
                case game::difficultyHard:
                    EXPECT_FALSE(hint->isEnabled());
                    EXPECT_EQ(*hint->getToolTipText(), u"no hint on hard");
                    EXPECT_TRUE(block->isVisible());
                    break;
                default:
                    EXPECT_EQ(hint->isEnabled(), !hintFlag);
                    EXPECT_EQ(*hint->getToolTipText(), u"as it was");
                    EXPECT_EQ(block->isVisible(), hintFlag);
                    break;
                }
            }
        }
    }
}

TEST(PlaySceneFrame, TheScoreLabelCountsTowardTheFieldsScoreAndJumpsDown) {
    PlayWorld world;
    world.startPlaying();
    kernel::PropertyStore::instance()->stringRef(ids::groupingDigit) = ".";
    game::PlayField* field = world.field();
    const ui::Label* label = world.scene->getScoreLabel();
    struct Step {
        std::int32_t score;
        std::uint32_t frameMs;
        std::int32_t shown;
        const char16_t* text;
    };
    const Step steps[] = {{3500, 16, 1000, u"1.000"}, // more than 1000 missing: 1000 a tuned unit of 16 ms
                          {3500, 32, 3000, u"3.000"}, // two units in a frame twice as long
                          {3500, 16, 3100, u"3.100"}, // 500 missing: 100 a unit
                          {3500, 16, 3200, u"3.200"},  {3500, 16, 3300, u"3.300"},
                          {3500, 16, 3400, u"3.400"},  {3500, 16, 3410, u"3.410"}, // 100 missing: 10 a unit
                          {3500, 160, 3500, u"3.500"},                             // never past the score
                          {3500, 16, 3500, u"3.500"},  {120, 16, 120, u"120"}};    // a lower score at once
    for (const Step& step : steps) {
        SCOPED_TRACE(step.shown);
        field->setScore(step.score);
        world.frame(step.frameMs);
        EXPECT_EQ(world.scene->getScoreTarget(), step.score);
        EXPECT_EQ(world.scene->getScoreShown(), step.shown);
        EXPECT_EQ(label->getText(), step.text);
    }
}

TEST(PlaySceneFrame, PlayTimeGrowsOnlyWhileTheLevelIsPlayed) {
    enum Condition { Playing, Loaded, Ready, LevelOver, Paused, Frozen };
    struct Case {
        Condition condition;
        std::int32_t grown;
    };
    for (const Case one : {Case{Playing, 200}, Case{Loaded, 0}, Case{Ready, 0}, Case{LevelOver, 0},
                           Case{Paused, 0}, Case{Frozen, 0}}) {
        SCOPED_TRACE(one.condition);
        PlayWorld world(otherDialog);
        world.startPlaying();
        game::PlayField* field = world.field();
        switch (one.condition) {
        case Loaded:
            field->setState(state::loaded);
            break;
        case Ready:
            field->setState(state::ready);
            break;
        case LevelOver:
            field->setState(state::levelOver);
            break;
        case Paused:
            game::DialogPibble::openDialog("DIALOG_OTHER", world.scene);
            world.frame(0);
            ASSERT_TRUE(field->isPaused());
            break;
        case Frozen:
            field->freeze();
            break;
        default:
            break;
        }
        const std::int32_t before = world.scene->getPlayMs();
        world.frames(10, 20);
        EXPECT_EQ(world.scene->getPlayMs() - before, one.grown);
    }
}

// A particle waits hidden where the match was, then flies by its velocity, which gravity bends by 0.2 a
// frame; the frame leaves its position on whole pixels.
TEST(PlaySceneFrame, ParticlesWaitHiddenThenFlyAndFall) {
    PlayWorld world;
    world.startPlaying();
    burst(world, 3);
    const std::vector<kernel::SmartPtr<ui::Sprite>> particles = particlesOf(world);
    ASSERT_EQ(particles.size(), 3u);
    std::vector<std::vector<std::pair<int, int>>> tracks(particles.size());
    for (int frame = 0; frame < 40; ++frame) {
        world.frame();
        for (std::size_t i = 0; i < particles.size(); ++i) {
            const ui::Sprite& particle = *particles[i];
            if (!particle.isVisible() && tracks[i].empty()) {
                EXPECT_EQ(particle.getX(), 300);
                EXPECT_EQ(particle.getY(), 250);
            } else {
                tracks[i].emplace_back(particle.getX(), particle.getY());
            }
        }
    }
    for (std::size_t i = 0; i < particles.size(); ++i) {
        SCOPED_TRACE(i);
        const std::vector<std::pair<int, int>>& track = tracks[i];
        ASSERT_GE(track.size(), 31u);
        const auto [x0, y0] = track[10];
        const auto [x1, y1] = track[20];
        const auto [x2, y2] = track[30];
        // Ten frames apart: the sideways speed stays, the fall grows by 10 x 10 x 0.2.
        const double sideways = std::abs(x2 - x0) / 20.0;
        EXPECT_NEAR(sideways - std::floor(sideways), 0.5, 0.11) << "0.5 to 3.5 a frame";
        EXPECT_NEAR(y2 - 2 * y1 + y0, 20, 2);
        EXPECT_LT(track[1].second, 250) << "flies up first";
    }
}

TEST(PlaySceneFrame, FinishedParticlesLeaveOneAFrameTheHigherIndexFirst) {
    PlayWorld world;
    world.startPlaying();
    burst(world, 5);
    const std::vector<kernel::SmartPtr<ui::Sprite>> particles = particlesOf(world);
    ASSERT_EQ(particles.size(), 5u);
    for (const std::size_t done : {1u, 3u}) {
        particles[done]->removeAllModifiers();
        particles[done]->setVisible(true);
    }
    world.frame();
    EXPECT_EQ(world.scene->particleTotal(), 4u);
    EXPECT_EQ(particles[3]->getParent(), nullptr) << "the higher index first";
    EXPECT_NE(particles[1]->getParent(), nullptr);
    world.frame();
    EXPECT_EQ(world.scene->particleTotal(), 3u);
    EXPECT_EQ(particles[1]->getParent(), nullptr);
    world.frame();
    EXPECT_EQ(world.scene->particleTotal(), 3u);

    // Left to themselves every particle goes, never two in one frame.
    std::size_t left = world.scene->particleTotal();
    for (int frame = 0; frame < 200 && left > 0; ++frame) {
        world.frame();
        EXPECT_LE(left - world.scene->particleTotal(), 1u);
        left = world.scene->particleTotal();
    }
    EXPECT_EQ(left, 0u);
    EXPECT_TRUE(particlesOf(world).empty());
}

// The keys, and the values written for the counts below; the difficulty and the collectables follow.
const char* const expectedRecord =
    "playername=Ann numcolors=6 numpibblescreated=101 numclowncreated=2 numpartycreated=3 numclownuseless=4 "
    "numpartyuseless=5 nummovescorrect=6 nummoveswrongtotal=7 nummoveswronginitial=8 numclownclicks=9 "
    "numpartyclicks=10 numchainclicks=11 numqueueclicks=12 numstubbornclicks=13 fpsmax=70 fpsmin=50 "
    "fpsavg=60 "
    "numstuck=14 numstuckswaps=15 numstuckrefill=16 score=12345 gameover=false totaltimeplayed=321";

// The record's values of the keys of the text, written as the text has them.
std::string recordText(const kernel::NodeValue& record, const std::string& keysFrom) {
    std::istringstream entries(keysFrom);
    std::string text;
    for (std::string entry; entries >> entry;) {
        const std::string key = entry.substr(0, entry.find('='));
        text += (text.empty() ? "" : " ") + key + "=" + record.getValue(key).toString();
    }
    return text;
}

// The buttons along the top reach down to 54: the field's pibbles falling in or jumping off are drawn only
// below, and a party's sign above a pibble at the top of the field starts low enough to stay whole below
// the bar.
TEST(PlaySceneFrame, TheTopBarCoversThePibblesAndKeepsTheSignsBelowIt) {
    PlayWorld world;
    world.enter();
    world.field()->loadLevel(world.level({"qxxxq", "qxxxq"}).get());
    const kernel::Rect below(0, 54, 640, 426);
    EXPECT_EQ(world.scene->getTopBarBottom(), 54);
    EXPECT_EQ(game::FieldRenderer::instance()->getCeiling(), 54);
    EXPECT_EQ(game::FieldRenderer::instance()->getTopRowGround(), world.field()->rowY(1, 1));
    EXPECT_EQ(world.scene->getFloaterArea(), below);
    game::Pibble* pibble = world.field()->pibbleAt(1, 1);
    ASSERT_NE(pibble, nullptr);
    pibble->setY(60);
    world.field()->broadcast(game::GameEvent::about(kind::partyAppeared, pibble, 1, 1));
    const std::vector<ui::Sprite*> signs =
        PlayWorld::spritesShowing(world.scene->getParticleLayer(), ids::floaterParty);
    ASSERT_EQ(signs.size(), 1u);
    const kernel::SmartPtr<ui::Sprite> sign = signs[0];
    for (int frame = 0; frame < 200 && sign->getParent() != nullptr; ++frame) {
        world.frame();
        ASSERT_TRUE(PlayWorld::within(PlayWorld::drawnArea(*sign), below)) << frame;
    }
    EXPECT_EQ(sign->getParent(), nullptr) << "the sign goes";
}

TEST(PlaySceneFrame, TheStatisticsRecordHoldsTheFieldsCountsThePlayerAndPendingCollectables) {
    struct Case {
        std::int32_t difficulty;
        const char* named;
        bool pending;
    };
    for (const Case one : {Case{game::difficultyNormal, "normal", false},
                           Case{game::difficultyHard, "hard", true}, Case{-1, nullptr, true}}) {
        SCOPED_TRACE(one.difficulty);
        PlayWorld world;
        world.player().setSeenHowToPlay(game::gameModeAction, true);
        world.enter();
        game::setDifficulty(one.difficulty);
        game::PlayField* field = world.field();
        field->setNumColors(6);
        field->setScore(12345);
        // In the order of their declaration: clowns and parties made and wasted, moves, clicks, the board
        // stuck, pibbles made.
        field->statistics() = {2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 101};
        field->statistics().addFrameRate(50);
        field->statistics().addFrameRate(70);
        game::PibblePlayer& player = world.player();
        player.setSecondsPlayed(77);
        player.recordUnlock(5);
        player.setSecondsPlayed(321);
        player.setDataGatherPending(one.pending);

        const kernel::SmartPtr<kernel::NodeValue> record = new kernel::NodeValue("", "PibbleLevelData");
        world.scene->writeStatistics(*record);
        EXPECT_EQ(recordText(*record, expectedRecord), expectedRecord);
        EXPECT_EQ(record->getValue("difficulty").asString(), one.named != nullptr ? one.named : "");
        EXPECT_EQ(record->namedChildren().size(), 24u + (one.named != nullptr) + one.pending)
            << "nothing else";
        EXPECT_EQ(records().back().get(), record.get()) << "handed to the session record";
        EXPECT_FALSE(player.dataGatherPending());
        ASSERT_EQ(record->hasChild("collectables"), one.pending);
        const kernel::VectorValue& list = record->getVector("collectables");
        ASSERT_EQ(list.children().size(), one.pending ? 30u : 0u);
        for (std::size_t i = 0; i < list.children().size(); ++i) {
            const kernel::Value& entry = *list.children()[i];
            ASSERT_TRUE(entry.isNode());
            EXPECT_EQ(entry.name(), std::to_string(i + 1));
            EXPECT_EQ(entry.typeName(), "Collectable");
            const auto& node = static_cast<const kernel::NodeValue&>(entry);
            EXPECT_EQ(node.getValue("collectableavailable").asInt(), i + 1 == 5 ? 77 : -1) << entry.name();
            EXPECT_EQ(node.getValue("collectableclaimed").asInt(), -1) << entry.name();
        }

        field->statistics() = game::FieldStatistics();
        const kernel::SmartPtr<kernel::NodeValue> next = new kernel::NodeValue("", "PibbleLevelData");
        world.scene->writeStatistics(*next);
        EXPECT_EQ(next->getValue("fpsavg").asInt(), 0) << "no frame rate sampled";
        EXPECT_FALSE(next->hasChild("collectables")) << "once per claim";
    }
}

} // namespace
