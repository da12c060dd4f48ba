// The field's animation starters and the hover: every pibble animation is made here.
#include "game/field/PlayField.h"

#include "engine/platform/Application.h"
#include "engine/platform/PointerPosition.h"
#include "engine/ui/CallbackModifier.h"
#include "engine/ui/DelayModifier.h"
#include "engine/ui/Scene.h"
#include "game/field/BigPartyStarModifier.h"
#include "game/field/FieldRandom.h"
#include "game/field/FieldRenderer.h"
#include "game/field/FieldSounds.h"
#include "game/field/ModifierLookup.h"
#include "game/field/Pibble.h"
#include "game/field/PibbleAlphaModifier.h"
#include "game/field/PibbleClownGlowModifier.h"
#include "game/field/PibbleComboGlowModifier.h"
#include "game/field/PibbleDechainModifier.h"
#include "game/field/PibbleFocusModifier.h"
#include "game/field/PibbleHoleModifier.h"
#include "game/field/PibbleHoleRiseModifier.h"
#include "game/field/PibbleHupModifier.h"
#include "game/field/PibbleLookModifier.h"
#include "game/field/PibblePartyModifier.h"
#include "game/field/PibbleStubbornMatchModifier.h"
#include "game/field/PibbleStubbornModifier.h"
#include "game/field/PibbleStyleModifier.h"
#include "game/field/PibbleUnhappyModifier.h"
#include "game/field/PibbleVibMatchModifier.h"
#include "game/field/PibbleVibShineModifier.h"
#include "game/foundation/GameIds.h"
#include "game/foundation/GameUtilities.h"
#include "game/foundation/Random.h"

#include <cassert>

