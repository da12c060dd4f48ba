// The end of the VIB game over a front-end scene, with the real album behind its next button: the curtain
// it comes up behind, the glints and the particle bursts with their places, speeds and removal, the pause
// while the credits run over it, and the way on to the selection scene. The glint is 6 frames of 12 x 10;
// particle k is (4 + k) pixels square, so its picture tells its kind.
#include "game/frontend/DialogGameEnd.h"

#include "engine/platform/PlayerManager.h"
#include "engine/ui/Button.h"
#include "engine/ui/Sprite.h"
#include "engine/ui/WidgetSupport.h"
#include "game/foundation/GameIds.h"
#include "game/foundation/PibblePlayer.h"
#include "game/foundation/Random.h"
#include "game/frontend/AlbumPictures.h"
#include "game/frontend/DialogAlbum.h"
#include "game/frontend/DialogPibble.h"

#include "../field/FieldWorld.h"
#include "AlbumWorld.h"
#include "FrontendWorld.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

using frontendtest::FrontendWorld;
using game::AlbumPictures;
using game::DialogGameEnd;
namespace ids = game::ids;

constexpr std::uint64_t seed = 20240611;

std::string declarations() {
    return "<dialogs><Node id=\"dialogs\">" + albumtest::albumDeclarations() +
           R"(<DialogGameEnd id="DIALOG_GAMEEND" width="640" height="480"><Vector id="components">
             <Sprite name="BACKGROUND" x="0" y="0" width="640" height="480"/>
             <Button name="BUTTON_NEXT" x="560" y="420" width="60" height="40"/></Vector></DialogGameEnd>
             </Node></dialogs>)";
}

std::string particleName(int kind) {
    return ids::imageParticlePrefix + std::to_string(kind);
}

// What a burst looked like when it was made.
struct Burst {
    int x = 0;
    int y = 0;
    std::vector<int> kinds;
    std::vector<graphics::PointF> velocities;
};

class GameEndTest : public ::testing::Test {
protected:
    GameEndTest() : world(declarations()) {}

    void SetUp() override {
        platform::PlayerManager::create()->addPlayer(new game::PibblePlayer("Ann"));
        albumtest::addAlbumPictures();
        albumtest::writeCollectables(albumtest::reversedOrder());
        albumtest::setCredits(5);
        addArt();
        selection = new frontendtest::ColourScene(frontendtest::targetColour);
        ui::RegisterScene(ids::sceneSelection, selection);
        world.startIn("SOURCE");
        album = AlbumPictures::create();
        album->loadOrder();
        game::Random::create()->setSeed(seed);
    }
    void TearDown() override {
        world.source->removeAllDialogs();
        selection->removeAllDialogs();
        AlbumPictures::destroy();
        game::Random::destroy();
        platform::PlayerManager::destroy();
    }

    virtual void addArt() {
        std::map<std::string, testsupport::Image32> images{
            {ids::imageBlinkShine, testsupport::filled32(12, 60, 0xFFFFFFFFu)}};
        for (int kind = 1; kind <= ids::particleColours; ++kind) {
            images[particleName(kind)] = testsupport::filled32(4 + kind, 4 + kind, 0xFF00FF00u);
        }
        fieldtest::FieldWorld::addSection(ids::groupScenePlay, images);
    }

