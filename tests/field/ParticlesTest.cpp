// Particle emitters and the sparkle effect, driven frame by frame with a seeded random generator.
#include "engine/ui/FadeModifier.h"
#include "game/field/OneShotTimer.h"
#include "game/field/ParticleEmitter.h"
#include "game/field/ParticleMotionModifier.h"
#include "game/field/SparkleEffect.h"
#include "game/foundation/GameIds.h"
#include "game/foundation/Random.h"

#include "FieldWorld.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using game::OneShotTimer;
using game::ParticleEmitter;
using game::ParticleParams;
using kernel::SmartPtr;

class ParticlesTest : public ::testing::Test {
protected:
    void SetUp() override {
        game::Random::create()->setSeed(1234);
        root->setPosition(200, 100);
    }
    void TearDown() override { game::Random::destroy(); }

    // An emitter under the root with one plain prototype.
    ParticleEmitter* emitter(const kernel::Rect& area, ParticleParams* params) {
        SmartPtr<ParticleEmitter> made = new ParticleEmitter(area, params);
        made->addPrototype(new ui::Sprite(0, 0, testsupport::filled32(4, 4, 0xFFFFFFFFu).get()));
        root->addChild(made.get());
        return made.get();
    }
    static std::vector<OneShotTimer*> particles(const ui::GameNode& parent) {
        std::vector<OneShotTimer*> found;
        for (ui::GameNode* child = parent.getFirstChild(); child; child = child->getNextSibling()) {
            if (child->isKindOf(OneShotTimer::classInfo)) {
                found.push_back(static_cast<OneShotTimer*>(child));
            }
        }
        return found;
    }
    // One frame of the tree, and its cleaner.
    void frame(std::uint32_t ms) {
        root->updateTree(ms);
        root->removeDeadDescendants();
    }

    SmartPtr<ui::GameNode> root = new ui::GameNode();
    SmartPtr<ui::GameNode> layer = new ui::GameNode();
};

TEST_F(ParticlesTest, AFrameSpawnsOneParticlePerIntervalItSpans) {
    SmartPtr<ParticleParams> params = new ParticleParams();
    ParticleEmitter* source = emitter(kernel::Rect(-10, -10, 20, 20), params.get());
    source->onUpdate(100);
    EXPECT_TRUE(particles(*source).empty()) << "not emitting yet";
    source->setEmitting(true);
    source->onUpdate(100);
    const std::vector<OneShotTimer*> spawned = particles(*source);
    ASSERT_EQ(spawned.size(), 5u);
    for (OneShotTimer* particle : spawned) {
        EXPECT_EQ(particle->getLifetime(), 1000);
        // Started within the 20 x 20 area around the emitter, in screen coordinates.
        particle->update(0);
        EXPECT_LE(std::abs(particle->getX() - 200), 10);
        EXPECT_LE(std::abs(particle->getY() - 100), 10);
    }
    // After a spawn the next comes once more than an interval has passed.
    source->onUpdate(20);
    EXPECT_EQ(particles(*source).size(), 5u);
    source->onUpdate(20);
    EXPECT_EQ(particles(*source).size(), 6u);

    // A frame that spans one and a half intervals or more spawns two: the count is rounded, not cut.
    for (const std::uint32_t frameMs : {29u, 30u, 33u}) {
        ParticleEmitter* fresh = emitter(kernel::Rect(-10, -10, 20, 20), params.get());
        fresh->setEmitting(true);
        fresh->onUpdate(frameMs);
        EXPECT_EQ(particles(*fresh).size(), frameMs < 30 ? 1u : 2u) << frameMs << " ms";
    }
}

TEST_F(ParticlesTest, AParticleBornAtTheCentreOnlyFallsAndFadesUnlessTold) {
    SmartPtr<ParticleParams> params = new ParticleParams();
    params->coordinateMode = 0;
    params->fadeTime = -1;
    params->particleParent = layer;
    // A 1 x 1 area: every particle is born at its centre.
    ParticleEmitter* source = emitter(kernel::Rect(5, 7, 1, 1), params.get());
    source->setEmitting(true);
    source->onUpdate(25);
    const std::vector<OneShotTimer*> spawned = particles(*layer);
    ASSERT_EQ(spawned.size(), 1u);
    OneShotTimer& particle = *spawned.front();
    EXPECT_TRUE(particles(*source).empty());
    // No fade among its modifiers; its motion has no sideways speed, and falls by 0.21 - 0.2 per step.
    for (ui::Modifier* modifier : particle.getModifierList().items()) {
        EXPECT_FALSE(modifier->isKindOf(ui::FadeModifier::classInfo));
    }
    const auto* motion =
        static_cast<game::ParticleMotionModifier*>(particle.getModifierList().items().front());
    ASSERT_TRUE(motion->isKindOf(game::ParticleMotionModifier::classInfo));
    particle.update(20);
    EXPECT_FLOAT_EQ(motion->getSpeedX(), 0.0f);
    EXPECT_NEAR(motion->getSpeedY(), 0.01f, 1e-6);
    EXPECT_EQ(particle.getX(), 5);
    // It dies when its lifetime has passed.
    particle.onUpdate(979);
    EXPECT_FALSE(particle.isDead());
    particle.onUpdate(1);
    EXPECT_TRUE(particle.isDead());
}