namespace game {

namespace {

constexpr int alphaTime = 450;
constexpr std::uint32_t endLevelStartSpread = 500;
constexpr std::uint32_t endLevelHopSpread = 300;
constexpr int endLevelHops = 3;
constexpr int waveStep = 100;

std::uint32_t anyDraw() {
    return static_cast<std::uint32_t>(fieldRandom().nextInt());
}

// A counted effect queued behind a jump of its pibble would hold every jump of the field still, that one
// too, for ever: effects go before the pibble's jumps, never after.
void attachEffect(Pibble& pibble, PibbleModifier* effect) {
    assert(firstModifierOf<PibbleJumpModifier>(pibble) == nullptr);
    pibble.addModifier(effect);
}

bool dialogBlocksCursor() {
    const ui::Scene* scene = currentScene();
    return scene != nullptr &&
           (scene->isDialogOpen(ids::dialogPause) || scene->isDialogOpen(ids::dialogLevelEnd) ||
            scene->isDialogOpen(ids::dialogProgress));
}

} // namespace

void PlayField::startJump(Pibble* pibble, int toX, int toY, const JumpOptions& options) {
    if (pibble != nullptr) {
        pibble->addModifier(new PibbleJumpModifier(pibble, toX, toY, options));
    }
}

void PlayField::startHup(Pibble* pibble, bool sound) {
    if (pibble == nullptr) {
        return;
    }
    PibbleHupModifier* hop = new PibbleHupModifier(pibble);
    hop->setSoundOn(sound);
    hop->setBounces(true, true);
    pibble->addModifier(hop);
}

void PlayField::startAlpha(Pibble* pibble, int from, int to) {
    if (pibble != nullptr) {
        pibble->addModifier(new PibbleAlphaModifier(pibble, from, to, alphaTime));
    }
}

void PlayField::dechain(Pibble* pibble) {
    if (pibble != nullptr) {
        pibble->addModifier(new PibbleDechainModifier(pibble));
    }
}

// Also not when one waits to run: two clicks in one frame shake once.
void PlayField::shakeNo(Pibble* pibble) {
    if (pibble != nullptr && !pibble->hasModifierType(animationBit::look) &&
        firstModifierOf<PibbleLookModifier>(*pibble) == nullptr) {
        pibble->addModifier(new PibbleLookModifier(pibble));
    }
}

void PlayField::makeClown(std::int32_t row, std::int32_t column) {
    Pibble* pibble = pibbleAt(row, column);
    if (pibble == nullptr) {
        return;
    }
    pibble->setClown(true);
    attachEffect(*pibble, new PibbleClownGlowModifier(pibble));
    setPendingAnnouncement(Pending::clown, pibble);
}

void PlayField::makeParty(std::int32_t row, std::int32_t column) {
    Pibble* pibble = pibbleAt(row, column);
    if (pibble == nullptr) {
        return;
    }
    pibble->setFlag(pibbleFlag::party, true);
    attachEffect(*pibble, new BigPartyStarModifier(pibble));
    attachEffect(*pibble, new PibbleClownGlowModifier(pibble));
    pibble->addModifier(new PibblePartyModifier(pibble));
    setPendingAnnouncement(Pending::party, pibble);
}

void PlayField::makeVib(std::int32_t row, std::int32_t column) {
    if (Pibble* pibble = pibbleAt(row, column)) {
        pibble->setFlag(pibbleFlag::vib, true);
    }
}

void PlayField::makeChained(std::int32_t row, std::int32_t column) {
    if (Pibble* pibble = pibbleAt(row, column)) {
        pibble->setFlag(pibbleFlag::chained, true);
        setPendingAnnouncement(Pending::chained, pibble);
    }
}

void PlayField::makeStubborn(std::int32_t row, std::int32_t column) {
    Pibble* pibble = pibbleAt(row, column);
    if (pibble == nullptr) {
        return;
    }
    pibble->setStubborn(true);
    pibble->addModifier(new PibbleStubbornModifier(pibble));
    setPendingAnnouncement(Pending::stubborn, pibble);
}

void PlayField::makeUnhappy(std::int32_t row, std::int32_t column) {
    Pibble* pibble = pibbleAt(row, column);
    if (pibble == nullptr) {
        return;
    }
    pibble->addModifier(new PibbleUnhappyModifier(pibble));
    broadcast(GameEvent::about(eventType::unhappyAppeared, pibble, row, column));
}

void PlayField::stopUnhappy(std::int32_t row, std::int32_t column) {
    if (const Pibble* pibble = pibbleAt(row, column)) {
        eachModifierOf<PibbleUnhappyModifier>(*pibble,
                                              [](PibbleUnhappyModifier& unhappy) { unhappy.stop(); });
    }
}

void PlayField::startFocus(std::int32_t row, std::int32_t column) {
    if (Pibble* pibble = pibbleAt(row, column)) {
        pibble->addModifier(new PibbleFocusModifier(pibble, pibbleAt(row, cell::queueLeft)));
    }
}

void PlayField::startStyle(Pibble* pibble, std::int32_t style) {
    if (pibble != nullptr) {
        pibble->addModifier(new PibbleStyleModifier(pibble, style));
    }
}

void PlayField::startHole(Pibble* pibble) {
    if (pibble == nullptr) {
        return;
    }
    pibble->addModifier(new PibbleHoleModifier(pibble));
    if (PibbleFocusModifier* focus = firstModifierOf<PibbleFocusModifier>(*pibble)) {
        focus->stop();
    }
    eachModifierOf<PibbleUnhappyModifier>(*pibble, [this](PibbleUnhappyModifier& unhappy) {
        unhappy.stop();
        unhappyPending = true;
    });
}

void PlayField::startHoleRise(Pibble* pibble) {
    if (pibble == nullptr) {
        return;
    }
    pibble->addModifier(new PibbleHoleRiseModifier(pibble));
    if (pibble->hasModifierType(animationBit::focus)) {
        if (PibbleFocusModifier* focus = firstModifierOf<PibbleFocusModifier>(*pibble)) {
            focus->stop();
        }
    }
}

void PlayField::startStubbornMatch(Pibble* pibble) {
    if (pibble != nullptr) {
        attachEffect(*pibble, new PibbleStubbornMatchModifier(pibble));
    }
}

void PlayField::startVibMatch(Pibble* pibble) {
    if (pibble != nullptr) {
        attachEffect(*pibble, new PibbleVibMatchModifier(pibble));
    }
}

void PlayField::startComboGlow(Pibble* pibble) {
    if (pibble != nullptr) {
        attachEffect(*pibble, new PibbleComboGlowModifier(pibble));
    }
}

// Every pibble hops three times after a random wait; the cheer is heard once per so many hops of the whole
// field, the first among them.
void PlayField::startEndLevelHops() {
    int hops = 0;
    forEachPibble(cell::queueLeft, [&](Pibble& pibble, std::int32_t, std::int32_t) {
        pibble.addModifier(new ui::DelayModifier(static_cast<int>(anyDraw() % endLevelStartSpread)));
        for (int i = 0; i < endLevelHops; ++i) {
            pibble.addModifier(new ui::DelayModifier(static_cast<int>(anyDraw() % endLevelHopSpread)));
            if (hops++ % endLevelSoundEvery == 0) {
                pibble.addModifier(new ui::CallbackModifier(
                    nullptr, [](void*, ui::GameNode*) { playFieldSound(ids::soundJumpHupEndLevel); }));
            }
            startHup(&pibble, false);
        }
        startStyle(&pibble, headStyle::normal);
    });
}

void PlayField::startWaveHops() {
    forEachPibble(cell::queueLeft, [this](Pibble& pibble, std::int32_t, std::int32_t column) {
        pibble.addModifier(new ui::DelayModifier(column * waveStep));
        startHup(&pibble, false);
    });
}

void PlayField::startVibAnimations() {
    forEachPibble(cell::firstColumn, [](Pibble& pibble, std::int32_t, std::int32_t) {
        if (pibble.isVib() && pibble.getModifierList().empty()) {
            pibble.addModifier(new PibbleVibShineModifier(&pibble));
        }
    });
}

void PlayField::setAllHappy() {
    forEachPibble(cell::queueLeft,
                  [](Pibble& pibble, std::int32_t, std::int32_t) { pibble.setStyle(headStyle::happy); });
    renderer->invalidateAll(true);
}

void PlayField::setAllNormal() {
    forEachPibble(cell::queueLeft,
                  [](Pibble& pibble, std::int32_t, std::int32_t) { pibble.setStyle(headStyle::normal); });
    renderer->invalidateAll(true);
}

// The hover.

void PlayField::stopFocusesBut(const Pibble* pibble) {
    forEachPibble(cell::queueLeft, [pibble](Pibble& other, std::int32_t, std::int32_t) {
        if (&other != pibble) {
            eachModifierOf<PibbleFocusModifier>(other, [](PibbleFocusModifier& focus) { focus.stop(); });
        }
    });
}

void PlayField::updateHover() {
    if (isPaused() || isFrozen() || state() != fieldState::idle) {
        if (!dialogBlocksCursor()) {
            platform::setApplicationCursor(platform::cursorArrow);
        }
        return;
    }
    platform::setApplicationCursor(platform::cursorArrow);
    std::int32_t row = 0;
    std::int32_t column = 0;
    hoverHit = cellAtPoint(platform::pointerX, platform::pointerY, row, column);
    if (!hoverHit) {
        hoverPibble = nullptr;
        hoverRow = 0;
        hoverColumn = 0;
        return;
    }
    hoverRow = row;
    hoverColumn = column;
    Pibble* pibble = pibbleAt(row, column);
    const bool focusable = isFieldColumn(column) && pibble != nullptr && pibble->isPlain();
    if (focusable) {
        platform::setApplicationCursor(platform::cursorHand);
    }
    if (pibble == hoverPibble.get() || hoverMs < hoverRestMs ||
        (pibble != nullptr && pibble->hasModifierType(animationBit::focus | animationBit::holes))) {
        return;
    }
    hoverMs = 0;
    hoverPibble = pibble;
    if (focusable) {
        stopFocusesBut(pibble);
        startFocus(row, column);
    }
}

} // namespace game
