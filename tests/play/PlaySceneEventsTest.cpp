// What the play scene makes of the field's game events: each event is broadcast by the field of an entered
// scene, and the sounds played, the hints opened, the floaters, signs and particles under the particle
// layer, the profile's counters and the start and end of a level are read back.
#include "game/play/PlayScene.h"

#include "engine/ui/PulseModifier.h"
#include "game/field/Pibble.h"
#include "game/field/SpriteLabel.h"
#include "game/frontend/DialogHint.h"
#include "game/frontend/DialogPibble.h"
#include "host/Sound.h"

#include "PlayWorld.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace {

using playtest::PlayWorld;
using Sighting = game::PibblePlayer::Sighting;
namespace ids = game::ids;
namespace kind = game::eventType;
namespace word = game::matchWord;
namespace state = game::fieldState;

// The hint, a plain dialog that stands for any other, and the pause.
const std::string dialogs = std::string(playtest::hintDeclaration) +
                            R"(<DialogPibble id="DIALOG_OTHER" width="200" height="100" />)"
                            R"(<DialogPibble id="DIALOG_PAUSE" width="200" height="100" />)";

// Entered past the rules page, with a level of a minute laid out and announcing; the entry's sounds are
// forgotten.
void enter(PlayWorld& world) {
    world.player().setSeenHowToPlay(game::gameModeAction, true);
    world.enter();
    world.field()->loadLevel(world.level({"qxxxq", "qxxxq"}).get());
    world.field()->setAnnouncementsOn(true);
    world.played();
}

game::DialogHint* shownHint(const PlayWorld& world) {
    ui::Dialog* dialog = world.scene->findDialog(ids::dialogHint);
    return world.scene->isDialogOpen(ids::dialogHint) && dialog->isKindOf(game::DialogHint::classInfo)
               ? static_cast<game::DialogHint*>(dialog)
               : nullptr;
}

std::vector<game::SpriteLabel*> floatersOf(const PlayWorld& world) {
    std::vector<game::SpriteLabel*> found;
    for (ui::GameNode* child = world.scene->getParticleLayer()->getFirstChild(); child != nullptr;
         child = child->getNextSibling()) {
        if (child->isKindOf(game::SpriteLabel::classInfo)) {
            found.push_back(static_cast<game::SpriteLabel*>(child));
        }
    }
    return found;
}

// The READY sign of the entry stands there already.
std::size_t layerSize(const PlayWorld& world) {
    std::size_t count = 0;
    for (const ui::GameNode* child = world.scene->getParticleLayer()->getFirstChild(); child != nullptr;
         child = child->getNextSibling()) {
        ++count;
    }
    return count;
}

// Whether the profile as written lists the hint.
bool profileLists(game::PibblePlayer& player, const std::string& key) {
    kernel::NodeValue written("player", "Node");
    player.writeXml(written);
    for (const kernel::SmartPtr<kernel::Value>& entry : written.getVector("showhint").children()) {
        if (entry->isNode() && entry->asNode().getValue("hintid").asString() == key) {
            return true;
        }
    }
    return false;
}

std::set<std::string> soundsOf(std::initializer_list<const char*> names) {
    std::set<std::string> sounds;
    for (const char* name : names) {
        if (name != nullptr) {
            sounds.insert(name);
        }
    }
    return sounds;
}

const std::vector<kernel::SmartPtr<kernel::Object>>& records() {
    return platform::DataGathering::instance()->getSessions().back().getRecords();
}

// Frames of 10 ms until the condition holds; the time they took.
int msUntil(PlayWorld& world, const std::function<bool()>& holds) {
    int elapsed = 0;
    for (; !holds() && elapsed < 5000; elapsed += 10) {
        world.frame(10);
    }
    return elapsed;
}