    DialogGameEnd* open() {
        ui::Dialog* made = game::DialogPibble::openDialog(ids::dialogGameEnd, nullptr, true);
        EXPECT_TRUE(made != nullptr && made->isKindOf(DialogGameEnd::classInfo));
        return made != nullptr && made->isKindOf(DialogGameEnd::classInfo) ? static_cast<DialogGameEnd*>(made)
                                                                           : nullptr;
    }
    void run(int ms, int stepMs = 10) {
        for (int t = 0; t < ms; t += stepMs) {
            world.frame(static_cast<std::uint32_t>(stepMs));
        }
    }
    bool runUntil(const std::function<bool()>& condition, int maxMs, int stepMs = 10) {
        for (int t = 0; t < maxMs; t += stepMs) {
            if (condition()) {
                return true;
            }
            world.frame(static_cast<std::uint32_t>(stepMs));
        }
        return condition();
    }
    static bool isGlint(const ui::GameNode* node) {
        return node->isKindOf(ui::Sprite::classInfo) &&
               static_cast<const ui::Sprite*>(node)->getImage() ==
                   ui::findImage(ids::imageBlinkShine, ids::groupScenePlay);
    }
    static std::vector<ui::Sprite*> liveGlints(const DialogGameEnd& end) {
        std::vector<ui::Sprite*> found;
        for (ui::GameNode* child = end.getEffects()->getFirstChild(); child != nullptr;
             child = child->getNextSibling()) {
            if (!child->isDead() && isGlint(child)) {
                found.push_back(static_cast<ui::Sprite*>(child));
            }
        }
        return found;
    }
    static int kindOf(const ui::Sprite& particle) {
        for (int kind = 1; kind <= ids::particleColours; ++kind) {
            if (particle.getImage() == ui::findImage(particleName(kind), ids::groupScenePlay)) {
                return kind;
            }
        }
        return 0;
    }
    // Frames of the given length; each burst as it was made (its particles have not moved in that frame).
    std::vector<Burst> watchBursts(const DialogGameEnd& end, int ms, int stepMs) {
        std::vector<Burst> bursts;
        for (int t = 0; t < ms; t += stepMs) {
            const std::size_t before = end.getParticles().size();
            world.frame(static_cast<std::uint32_t>(stepMs));
            if (end.getBurstTimer() != 0) {
                continue;
            }
            EXPECT_EQ(end.getParticles().size(), before + DialogGameEnd::particlesPerBurst);
            Burst burst;
            burst.x = end.getParticles().back()->getX();
            burst.y = end.getParticles().back()->getY();
            for (std::size_t i = before; i < end.getParticles().size(); ++i) {
                const ui::Sprite& particle = *end.getParticles()[i];
                EXPECT_EQ(particle.getX(), burst.x);
                EXPECT_EQ(particle.getY(), burst.y);
                EXPECT_EQ(end.getParticlePositions()[i], graphics::PointF(burst.x, burst.y));
                EXPECT_EQ(particle.getAnchor(), ui::Sprite::Center);
                burst.kinds.push_back(kindOf(particle));
                burst.velocities.push_back(end.getParticleVelocities()[i]);
            }
            bursts.push_back(burst);
        }
        return bursts;
    }
    // A fresh dialog on the same seed, run in frames of the given length until its first burst and then
    // for the time given: how far each particle has come from the burst's centre.
    std::vector<graphics::PointF> travelAfterBurst(int stepMs, int afterMs) {
        world.source->removeDialog(ids::dialogGameEnd);
        world.frame(1);
        game::Random::instance()->setSeed(seed);
        DialogGameEnd* end = open();
        EXPECT_TRUE(runUntil([end] { return !end->getParticles().empty(); }, 3000, stepMs));
        const std::vector<graphics::PointF> start = end->getParticlePositions();
        run(afterMs, stepMs);
        std::vector<graphics::PointF> travel;
        EXPECT_EQ(end->getParticlePositions().size(), start.size());
        for (std::size_t i = 0; i < start.size() && i < end->getParticlePositions().size(); ++i) {
            travel.emplace_back(end->getParticlePositions()[i].getX() - start[i].getX(),
                                end->getParticlePositions()[i].getY() - start[i].getY());
        }
        return travel;
    }

    FrontendWorld world;
    frontendtest::ColourScene* selection = nullptr;
    AlbumPictures* album = nullptr;
};

TEST_F(GameEndTest, TheCurtainFallsThenLiftsOffThePicture) {
    DialogGameEnd* end = open();
    ASSERT_NE(end, nullptr);
    ASSERT_NE(end->getButtonNext(), nullptr);
    ASSERT_NE(end->getBackground(), nullptr);
    ui::Sprite* curtain = end->getCurtain();
    EXPECT_EQ(end->getAlpha(), 0);
    EXPECT_TRUE(end->getUseBuffer());
    EXPECT_TRUE(end->isCurtainRunning());
    // Over the picture and its effects, covering the screen.
    EXPECT_EQ(curtain->getParent(), end);
    EXPECT_EQ(curtain->getNextSibling(), nullptr);
    EXPECT_EQ(end->getEffects()->getNextSibling(), curtain);
    EXPECT_EQ(curtain->getWidth(), 640);
    EXPECT_EQ(curtain->getHeight(), 480);
    EXPECT_EQ(curtain->getAlpha(), 0);

    run(440);
    EXPECT_GT(curtain->getAlpha(), 230);
    EXPECT_EQ(end->getAlpha(), 0);
    EXPECT_TRUE(end->getUseBuffer());
    run(30);
    EXPECT_EQ(end->getAlpha(), 255);
    EXPECT_FALSE(end->getUseBuffer());
    EXPECT_TRUE(end->getContentNode()->isVisible());
    EXPECT_GT(curtain->getAlpha(), 230);
    EXPECT_TRUE(end->isCurtainRunning());

    run(400);
    EXPECT_TRUE(end->isCurtainRunning());
    EXPECT_GT(curtain->getAlpha(), 0);
    run(60);
    EXPECT_FALSE(end->isCurtainRunning());
    EXPECT_EQ(curtain->getAlpha(), 0);
    EXPECT_TRUE(curtain->getModifierList().empty());
    EXPECT_EQ(end->getAlpha(), 255);
}