TEST_F(ParticlesTest, TheSpeedIsDampedTowardZeroNeverPastIt) {
    EXPECT_FLOAT_EQ(game::dampTowardZero(0.1f, 0.2f), 0.0f);
    EXPECT_FLOAT_EQ(game::dampTowardZero(-0.1f, 0.2f), 0.0f);
    EXPECT_FLOAT_EQ(game::dampTowardZero(0.5f, 0.2f), 0.3f);
    EXPECT_FLOAT_EQ(game::dampTowardZero(-0.5f, 0.2f), -0.3f);
    // A particle at the area's edge flies outward at the edge speed: a step of 20 ms, then 50 ms.
    SmartPtr<ui::Sprite> node = new ui::Sprite();
    game::ParticleMotionModifier* motion =
        new game::ParticleMotionModifier(-1, 0.0f, 0.0f, 2.0f, -2.0f, 0.0f, 0.0f, 0.2f, 0.2f);
    node->addModifier(motion);
    node->update(20);
    EXPECT_EQ(node->getX(), 2);
    EXPECT_EQ(node->getY(), -2);
    node->update(50);
    // 1.8 - 0.5 = 1.3 per step, for 2.5 steps: 3.25 more.
    EXPECT_EQ(node->getX(), 5);
    EXPECT_EQ(node->getY(), -5);
}

TEST_F(ParticlesTest, AnEndlessEmitterSwitchedOffLeavesOneLifetimeLater) {
    SmartPtr<ParticleParams> params = new ParticleParams();
    params->lifetime = 100;
    const SmartPtr<ParticleEmitter> source = emitter(kernel::Rect(0, 0, 4, 4), params.get());
    source->setEmitting(true);
    frame(30);
    source->setEmitting(false);
    int frames = 0;
    while (source->getParent() != nullptr && frames < 100) {
        frame(20);
        ++frames;
    }
    // Its duration counts from -1 down past -lifetime, then it stops and dies in the next frame.
    EXPECT_EQ(frames, 7);
    EXPECT_TRUE(particles(*root).empty());
}

TEST_F(ParticlesTest, NothingIsSpawnedWithoutAnInterval) {
    SmartPtr<ParticleParams> params = new ParticleParams();
    params->spawnInterval = 0;
    ParticleEmitter* source = emitter(kernel::Rect(0, 0, 4, 4), params.get());
    source->setEmitting(true);
    source->onUpdate(100);
    EXPECT_TRUE(particles(*source).empty());
    ParticleEmitter* flat = emitter(kernel::Rect(0, 0, 0, 4), new ParticleParams());
    flat->setEmitting(true);
    flat->onUpdate(100);
    EXPECT_TRUE(particles(*flat).empty());
}

TEST_F(ParticlesTest, SparklesAreTheSparkleShapeInTheGivenColour) {
    fieldtest::FieldWorld world;
    SmartPtr<ParticleParams> params = new ParticleParams();
    // Without its picture there is no effect.
    EXPECT_EQ(game::SparkleEffect::spawn(root.get(), params.get(), 0), nullptr);
    // A strip of 14 frames of 3 x 2; the red lane carries the shape, the picture's own alpha is ignored.
    auto strip = testsupport::filled32(42, 2, 0x00000000u);
    strip->pixels32()[0] = 0x00FF0000u;
    strip->pixels32()[1] = 0xFF800000u;
    fieldtest::FieldWorld::addSection(game::ids::groupScenePlay, {{game::ids::imageSparkle, strip}});
    ParticleEmitter* sparkles = game::SparkleEffect::spawn(root.get(), params.get(), 0x0033CC66u);
    ASSERT_NE(sparkles, nullptr);
    EXPECT_EQ(sparkles->getParent(), root.get());
    EXPECT_TRUE(sparkles->isEmitting());
    EXPECT_EQ(sparkles->getArea(), kernel::Rect(-10, -10, 20, 20));
    sparkles->onUpdate(25);
    const std::vector<OneShotTimer*> spawned = particles(*sparkles);
    ASSERT_EQ(spawned.size(), 1u);
    EXPECT_EQ(spawned.front()->getFrameCount(), 14);
    EXPECT_EQ(spawned.front()->getWidth(), 3);
    const auto& image = static_cast<const graphics::MemoryImage32&>(*spawned.front()->getImage());
    EXPECT_TRUE(image.getAlphaMode());
    EXPECT_EQ(image.pixels32()[0], 0xFF33CC66u);
    EXPECT_EQ(image.pixels32()[1], 0x8033CC66u);
    EXPECT_EQ(image.pixels32()[2], 0x0033CC66u);
}

} // namespace
