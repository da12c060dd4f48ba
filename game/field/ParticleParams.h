#pragma once

#include "engine/kernel/Object.h"
#include "engine/kernel/SmartPtr.h"
#include "engine/ui/GameNode.h"

namespace game {

// What a particle emitter makes: where its particles go, when and how often they come, how they fly,
// animate, scale and fade. A step of the motion is 20 ms. Made in code; an emitter copies it when made.
class ParticleParams : public kernel::Object {
public:
    // The node the particles are added to; none: the emitter itself. An emitter holds it, so it must not be
    // an ancestor of the emitter (which would then keep itself alive): give a node beside it, such as a
    // layer of the scene.
    kernel::SmartPtr<ui::GameNode> particleParent;
    // 2: particle positions in screen coordinates (the emitter's absolute position added); any other
    // value: relative to the emitter.
    int coordinateMode = 2;
    int startDelay = 0;
    // Emission time in ms; -1: until switched off.
    int duration = -1;
    int lifetime = 1000;
    int spawnInterval = 20;
    // Start speed at the area's edge, pixels per step.
    float speedX = 2.0f;
    float speedY = 2.0f;
    // From birth (less the animation delay) to the fade-out.
    int fadeStart = 500;
    // Negative: no fade.
    int fadeTime = 500;
    float accelerationX = 0.0f;
    float accelerationY = 0.21f;
    // Taken off the speed per step, toward 0.
    float dampingX = 0.2f;
    float dampingY = 0.2f;
    // Particles of several frames.
    int frameTime = 20;
    int frameLoops = -1;
    int animationDelay = 0;
    // Particles of one frame.
    int scaleTime = 2000;
    float scaleFrom = 1.0f;
    float scaleTo = 1.0f;

    static constexpr kernel::ClassInfo classInfo{&kernel::Object::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }
};

} // namespace game