TEST(PlaySceneEvents, ClicksPlayTheirSoundAndAskForTheirHint) {
    struct Case {
        std::int32_t type;
        const char* sound;
        const char* hint;
    };
    const Case cases[] = {{kind::pibbleClicked, ids::soundClickPibble, nullptr},
                          {kind::queueClicked, ids::soundClickMiss, nullptr},
                          {kind::clownClicked, ids::soundClickClown, ids::hintClickClown},
                          {kind::partyClicked, ids::soundClickParty, ids::hintClickParty},
                          {kind::stubbornClicked, ids::soundClickStubborn, ids::hintClickStubborn},
                          {kind::chainedClicked, ids::soundClickChained, ids::hintClickChained},
                          {kind::collectableClicked, ids::soundClickCollectable, ids::hintClickCollectable},
                          {kind::vibClicked, nullptr, nullptr},
                          {kind::idleReminder, nullptr, nullptr},
                          {kind::noMatchReminder, nullptr, nullptr}};
    PlayWorld world(dialogs);
    enter(world);
    game::Pibble* pibble = world.field()->pibbleAt(1, 2);
    ASSERT_NE(pibble, nullptr);
    const std::size_t shown = layerSize(world);
    for (const Case& one : cases) {
        SCOPED_TRACE(one.type);
        world.field()->broadcast(game::GameEvent::about(one.type, pibble, 1, 2));
        EXPECT_EQ(world.played(), soundsOf({one.sound}));
        const game::DialogHint* hint = shownHint(world);
        ASSERT_EQ(hint != nullptr, one.hint != nullptr);
        if (hint != nullptr) {
            EXPECT_EQ(hint->getHintKey(), one.hint);
            EXPECT_EQ(hint->getTarget(), pibble);
        }
        EXPECT_EQ(layerSize(world), shown);
        world.scene->removeDialog(ids::dialogHint);
    }
}

// The gates are tested in this order; each case closes one of them.
TEST(PlaySceneEvents, AHintShowsOnlyWhenEveryGateIsOpen) {
    enum Gate { None, InputBlocked, HintsOff, KeyOff, DialogOpen, AnnouncementsOff };
    for (const Gate gate : {None, InputBlocked, HintsOff, KeyOff, DialogOpen, AnnouncementsOff}) {
        SCOPED_TRACE(gate);
        PlayWorld world(dialogs);
        enter(world);
        world.scene->setInputBlocked(gate == InputBlocked);
        world.player().setShowHints(gate != HintsOff);
        world.player().setHintEnabled(ids::hintClickClown, gate != KeyOff);
        if (gate == DialogOpen) {
            game::DialogPibble::openDialog("DIALOG_OTHER", world.scene);
        }
        world.field()->setAnnouncementsOn(gate != AnnouncementsOff);
        world.field()->broadcast(game::GameEvent::about(kind::clownClicked, nullptr, 1, 1));
        EXPECT_EQ(world.played(), soundsOf({ids::soundClickClown}));
        EXPECT_EQ(shownHint(world) != nullptr, gate == None);
    }
    // A hint the profile does not know reads as off and is added to it so; the gates tested before the
    // profile's leave the profile as it is.
    const std::string unknown = "TEXT_HINT_NOBODY_KNOWS";
    for (const Gate gate : {None, InputBlocked, HintsOff}) {
        SCOPED_TRACE(gate);
        PlayWorld world(dialogs);
        enter(world);
        world.scene->setInputBlocked(gate == InputBlocked);
        world.player().setShowHints(gate != HintsOff);
        world.scene->showHint(unknown, nullptr);
        EXPECT_EQ(shownHint(world), nullptr);
        EXPECT_EQ(profileLists(world.player(), unknown), gate == None);
        world.player().setHintEnabled(unknown, true);
        world.scene->setInputBlocked(false);
        world.player().setShowHints(true);
        world.scene->showHint(unknown, nullptr);
        ASSERT_NE(shownHint(world), nullptr);
        EXPECT_EQ(shownHint(world)->getTarget(), nullptr);
    }
}

