#include "game/field/PibbleAnimator.h"

#include "game/field/Pibble.h"
#include "game/field/PibbleBlinkModifier.h"
#include "game/field/PibbleStubbornModifier.h"
#include "game/field/PibbleVibShineModifier.h"
#include "game/field/PlayField.h"
#include "game/foundation/GameIds.h"
#include "game/foundation/GameUtilities.h"
#include "game/foundation/Random.h"

#include <algorithm>
#include <limits>

namespace game {

namespace {

PibbleAnimator* current = nullptr;

std::int32_t below(std::int32_t bound) {
    Random* random = Random::instance();
    return random != nullptr ? random->nextInt(bound) : 0;
}

std::uint32_t anyDraw() {
    Random* random = Random::instance();
    return random != nullptr ? static_cast<std::uint32_t>(random->nextInt()) : 0u;
}

// A timer runs down by the frame's time and stops at the lowest int rather than wrapping.
void runDown(std::int32_t& timer, std::uint32_t elapsed) {
    const std::int64_t left = std::int64_t{timer} - elapsed;
    timer = static_cast<std::int32_t>(std::max<std::int64_t>(left, std::numeric_limits<std::int32_t>::min()));
}

} // namespace

PibbleAnimator* PibbleAnimator::create() {
    if (current == nullptr) {
        current = new PibbleAnimator();
        current->addRef();
    }
    return current;
}

PibbleAnimator* PibbleAnimator::instance() {
    return current;
}

void PibbleAnimator::destroy() {
    PibbleAnimator* animator = current;
    current = nullptr;
    if (animator != nullptr) {
        animator->release();
    }
}

PibbleAnimator::PibbleAnimator()
    : blinkInterval(propertyInt(ids::cfgBlinkInterval)), blinkRandomize(propertyInt(ids::cfgBlinkRandomize)),
      stubbornInterval(propertyInt(ids::cfgStubbornInterval)),
      stubbornRandomize(propertyInt(ids::cfgStubbornRandomize)),
      vibInterval(propertyInt(ids::cfgVibInterval)), vibRandomize(propertyInt(ids::cfgVibRandomize)),
      blinkTimer(armed(blinkInterval, blinkRandomize)),
      stubbornTimer(armed(stubbornInterval, stubbornRandomize)), vibTimer(armed(vibInterval, vibRandomize)) {}

PibbleAnimator::~PibbleAnimator() = default;

std::int32_t PibbleAnimator::armed(std::int32_t interval, std::int32_t randomize) {
    const std::int64_t timer = std::int64_t{interval} + below(randomize);
    return static_cast<std::int32_t>(std::min<std::int64_t>(timer, std::numeric_limits<std::int32_t>::max()));
}

bool PibbleAnimator::atRest(const Pibble* pibble) {
    return pibble != nullptr && !pibble->isRemoved() && !pibble->hasCollectable() &&
           !pibble->anyModifierType() && pibble->getModifierList().empty();
}

bool PibbleAnimator::canBlink(const Pibble* pibble) {
    return atRest(pibble) && !pibble->isSpecial();
}

bool PibbleAnimator::canSulk(const Pibble* pibble) {
    return atRest(pibble) && pibble->isStubborn();
}

bool PibbleAnimator::canShine(const Pibble* pibble) {
    return atRest(pibble) && pibble->isVib();
}

void PibbleAnimator::onUpdate(std::uint32_t elapsedMs) {
    PlayField* field = PlayField::instance();
    if (field == nullptr || field->isFrozen() || field->state() == fieldState::levelOver) {
        return;
    }
    runDown(blinkTimer, elapsedMs);
    runDown(stubbornTimer, elapsedMs);
    runDown(vibTimer, elapsedMs);
    if (blinkTimer < 1) {
        blink(*field);
        blinkTimer = armed(blinkInterval, blinkRandomize);
    }
    if (stubbornTimer < 1) {
        sulk(*field);
        stubbornTimer = armed(stubbornInterval, stubbornRandomize);
    }
    if (vibTimer < 1) {
        shine(*field);
        vibTimer = armed(vibInterval, vibRandomize);
    }
}

// Any pibble the player sees: every row, the field's columns and the queue column.
void PibbleAnimator::blink(PlayField& field) {
    for (int attempt = 0; attempt < blinkTries; ++attempt) {
        const std::int32_t row = cell::firstRow + below(field.rowCount());
        const std::int32_t column = below(field.columnCount() + 1);
        Pibble* pibble = field.pibbleAt(row, column);
        if (canBlink(pibble)) {
            pibble->addModifier(new PibbleBlinkModifier(pibble));
            return;
        }
    }
}

void PibbleAnimator::sulk(PlayField& field) {
    if (field.scanCounts().stubborn < 1) {
        return;
    }
    for (int attempt = 0; attempt < stubbornTries; ++attempt) {
        Pibble* pibble = field.pibbleAt(cell::firstRow + below(field.rowCount()),
                                        cell::firstColumn + below(field.columnCount()));
        if (canSulk(pibble)) {
            pibble->addModifier(new PibbleStubbornModifier(pibble));
            return;
        }
    }
}

void PibbleAnimator::shine(PlayField& field) {
    if (field.scanCounts().vib < 1) {
        return;
    }
    if (anyDraw() % 100 < allShinePercent) {
        field.startVibAnimations();
        return;
    }
    for (int attempt = 0; attempt < vibTries; ++attempt) {
        Pibble* pibble = field.pibbleAt(cell::firstRow + below(field.rowCount()),
                                        cell::firstColumn + below(field.columnCount()));
        if (canShine(pibble)) {
            pibble->addModifier(new PibbleVibShineModifier(pibble));
            return;
        }
    }
}

} // namespace game
