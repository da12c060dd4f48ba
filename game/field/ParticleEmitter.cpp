#include "game/field/ParticleEmitter.h"

#include "engine/ui/DelayModifier.h"
#include "engine/ui/FadeModifier.h"
#include "engine/ui/ModifierFrame.h"
#include "engine/ui/RotateScaleModifier.h"
#include "game/field/OneShotTimer.h"
#include "game/field/ParticleMotionModifier.h"
#include "game/foundation/Random.h"

#include <climits>
#include <cmath>

namespace game {

namespace {

constexpr int screenCoordinates = 2;

// A full 32-bit random number taken unsigned modulo the bound (above 0).
std::uint32_t randomBelow(std::uint32_t bound) {
    Random* random = Random::instance();
    return random != nullptr ? static_cast<std::uint32_t>(random->nextInt()) % bound : 0;
}

// Clocks counted down by every frame's time stop short of the int range.
int countDown(int value, int dt) {
    return value < INT_MIN + dt ? INT_MIN : value - dt;
}

} // namespace

ParticleEmitter::ParticleEmitter(const kernel::Rect& area, ParticleParams* params)
    : area(area), params(params), values(params != nullptr ? *params : ParticleParams()),
      spawnCountdown(values.spawnInterval), endless(values.duration == -1) {}

ParticleEmitter::~ParticleEmitter() = default;

ui::Sprite* ParticleEmitter::addPrototype(ui::Sprite* sprite) {
    if (sprite != nullptr) {
        prototypes.emplace_back(sprite);
    }
    return sprite;
}

void ParticleEmitter::onUpdate(std::uint32_t elapsedMs) {
    if (finished) {
        return;
    }
    const int dt = static_cast<int>(elapsedMs);
    if (values.startDelay > 0) {
        values.startDelay -= dt;
        if (values.startDelay > 0) {
            return;
        }
    }
    if (stopping) {
        emitting = false;
        finished = true;
        setDead(true);
        return;
    }
    keepTime(dt);
    if (emitting) {
        spawnDue(dt);
    }
}

// A timed emitter stops spawning once its duration has run out. An endless one, once switched off, starts
// counting its duration down from -1 and stops one particle lifetime later.
void ParticleEmitter::keepTime(int dt) {
    int& duration = values.duration;
    if (duration != -1) {
        if (!endless && duration < -1) {
            emitting = false;
        }
        if (endless && duration < -values.lifetime) {
            stopping = true;
        }
        duration = countDown(duration, dt);
    } else if (!endless) {
        duration = countDown(duration, dt);
    } else if (!emitting) {
        if (-1 < -values.lifetime) {
            stopping = true;
        }
        duration = countDown(duration, dt);
    }
}

// One spawn event per interval; a long frame spawns as many as the intervals it spans. Without an
// interval, a prototype or an area there is nothing to spawn.
void ParticleEmitter::spawnDue(int dt) {
    spawnCountdown -= dt;
    if (spawnCountdown >= 0) {
        return;
    }
    spawnCountdown = values.spawnInterval;
    if (values.spawnInterval <= 0 || prototypes.empty() || area.w <= 0 || area.h <= 0) {
        return;
    }
    const long count = std::lround(static_cast<double>(dt) / values.spawnInterval);
    for (long i = 0; i < (count < 1 ? 1 : count); ++i) {
        spawnOne();
    }
}

void ParticleEmitter::spawnOne() {
    const ui::Sprite& prototype = *prototypes[randomBelow(static_cast<std::uint32_t>(prototypes.size()))];
    kernel::SmartPtr<OneShotTimer> particle = new OneShotTimer(0, 0, prototype.getImage());
    particle->setReverseFrames(prototype.getReverseFrames());
    particle->setupFrames(prototype.getFrameCount(), prototype.getFrameStepY() == 0, true);
    particle->setLifetime(values.lifetime);
    const int x = area.x + static_cast<int>(randomBelow(static_cast<std::uint32_t>(area.w)));
    const int y = area.y + static_cast<int>(randomBelow(static_cast<std::uint32_t>(area.h)));
    particle->setAnchor(ui::Sprite::Center);
    addModifiers(*particle, x, y);
    attach(*particle);
}

void ParticleEmitter::addModifiers(OneShotTimer& particle, int x, int y) const {
    const int offX = x - area.x - area.w / 2;
    const int offY = y - area.y - area.h / 2;
    const float vx = static_cast<float>(offX / (area.w / 2.0) * values.speedX);
    const float vy = static_cast<float>(offY / (area.h / 2.0) * values.speedY);
    float startX = static_cast<float>(x);
    float startY = static_cast<float>(y);
    if (values.coordinateMode == screenCoordinates) {
        startX += static_cast<float>(getAbsoluteX());
        startY += static_cast<float>(getAbsoluteY());
    }
    particle.setPosition(static_cast<int>(startX), static_cast<int>(startY));
    particle.addModifier(new ParticleMotionModifier(-1, startX, startY, vx, vy, values.accelerationX,
                                                    values.accelerationY, values.dampingX, values.dampingY));
    particle.addModifier(new ui::DelayModifier(values.animationDelay));
    if (particle.getFrameCount() > 1) {
        particle.addModifier(new ui::ModifierFrame(values.frameTime, values.frameLoops));
    } else {
        particle.addModifier(
            new ui::RotateScaleModifier(0.0f, 0.0f, values.scaleFrom, values.scaleTo, values.scaleTime));
    }
    particle.addModifier(new ui::DelayModifier(values.fadeStart - values.animationDelay));
    if (values.fadeTime >= 0) {
        particle.addModifier(new ui::FadeModifier(255, 0, values.fadeTime));
    }
}

// Under the emitter a new particle goes first, beneath the older ones.
void ParticleEmitter::attach(OneShotTimer& particle) {
    if (values.particleParent) {
        values.particleParent->addChild(&particle);
    } else if (ui::GameNode* first = getFirstChild()) {
        first->insertBefore(&particle);
    } else {
        addChild(&particle);
    }
}

} // namespace game
