#pragma once

#include "engine/kernel/SmartPtr.h"
#include "engine/ui/Modifier.h"

#include <array>
#include <cstdint>
#include <vector>

namespace ui {

class Sprite;

// Pulses alpha between a and b in four phases (hold a, fade up to b, hold b, fade back to a) for a number
// of cycles (below 1: for ever), on its node or on a list of target sprites. It finishes, with alpha a,
// when it enters hold-a after the last wanted cycle.
class PulseModifier : public Modifier {
public:
    enum Phase : int { HoldA = 0, FadeUp = 1, HoldB = 2, FadeBack = 3 };

    PulseModifier(int a, int b, int fadeUp, int fadeBack, int holdB, int holdA, int cycles);
    ~PulseModifier() override;

    void update(std::uint32_t elapsed) override;

    // With targets, the alpha goes to them instead of the modifier's own node.
    void addTarget(Sprite* target);

    int getValue() const { return value; }
    int getPhase() const { return phase; }
    int getCyclesDone() const { return cyclesDone; }

    static constexpr kernel::ClassInfo classInfo{&Modifier::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    void advancePhases();
    int phaseValue() const;
    void applyValue();

    int a;
    int value;
    std::uint32_t elapsedInPhase = 0;
    std::uint32_t phaseDuration = 0;
    int phase = HoldA;
    int b;
    // Indexed by phase.
    std::array<std::uint32_t, 4> durations;
    int cyclesDone = 0;
    int cyclesWanted;
    std::vector<kernel::SmartPtr<Sprite>> targets;
};

} // namespace ui