TEST_F(GameEndTest, GlintsBlinkInsideTheirAreaAndGo) {
    DialogGameEnd* end = open();
    ASSERT_NE(end, nullptr);
    std::vector<kernel::SmartPtr<ui::Sprite>> seen;
    int leftmost = 1000;
    int rightmost = 0;
    int top = 1000;
    int bottom = 0;
    for (int t = 0; t < 90000; t += 100) {
        world.frame(100);
        const std::vector<ui::Sprite*> live = liveGlints(*end);
        EXPECT_LE(live.size(), 2u);
        for (ui::Sprite* glint : live) {
            if (std::any_of(seen.begin(), seen.end(),
                            [glint](const auto& old) { return old.get() == glint; })) {
                continue;
            }
            seen.emplace_back(glint);
            // Made in this frame: still waiting, see-through, one frame of the six high.
            EXPECT_EQ(glint->getAlpha(), 0);
            EXPECT_EQ(glint->getAnchor(), ui::Sprite::Center);
            EXPECT_EQ(glint->getFrameCount(), 6);
            EXPECT_EQ(glint->getHeight(), 10);
            EXPECT_GE(glint->getX(), 370);
            EXPECT_LE(glint->getX(), 453);
            EXPECT_GE(glint->getY(), 98);
            EXPECT_LE(glint->getY(), 169);
            leftmost = std::min(leftmost, glint->getX());
            rightmost = std::max(rightmost, glint->getX());
            top = std::min(top, glint->getY());
            bottom = std::max(bottom, glint->getY());
        }
    }
    // One glint each time the 500 ms have been passed (every 600 ms here), spread over the whole area.
    EXPECT_EQ(seen.size(), 150u);
    EXPECT_LT(leftmost, 375);
    EXPECT_GT(rightmost, 448);
    EXPECT_LT(top, 103);
    EXPECT_GT(bottom, 164);
    // Every glint but the newest ones has blinked, faded and gone.
    for (std::size_t i = 0; i + 2 < seen.size(); ++i) {
        EXPECT_EQ(seen[i]->getParent(), nullptr) << i;
    }
}