// A clown's sign shows only once the level has run three seconds; a party's always, at the tuned height
// above its pibble (one low enough for the sign to stay below the top bar). Each kind is explained once per
// player, and is counted as seen whether or not the hint could show.
TEST(PlaySceneEvents, AppearancesPlayTheirSoundShowTheirSignAndExplainTheKindOncePerPlayer) {
    struct Case {
        std::int32_t type, playedMs;
        const char* sound;
        const char* hint;
        std::optional<Sighting> seen;
        const char* sign;
    };
    const Case cases[] = {
        {kind::clownAppeared, 3000, ids::soundAppearClown, ids::hintAppearClown, Sighting::Clown,
         ids::floaterClown},
        {kind::clownAppeared, 2999, ids::soundAppearClown, ids::hintAppearClown, Sighting::Clown, nullptr},
        {kind::partyAppeared, 0, ids::soundAppearParty, ids::hintAppearParty, Sighting::Party,
         ids::floaterParty},
        {kind::stubbornAppeared, 0, ids::soundAppearStubborn, nullptr, std::nullopt, nullptr},
        {kind::chainedAppeared, 0, nullptr, ids::hintAppearChained, Sighting::Chained, nullptr},
        {kind::collectableAppeared, 0, ids::soundAppearCollectable, ids::hintAppearCollectable,
         Sighting::Collectable, nullptr},
        {kind::unhappyAppeared, 0, ids::soundAppearUnhappy, ids::hintAppearUnhappy, Sighting::Unhappy,
         nullptr}};
    for (const Case& one : cases) {
        for (const bool hintsOn : {true, false}) {
            SCOPED_TRACE(std::to_string(one.type) + " after " + std::to_string(one.playedMs) +
                         (hintsOn ? " ms with hints" : " ms without hints"));
            PlayWorld world(dialogs);
            enter(world);
            world.player().setShowHints(hintsOn);
            game::PlayField* field = world.field();
            ASSERT_EQ(field->getTimeMax(), 60000);
            field->setTimeLeft(field->getTimeMax() - one.playedMs);
            game::Pibble* pibble = field->pibbleAt(2, 3);
            pibble->setY(300);
            const std::size_t shown = layerSize(world);
            field->broadcast(game::GameEvent::about(one.type, pibble, 2, 3));
            EXPECT_EQ(world.played(), soundsOf({one.sound}));
            const game::DialogHint* hint = shownHint(world);
            ASSERT_EQ(hint != nullptr, hintsOn && one.hint != nullptr);
            if (hint != nullptr) {
                EXPECT_EQ(hint->getHintKey(), one.hint);
                EXPECT_EQ(hint->getTarget(), pibble);
            }
            for (const Sighting sighting : {Sighting::Clown, Sighting::Party, Sighting::Stubborn,
                                            Sighting::Chained, Sighting::Collectable, Sighting::Unhappy}) {
                EXPECT_EQ(world.player().hasSeen(sighting), one.seen == sighting)
                    << static_cast<int>(sighting);
            }
            const ui::GameNode* layer = world.scene->getParticleLayer();
            const std::vector<ui::Sprite*> signs =
                PlayWorld::spritesShowing(layer, one.sign != nullptr ? one.sign : ids::floaterClown);
            ASSERT_EQ(signs.size(), one.sign != nullptr ? 1u : 0u);
            ASSERT_EQ(layerSize(world), shown + signs.size());
            if (one.sign != nullptr) {
                EXPECT_EQ(std::make_pair(signs[0]->getX(), signs[0]->getY()),
                          std::make_pair(pibble->getX(), pibble->getY() - 110))
                    << "the tuned offset above the pibble";
            }
            world.scene->removeDialog(ids::dialogHint);
            field->broadcast(game::GameEvent::about(one.type, pibble, 2, 3));
            EXPECT_EQ(world.played(), soundsOf({one.sound})) << "the sound every time";
            EXPECT_EQ(shownHint(world), nullptr) << "the hint once per player";
        }
    }
}

