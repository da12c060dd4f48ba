#pragma once

#include "engine/kernel/Rect.h"
#include "engine/kernel/SmartPtr.h"
#include "engine/ui/GameNode.h"
#include "engine/ui/Sprite.h"
#include "game/field/ParticleParams.h"

#include <cstdint>
#include <vector>

namespace game {

class OneShotTimer;

// Spawns short-lived particles at random points of its area (relative to itself), each a copy of one of
// its prototypes, flying outward from the area's centre, faster the nearer the edge it starts. Emission
// runs from setEmitting (true) after the start delay, until switched off or, for a timed emitter, until its
// duration has run out. An endless emitter that is switched off removes itself one particle lifetime
// later, when its last particles have died.
class ParticleEmitter : public ui::GameNode {
public:
    ParticleEmitter(const kernel::Rect& area, ParticleParams* params);
    ~ParticleEmitter() override;

    void onUpdate(std::uint32_t elapsedMs) override;

    ui::Sprite* addPrototype(ui::Sprite* sprite);
    void setEmitting(bool flag) { emitting = flag; }
    bool isEmitting() const { return emitting; }
    bool isFinished() const { return finished; }
    const kernel::Rect& getArea() const { return area; }
    ParticleParams* getParams() const { return params.get(); }

    static constexpr kernel::ClassInfo classInfo{&ui::GameNode::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    void keepTime(int dt);
    void spawnDue(int dt);
    void spawnOne();
    void addModifiers(OneShotTimer& particle, int x, int y) const;
    void attach(OneShotTimer& particle);

    kernel::Rect area;
    kernel::SmartPtr<ParticleParams> params;
    // The parameters as they were when the emitter was made.
    ParticleParams values;
    std::vector<kernel::SmartPtr<ui::Sprite>> prototypes;
    int spawnCountdown;
    bool emitting = false;
    bool endless;
    bool stopping = false;
    bool finished = false;
};

} // namespace game