TEST_F(GameEndTest, BurstsStartInsideTheirAreaWithTheirSpeeds) {
    DialogGameEnd* end = open();
    ASSERT_NE(end, nullptr);
    const std::vector<Burst> bursts = watchBursts(*end, 100000, 100);
    // A burst each time the 1500 ms have been passed: every 1600 ms here.
    ASSERT_EQ(bursts.size(), 62u);
    std::set<int> kinds;
    std::set<float> speedsX;
    std::set<int> sevenths;
    int leftmost = 1000;
    int rightmost = 0;
    int top = 1000;
    int bottom = 0;
    for (const Burst& burst : bursts) {
        EXPECT_GE(burst.x, 100);
        EXPECT_LE(burst.x, 539);
        EXPECT_GE(burst.y, 100);
        EXPECT_LE(burst.y, 379);
        leftmost = std::min(leftmost, burst.x);
        rightmost = std::max(rightmost, burst.x);
        top = std::min(top, burst.y);
        bottom = std::max(bottom, burst.y);
        kinds.insert(burst.kinds.begin(), burst.kinds.end());
        for (const graphics::PointF& velocity : burst.velocities) {
            speedsX.insert(velocity.getX());
            const float steps = velocity.getY() * 7.0f;
            EXPECT_NEAR(steps, std::round(steps), 1e-4f);
            sevenths.insert(static_cast<int>(std::round(steps)));
        }
    }
    EXPECT_LT(leftmost, 150);
    EXPECT_GT(rightmost, 490);
    EXPECT_LT(top, 140);
    EXPECT_GT(bottom, 340);
    // Only the first six particle pictures, whole speeds of at most 3 across and sevenths of at most 2 up
    // or down, both ways.
    EXPECT_EQ(kinds, (std::set<int>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(speedsX, (std::set<float>{-3.0f, -2.0f, -1.0f, 0.0f, 1.0f, 2.0f, 3.0f}));
    EXPECT_EQ(*sevenths.begin(), -14);
    EXPECT_EQ(*sevenths.rbegin(), 14);
    EXPECT_EQ(sevenths.size(), 29u);
}

TEST_F(GameEndTest, OneFinishedParticleLeavesEachFrame) {
    DialogGameEnd* end = open();
    ASSERT_NE(end, nullptr);
    int framesWithSeveralFinished = 0;
    int removed = 0;
    for (int t = 0; t < 20000; t += 100) {
        const std::vector<kernel::SmartPtr<ui::Sprite>> before = end->getParticles();
        std::vector<std::size_t> finished;
        for (std::size_t i = 0; i < before.size(); ++i) {
            if (before[i]->getModifierList().empty()) {
                finished.push_back(i);
            }
        }
        framesWithSeveralFinished += finished.size() > 1 ? 1 : 0;
        world.frame(100);
        if (end->getBurstTimer() == 0) {
            continue;
        }
        const std::vector<kernel::SmartPtr<ui::Sprite>>& after = end->getParticles();
        if (finished.empty()) {
            EXPECT_EQ(after.size(), before.size());
            continue;
        }
        // The last finished one goes; the others wait, drawn at no size.
        ASSERT_EQ(after.size(), before.size() - 1);
        const ui::Sprite* gone = before[finished.back()].get();
        EXPECT_EQ(gone->getParent(), nullptr);
        EXPECT_EQ(
            std::count_if(after.begin(), after.end(), [gone](const auto& p) { return p.get() == gone; }), 0);
        for (std::size_t k = 0; k + 1 < finished.size(); ++k) {
            const ui::Sprite& waiting = *before[finished[k]];
            EXPECT_EQ(waiting.getParent(), end->getEffects());
            EXPECT_EQ(waiting.getWidth(), 0);
            EXPECT_EQ(waiting.getHeight(), 0);
        }
        ++removed;
    }
    EXPECT_GT(removed, 50);
    EXPECT_GT(framesWithSeveralFinished, 10);
    EXPECT_EQ(end->getParticles().size(), end->getParticlePositions().size());
    EXPECT_EQ(end->getParticles().size(), end->getParticleVelocities().size());
}

TEST_F(GameEndTest, ParticlesMoveAndFallByTheFrame) {
    DialogGameEnd* end = open();
    ASSERT_NE(end, nullptr);
    ASSERT_TRUE(runUntil([end] { return !end->getParticles().empty(); }, 3000));
    int moved = 0;
    for (int frame = 0; frame < 40; ++frame) {
        const std::vector<graphics::PointF> positions = end->getParticlePositions();
        const std::vector<graphics::PointF> velocities = end->getParticleVelocities();
        std::vector<bool> visible;
        for (const auto& particle : end->getParticles()) {
            visible.push_back(particle->isVisible());
        }
        world.frame(10);
        ASSERT_EQ(end->getParticles().size(), positions.size());
        for (std::size_t i = 0; i < positions.size(); ++i) {
            const graphics::PointF& now = end->getParticlePositions()[i];
            if (!visible[i]) {
                EXPECT_EQ(now, positions[i]);
                continue;
            }
            const float x = positions[i].getX() + velocities[i].getX();
            const float y = positions[i].getY() + velocities[i].getY();
            EXPECT_EQ(now, graphics::PointF(x, y));
            EXPECT_EQ(end->getParticleVelocities()[i].getY(), velocities[i].getY() + DialogGameEnd::gravity);
            EXPECT_EQ(end->getParticles()[i]->getX(), graphics::roundToInt(x));
            EXPECT_EQ(end->getParticles()[i]->getY(), graphics::roundToInt(y));
            ++moved;
        }
    }
    EXPECT_GT(moved, 300);

    // The same burst seen at 100 and at 50 frames a second: the faster frames carry it further across.
    const std::vector<graphics::PointF> fast = travelAfterBurst(10, 600);
    const std::vector<graphics::PointF> slow = travelAfterBurst(20, 600);
    ASSERT_EQ(fast.size(), static_cast<std::size_t>(DialogGameEnd::particlesPerBurst));
    ASSERT_EQ(slow.size(), fast.size());
    int across = 0;
    for (std::size_t i = 0; i < fast.size(); ++i) {
        if (fast[i].getX() != 0.0f || slow[i].getX() != 0.0f) {
            EXPECT_GT(std::abs(fast[i].getX()), std::abs(slow[i].getX()) * 1.5f) << i;
            ++across;
        }
    }
    EXPECT_GT(across, 5);
}

TEST_F(GameEndTest, TheCreditsOverTheDialogHoldEveryEffect) {
    DialogGameEnd* end = open();
    ASSERT_NE(end, nullptr);
    run(1800);
    ASSERT_FALSE(end->getParticles().empty());
    // A press anywhere opens the credits and is left to the others.
    EXPECT_FALSE(end->onLeftButtonDown(20, 20, 0, false));
    ASSERT_TRUE(world.source->isDialogOpen(ids::dialogAlbum));
    ASSERT_TRUE(album->isCreditsMode());

    const std::vector<graphics::PointF> positions = end->getParticlePositions();
    const std::vector<graphics::PointF> velocities = end->getParticleVelocities();
    const std::vector<kernel::SmartPtr<ui::Sprite>> particles = end->getParticles();
    std::vector<std::pair<int, int>> places;
    for (const auto& particle : particles) {
        places.emplace_back(particle->getX(), particle->getY());
    }
    std::vector<kernel::SmartPtr<ui::GameNode>> effects;
    for (ui::GameNode* child = end->getEffects()->getFirstChild(); child != nullptr;
         child = child->getNextSibling()) {
        effects.emplace_back(child);
    }
    const std::int32_t shineTimer = end->getShineTimer();
    const std::int32_t burstTimer = end->getBurstTimer();

    // Longer than a burst's and a glint's interval, and shorter than the credits.
    run(2000);
    ASSERT_EQ(world.manager->currentScene(), world.source);
    ASSERT_TRUE(world.source->isDialogOpen(ids::dialogAlbum));
    EXPECT_EQ(end->getParticlePositions(), positions);
    EXPECT_EQ(end->getParticleVelocities(), velocities);
    ASSERT_EQ(end->getParticles().size(), particles.size());
    for (std::size_t i = 0; i < particles.size(); ++i) {
        EXPECT_EQ(end->getParticles()[i], particles[i]);
        EXPECT_EQ(std::make_pair(particles[i]->getX(), particles[i]->getY()), places[i]);
    }
    for (ui::GameNode* child = end->getEffects()->getFirstChild(); child != nullptr;
         child = child->getNextSibling()) {
        EXPECT_TRUE(std::any_of(effects.begin(), effects.end(),
                                [child](const auto& old) { return old.get() == child; }));
    }
    EXPECT_EQ(end->getShineTimer(), shineTimer);
    EXPECT_EQ(end->getBurstTimer(), burstTimer);
}

TEST_F(GameEndTest, NextRunsTheCreditsOnceThenReturnsToTheSelection) {
    DialogGameEnd* end = open();
    ASSERT_NE(end, nullptr);
    run(1000);
    end->getButtonNext()->invoke(end->getButtonNext());
    EXPECT_EQ(album->getReturnScene(), ids::sceneSelection);
    ASSERT_NE(album->albumDialog(), nullptr);
    EXPECT_TRUE(album->isCreditsMode());
    const game::DialogAlbum* book = album->albumDialog();
    EXPECT_FALSE(book->isVisible());

    // Further presses while the credits run change nothing: the album comes up 450 ms after the first.
    run(300);
    end->getButtonNext()->invoke(end->getButtonNext());
    EXPECT_FALSE(end->onLeftButtonDown(100, 100, 0, false));
    run(200);
    EXPECT_EQ(album->albumDialog(), book);
    EXPECT_TRUE(book->isVisible());

    ASSERT_TRUE(runUntil([this] { return world.manager->currentScene() == selection; }, 30000, 50));
    EXPECT_TRUE(album->getReturnScene().empty());
    EXPECT_FALSE(album->isAlbumBlocking());
}

// Without its pictures (the play scenes' section not loaded) or a generator the dialog makes nothing and
// carries on.
class GameEndWithoutArtTest : public GameEndTest {
protected:
    void addArt() override {}
};

TEST_F(GameEndWithoutArtTest, MakesNoEffectsAndCarriesOn) {
    DialogGameEnd* end = open();
    ASSERT_NE(end, nullptr);
    run(5000, 50);
    EXPECT_EQ(end->getEffects()->getFirstChild(), nullptr);
    EXPECT_TRUE(end->getParticles().empty());
    EXPECT_FALSE(end->isCurtainRunning());

    game::Random::destroy();
    run(5000, 50);
    EXPECT_EQ(end->getEffects()->getFirstChild(), nullptr);
    end->getButtonNext()->invoke(end->getButtonNext());
    EXPECT_TRUE(album->isCreditsMode());
}

} // namespace
