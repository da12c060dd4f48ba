#include "engine/ui/PulseModifier.h"

#include "engine/ui/Sprite.h"

#include <algorithm>

namespace ui {

namespace {

std::uint32_t phaseLength(int duration) {
    return static_cast<std::uint32_t>(std::max(0, duration));
}

} // namespace

PulseModifier::PulseModifier(int a, int b, int fadeUp, int fadeBack, int holdB, int holdA, int cycles)
    : a(a), value(a),
      b(b), durations{phaseLength(holdA), phaseLength(fadeUp), phaseLength(holdB), phaseLength(fadeBack)},
      cyclesWanted(cycles) {}

PulseModifier::~PulseModifier() = default;

void PulseModifier::addTarget(Sprite* target) {
    if (target != nullptr) {
        targets.emplace_back(target);
    }
}

void PulseModifier::update(std::uint32_t elapsed) {
    advancePhases();
    if (cyclesWanted < 1 || cyclesDone < cyclesWanted) {
        value = phaseValue();
    } else {
        finish();
        value = a;
    }
    applyValue();
    elapsedInPhase += elapsed;
}

void PulseModifier::advancePhases() {
    // A cycle of length 0 would never use up the elapsed time: it is passed once per update instead.
    const bool emptyCycle = std::all_of(durations.begin(), durations.end(), [](auto d) { return d == 0; });
    int steps = 0;
    while (elapsedInPhase >= phaseDuration && !(emptyCycle && steps == 4)) {
        elapsedInPhase -= phaseDuration;
        phase = (phase + 1) % 4;
        phaseDuration = durations[static_cast<std::size_t>(phase)];
        if (phase == HoldA) {
            ++cyclesDone;
        }
        ++steps;
    }
}

int PulseModifier::phaseValue() const {
    const auto fade = [this](int start, int end) {
        if (phaseDuration == 0) {
            return end;
        }
        const std::int64_t progress = static_cast<std::int64_t>(end - start) * elapsedInPhase / phaseDuration;
        return start + static_cast<int>(progress);
    };
    switch (phase) {
    case FadeUp:
        return fade(a, b);
    case HoldB:
        return b;
    case FadeBack:
        return fade(b, a);
    default:
        return a;
    }
}

void PulseModifier::applyValue() {
    if (targets.empty()) {
        if (node != nullptr) {
            static_cast<Sprite*>(node)->setAlpha(value);
        }
        return;
    }
    for (const auto& target : targets) {
        target->setAlpha(value);
    }
}

} // namespace ui
