#include "game/field/PibbleModifier.h"

#include "game/field/FieldRenderer.h"
#include "game/field/Pibble.h"
#include "game/field/PlayField.h"

#include <algorithm>
#include <limits>

namespace game {

PibbleModifier::PibbleModifier(Pibble* pibble, std::uint32_t bit, int duration, Counting counting,
                               bool blocking)
    : pibble(pibble), bit(bit), timeLeft(duration), counting(counting) {
    if (blocking) {
        addFlags(ui::Modifier::blocking);
    }
    PlayField* field = PlayField::instance();
    if (field == nullptr) {
        return;
    }
    fieldSerial = field->getSerial();
    if (counting != Counting::none) {
        field->incRunningAnimations();
        if (counting == Counting::effect) {
            field->incEffectAnimations();
        }
        counted = true;
    }
}

// The counters follow the animation's life, not its phases: one removed early is uncounted here too. A
// field made after this animation's own is left alone.
PibbleModifier::~PibbleModifier() {
    PlayField* field = liveField();
    if (!counted || field == nullptr) {
        return;
    }
    field->decRunningAnimations();
    if (counting == Counting::effect) {
        field->decEffectAnimations();
    }
}

PlayField* PibbleModifier::liveField() const {
    PlayField* field = PlayField::instance();
    return field != nullptr && field->getSerial() == fieldSerial ? field : nullptr;
}

void PibbleModifier::update(std::uint32_t elapsed) {
    if (pibble == nullptr) {
        finish();
        return;
    }
    switch (phase) {
    case starting:
        if (bit != 0) {
            addType(bit, *pibble);
        }
        onStart();
        phase = runningOn;
        return;
    case running:
    case runningOn: {
        const int dt = scaled(elapsed);
        onRun(dt);
        if (clockRuns()) {
            timeLeft -= dt;
        }
        if (timeLeft < 1) {
            phase = finishing;
        }
        return;
    }
    case ending:
        phase = finishing;
        return;
    default:
        onEnd();
        if (bit != 0) {
            removeType(bit, *pibble);
        }
        finish();
        return;
    }
}

void PibbleModifier::addType(std::uint32_t bits, Pibble& target) {
    if (!target.anyModifierType() && FieldRenderer::instance() != nullptr) {
        FieldRenderer::instance()->addTopItem(&target);
    }
    target.addModifierType(bits);
}

void PibbleModifier::removeType(std::uint32_t bits, Pibble& target) {
    target.removeModifierType(bits);
    if (!target.anyModifierType() && FieldRenderer::instance() != nullptr) {
        FieldRenderer::instance()->addFieldItem(&target);
    }
}

// A frame's milliseconds times the speed, held within an int.
int PibbleModifier::scaled(std::uint32_t elapsed) const {
    const std::int64_t product = std::int64_t{elapsed} * speed;
    return static_cast<int>(std::clamp<std::int64_t>(product, 0, std::numeric_limits<int>::max()));
}

} // namespace game