TEST(PlaySceneEvents, AMatchSoundsShowsItsPointsBurstsAndCountsForThePlayer) {
    struct Case {
        std::int32_t step, pibbles, parties, clowns, chained, stubborn, vibs;
        const char* matchSound;
        const char* removalSound;
        std::size_t particles;
        const char* comboSign;
    };
    const Case cases[] = {
        {0, 3, 0, 0, 0, 0, 0, ids::soundMatch3, nullptr, 3, nullptr},
        {0, 4, 0, 0, 0, 0, 1, ids::soundMatch4, ids::soundRemoveVib, 4, nullptr},
        {0, 5, 0, 0, 0, 2, 1, ids::soundMatch5, ids::soundRemoveStubborn, 5, nullptr},
        {0, 6, 0, 0, 1, 1, 1, ids::soundMatch6, ids::soundRemoveChained, 6, nullptr},
        {0, 7, 0, 1, 1, 1, 1, ids::soundMatch7, ids::soundRemoveClown, 7, nullptr},
        {0, 12, 1, 1, 1, 1, 1, ids::soundMatch7, ids::soundRemoveParty, 12, nullptr},
        {1, 3, 1, 0, 0, 0, 0, ids::soundMatchCombo1, ids::soundRemoveParty, 6, "FLOATER_COMBO1"},
        {2, 4, 0, 0, 0, 0, 0, ids::soundMatchCombo2, nullptr, 12, "FLOATER_COMBO2"},
        {3, 11, 0, 0, 0, 0, 0, ids::soundMatchCombo3, nullptr, 32, "FLOATER_COMBO3"},
        {4, 3, 0, 0, 0, 0, 0, ids::soundMatchCombo4, nullptr, 15, "FLOATER_COMBO4"},
        {40, 3, 0, 0, 0, 0, 0, ids::soundMatchCombo4, nullptr, 32, "FLOATER_COMBO6"}};
    for (const Case& one : cases) {
        SCOPED_TRACE("step " + std::to_string(one.step) + ", " + std::to_string(one.pibbles) + " pibbles");
        PlayWorld world(dialogs);
        enter(world);
        game::PibblePlayer& player = world.player();
        player.setNumPibblesRemoved(100);
        player.setNumStubbornRemoved(10);
        game::GameEvent match = game::GameEvent::of(kind::match);
        match.words[word::comboStep] = one.step;
        match.words[word::pibbles] = one.pibbles;
        match.words[word::parties] = one.parties;
        match.words[word::clowns] = one.clowns;
        match.words[word::chained] = one.chained;
        match.words[word::stubborn] = one.stubborn;
        match.words[word::vibs] = one.vibs;
        match.words[word::points] = 120;
        match.words[word::x] = 300;
        match.words[word::y] = 250;
        match.words[word::colour] = 2;
        world.field()->broadcast(match);

        EXPECT_EQ(world.played(), soundsOf({one.matchSound, one.removalSound}));
        const std::vector<game::SpriteLabel*> floaters = floatersOf(world);
        ASSERT_EQ(floaters.size(), 1u);
        EXPECT_EQ(floaters[0]->getText().substr(0, 4), u"+120");
        EXPECT_EQ(std::make_pair(floaters[0]->getX(), floaters[0]->getY()), std::make_pair(300, 250));
        const ui::GameNode* layer = world.scene->getParticleLayer();
        for (int sign = 1; sign <= ids::comboFloaters; ++sign) {
            const std::string name = ids::floaterComboPrefix + std::to_string(sign);
            EXPECT_EQ(PlayWorld::spritesShowing(layer, name).size(),
                      one.comboSign != nullptr && name == one.comboSign ? 1u : 0u)
                << name;
        }
        EXPECT_EQ(world.scene->particleTotal(), one.particles);
        const std::vector<ui::Sprite*> particles = PlayWorld::spritesShowing(layer, "PARTICLE_2");
        EXPECT_EQ(particles.size(), one.particles);
        for (const ui::Sprite* particle : particles) {
            EXPECT_FALSE(particle->isVisible()) << "hidden until its moment";
        }
        EXPECT_TRUE(player.comboPerformed(std::min(one.step + 1, game::PibblePlayer::countedSizes - 1)));
        EXPECT_EQ(player.numPibblesRemoved(), 100 + one.pibbles);
        EXPECT_EQ(player.numStubbornRemoved(), 10 + one.stubborn);
    }
}

TEST(PlaySceneEvents, PartyPointsShowTheirFloaterWhereTheEventSays) {
    PlayWorld world(dialogs);
    enter(world);
    game::GameEvent points = game::GameEvent::of(kind::partyPoints);
    points.words = {250, 150, 330, 5};
    world.field()->broadcast(points);
    const std::vector<game::SpriteLabel*> floaters = floatersOf(world);
    ASSERT_EQ(floaters.size(), 1u);
    EXPECT_EQ(floaters[0]->getText().substr(0, 4), u"+250");
    EXPECT_EQ(std::make_pair(floaters[0]->getX(), floaters[0]->getY()), std::make_pair(150, 330));
    EXPECT_EQ(world.scene->particleTotal(), 0u);
    EXPECT_TRUE(world.played().empty());
}

TEST(PlaySceneEvents, PausedFadesTheMusicOutUnderThePauseDialogResumedFadesItIn) {
    struct Case {
        std::int32_t type;
        const char* open;
        float level, fade, target;
    };
    const Case cases[] = {{kind::paused, ids::dialogPause, 1.0f, 1.0f, 0.0f},
                          {kind::paused, ids::dialogPause, 0.5f, 1.0f, 0.0f},
                          {kind::paused, ids::dialogPause, 0.0f, 0.0f, 0.0f},
                          {kind::paused, "DIALOG_OTHER", 1.0f, 1.0f, 1.0f},
                          {kind::paused, nullptr, 1.0f, 1.0f, 1.0f},
                          {kind::resumed, nullptr, 0.0f, 0.0f, 1.0f},
                          {kind::resumed, nullptr, 0.5f, 0.0f, 1.0f},
                          {kind::resumed, nullptr, 1.0f, 1.0f, 1.0f}};
    for (const Case& one : cases) {
        SCOPED_TRACE(std::to_string(one.type) + " at " + std::to_string(one.level) + " under " +
                     (one.open != nullptr ? one.open : "nothing"));
        PlayWorld world(dialogs);
        enter(world);
        if (one.open != nullptr) {
            game::DialogPibble::openDialog(one.open, world.scene, true);
        }
        ui::SoundSystem* sound = ui::SoundSystem::instance();
        sound->setMusicFade(one.level, one.level, 0);
        world.field()->broadcast(game::GameEvent::of(one.type));
        EXPECT_FLOAT_EQ(sound->getCurrentSlot().fade, one.fade);
        EXPECT_FLOAT_EQ(sound->getCurrentSlot().target, one.target);
    }
}

TEST(PlaySceneEvents, ReadyClearsTheParticleLayerAndTheFieldGoesAfterItsSign) {
    PlayWorld world(dialogs);
    world.startPlaying();
    fieldtest::RecordingListener heard;
    game::PlayField* field = world.field();
    field->addListener(&heard);
    ui::GameNode* layer = world.scene->getParticleLayer();
    layer->addChild(new ui::Sprite(1, 1, 4, 4));
    layer->addChild(new ui::Sprite(2, 2, 4, 4));
    field->setState(state::ready);
    field->broadcast(game::GameEvent::of(kind::ready));
    const std::vector<ui::Sprite*> signs = PlayWorld::spritesShowing(layer, ids::floaterReady);
    ASSERT_EQ(signs.size(), 1u);
    EXPECT_EQ(layer->getFirstChild(), signs[0]) << "alone";
    EXPECT_EQ(std::make_pair(signs[0]->getX(), signs[0]->getY()), std::make_pair(320, 266))
        << "the middle of the field's rectangle";
    const int elapsed = msUntil(world, [&] { return !heard.ofType(kind::go).empty(); });
    EXPECT_GE(elapsed, 1250);
    EXPECT_LE(elapsed, 1270);
    EXPECT_EQ(field->state(), state::idle);
    field->removeListener(&heard);
}

TEST(PlaySceneEvents, GoRestoresTheTimeBarClearsTheLevelsEndAndAnnouncesAfterItsSign) {
    PlayWorld world(dialogs);
    world.player().setSeenHowToPlay(game::gameModeAction, true);
    world.enter();
    world.frames(150);
    game::PlayField* field = world.field();
    ASSERT_TRUE(world.scene->isLevelEndSent());
    field->broadcast(game::GameEvent::of(kind::levelFailed));
    ASSERT_TRUE(world.scene->isGameOver());
    ui::Sprite* timeBar = world.scene->getTimeBar();
    timeBar->setAlpha(40);
    timeBar->addModifier(new ui::PulseModifier(255, 0, 100, 100, 0, 0, 10));
    field->setAnnouncementsOn(false);

    field->broadcast(game::GameEvent::of(kind::go));
    EXPECT_EQ(timeBar->getAlpha(), 255);
    EXPECT_TRUE(timeBar->getModifierList().empty());
    EXPECT_FALSE(world.scene->isLevelEndSent());
    EXPECT_FALSE(world.scene->isGameOver());
    EXPECT_EQ(PlayWorld::spritesShowing(world.scene->getParticleLayer(), ids::floaterGo).size(), 1u);
    const int elapsed = msUntil(world, [&] { return field->areAnnouncementsOn(); });
    EXPECT_GE(elapsed, 800);
    EXPECT_LE(elapsed, 820);
}

// Finished or failed, the clock's ticking stops, the music fades out, the field stops taking clicks, the
// whole seconds played go into the profile and the level's record to the session record.
TEST(PlaySceneEvents, ALevelsEndStopsTheFieldCountsWholeSecondsAndWritesItsRecord) {
    struct Case {
        std::int32_t type, playMs, seconds;
        bool hintUsed;
    };
    const Case cases[] = {{kind::levelFinished, 999, 0, false},  {kind::levelFinished, 1000, 1, false},
                          {kind::levelFinished, 1999, 1, false}, {kind::levelFinished, 2500, 2, true},
                          {kind::levelFailed, 1999, 1, false},   {kind::levelFailed, 1999, 1, true}};
    for (const Case& one : cases) {
        const bool failed = one.type == kind::levelFailed;
        SCOPED_TRACE(std::to_string(one.type) + " after " + std::to_string(one.playMs) + " ms" +
                     (one.hintUsed ? " and a hint" : ""));
        PlayWorld world(dialogs);
        world.startPlaying();
        if (one.hintUsed) {
            world.field()->broadcast(game::GameEvent::of(kind::hintUsed));
        }
        world.frame(static_cast<std::uint32_t>(one.playMs - world.scene->getPlayMs()));
        ASSERT_EQ(world.scene->getPlayMs(), one.playMs);
        world.player().setSecondsPlayed(100);
        // Counting the sounds lets go of the samples, which stops them: the clock starts after it.
        world.played();
        auto* ticking = static_cast<ui::SoundSample*>(
            kernel::ResourceManager::instance()->getResource(ids::soundTicking, ids::groupGameSounds));
        const int clock = ticking->playLooped(255, 128);
        ASSERT_TRUE(host::FSOUND_IsPlaying(clock));
        ui::SoundSystem* sound = ui::SoundSystem::instance();
        sound->setMusicFade(0.5f, 0.5f, 0);
        const std::size_t recordsBefore = records().size();

        world.field()->broadcast(game::GameEvent::of(one.type));
        EXPECT_FALSE(host::FSOUND_IsPlaying(clock)) << "the clock stops";
        EXPECT_TRUE(world.played().contains(failed ? ids::soundLevelFailed : ids::soundLevelFinished));
        EXPECT_FLOAT_EQ(sound->getCurrentSlot().fade, 1.0f) << "the music fades out from full";
        EXPECT_FLOAT_EQ(sound->getCurrentSlot().target, 0.0f);
        EXPECT_EQ(world.field()->state(), state::levelOver);
        EXPECT_FALSE(world.field()->isInputEnabled());
        EXPECT_EQ(world.player().secondsPlayed(), 100 + one.seconds);
        EXPECT_EQ(world.scene->getPlayMs(), 0) << "the rest is dropped";
        EXPECT_EQ(world.scene->isGameOver(), failed);
        EXPECT_EQ(world.player().finishedGameWithoutHint(), failed && !one.hintUsed);
        ASSERT_EQ(records().size(), recordsBefore + 1);
        const auto& record = static_cast<const kernel::NodeValue&>(*records().back());
        EXPECT_EQ(record.typeName(), "PibbleLevelData");
        EXPECT_EQ(record.getValue("gameover").asString(), failed ? "true" : "false");
        EXPECT_EQ(record.getValue("totaltimeplayed").asInt(), 100 + one.seconds);
        bool pulse = false;
        for (const ui::Modifier* modifier : world.scene->getTimeBar()->getModifierList().items()) {
            pulse = pulse || modifier->isKindOf(ui::PulseModifier::classInfo);
        }
        EXPECT_EQ(pulse, !failed) << "a finished level's time bar blinks";
    }
}

TEST(PlaySceneEvents, AUsedHintDarkensTheTimeBarAfterHalfASecondUntilTheHintIsAvailable) {
    PlayWorld world(dialogs);
    enter(world);
    ui::Sprite* dark = world.scene->getTimeBarDark();
    ASSERT_FALSE(dark->isVisible());
    world.field()->broadcast(game::GameEvent::of(kind::hintUsed));
    EXPECT_TRUE(world.scene->isHintPenaltyRunning());
    EXPECT_TRUE(world.scene->isHintUsedThisGame());
    ASSERT_NE(dark->getClipRect(), nullptr);
    EXPECT_EQ(*dark->getClipRect(), kernel::Rect(70, 468, 500, 10)) << "the time bar's own rectangle";
    world.frames(40, 10);
    EXPECT_FALSE(dark->isVisible());
    world.frames(20, 10);
    EXPECT_TRUE(dark->isVisible());
    // From 1000 ms the dark bar is wiped away from the right over three seconds, then hidden. Each step of
    // the sequence starts in the frame in which the one before it ends: a frame early at most.
    int wipeFrom = -1;
    int halfWay = -1;
    int hiddenAt = -1;
    for (int ms = 610; ms <= 4500 && hiddenAt < 0; ms += 10) {
        world.frame(10);
        const int width = dark->getClipRect() != nullptr ? dark->getClipRect()->w : -1;
        wipeFrom = wipeFrom < 0 && width < 500 ? ms : wipeFrom;
        halfWay = ms == 2500 ? width : halfWay;
        hiddenAt = !dark->isVisible() ? ms : -1;
    }
    EXPECT_NEAR(wipeFrom, 1000, 10);
    EXPECT_NEAR(halfWay, 250, 5);
    EXPECT_NEAR(hiddenAt, 4000, 20);
    ASSERT_NE(dark->getClipRect(), nullptr);
    EXPECT_EQ(dark->getClipRect()->w, 0);

    world.field()->broadcast(game::GameEvent::of(kind::hintAvailable));
    EXPECT_FALSE(world.scene->isHintPenaltyRunning());
    EXPECT_TRUE(world.scene->isHintUsedThisGame()) << "for the rest of the game";
}

} // namespace
