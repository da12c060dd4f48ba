// The scan of the field, the removal of one step's runs with its points, and the party match that follows
// a removed party pibble.
#include "game/field/PlayField.h"

#include "engine/ui/CallbackModifier.h"
#include "engine/ui/DelayModifier.h"
#include "engine/ui/FadeModifier.h"
#include "engine/ui/ModifierFrame.h"
#include "engine/ui/MoveModifier.h"
#include "engine/ui/Sprite.h"
#include "game/field/FieldRandom.h"
#include "game/field/FieldRenderer.h"
#include "game/field/MatchRemoval.h"
#include "game/field/ModifierLookup.h"
#include "game/field/ParticleEmitter.h"
#include "game/field/ParticleParams.h"
#include "game/field/Pibble.h"
#include "game/field/PibbleHupModifier.h"
#include "game/field/PibbleImages.h"
#include "game/field/SparkleEffect.h"
#include "game/foundation/GameGlobals.h"
#include "game/foundation/GameIds.h"
#include "game/foundation/GameUtilities.h"
#include "game/foundation/PibblePlayer.h"

#include <algorithm>
#include <limits>
#include <string>

namespace game {

namespace {

// The party match: the burst shows its frames, rests, then fades out above the removed party pibble; each
// pibble of its colour waits, rises a little and gives its points.
constexpr int burstAbovePibble = 79;
constexpr int burstFrameMs = 50;
constexpr int burstRestMs = 500;
constexpr int burstFadeMs = 125;
constexpr int partyWaitMs = 200;
constexpr int partyRiseMs = 120;
constexpr int partyRise = 39;
// The sparkles around a burst: they die with it.
constexpr int sparkleLifetime = 600;
constexpr int sparkleInterval = 40;
constexpr int sparkleFadeStart = 300;
constexpr int sparkleFadeTime = 300;
constexpr int relativeToEmitter = 1;
// The sparkles' colour by party colour 1 to 7 (0xRRGGBB).
constexpr std::uint32_t sparkleColours[] = {0xFFE30A, 0x54CFF0, 0xFE501C, 0xFEFEFE,
                                            0x62D71A, 0x9805B0, 0xFC7301};

std::int32_t addPoints(std::int32_t score, std::int32_t points) {
    const std::int64_t sum = std::int64_t{score} + points;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(sum, std::numeric_limits<std::int32_t>::min(),
                                                              std::numeric_limits<std::int32_t>::max()));
}

bool isHard() {
    return currentDifficulty() == difficultyHard;
}

void spawnSparkles(ui::GameNode& burst, std::int32_t colour) {
    if (colour < colour::firstReal || colour > colour::lastReal) {
        return;
    }
    const kernel::SmartPtr<ParticleParams> params = new ParticleParams();
    params->coordinateMode = relativeToEmitter;
    params->lifetime = sparkleLifetime;
    params->spawnInterval = sparkleInterval;
    params->fadeStart = sparkleFadeStart;
    params->fadeTime = sparkleFadeTime;
    SparkleEffect::spawn(&burst, params.get(), sparkleColours[colour - colour::firstReal]);
}

ui::Modifier* blocking(ui::Modifier* modifier) {
    modifier->addFlags(ui::Modifier::blocking);
    return modifier;
}

} // namespace

// The scan.

Board PlayField::board() const {
    Board result(rowCount(), columnCount(), numColors());
    for (std::int32_t row = cell::firstRow; row <= result.rows(); ++row) {
        for (std::int32_t column = cell::firstColumn; column <= result.columns(); ++column) {
            const Pibble* pibble = pibbleAt(row, column);
            if (pibble == nullptr) {
                continue;
            }
            BoardCell& place = result.at(row, column);
            place.present = true;
            place.removed = pibble->isRemoved();
            place.colour = pibble->getColour();
            place.flags = pibble->getFlags();
            place.collectable = pibble->getCollectableId();
        }
        if (const Pibble* queued = pibbleAt(row, cell::queueLeft)) {
            result.placeQueuePibble(row, queued->getColour());
        }
    }
    result.setClickedIsVib(clickedPibble && clickedPibble->isVib());
    return result;
}

void PlayField::scanMatches() {
    scan = scanBoard(board());
}

std::int32_t PlayField::matchScore(std::int32_t removed, std::int32_t specials, std::int32_t collectables,
                                   std::int32_t vib, std::int32_t comboStep) {
    return game::matchScore(removed, specials, collectables, vib, comboStep, isHard());
}

// The removal of one step.

// A step finds its runs again; should none stand any more (a listener changed the board), it scores nothing
// and the field refills.
void PlayField::onStateRemoveMatches() {
    scanMatches();
    if (scan.removalList.empty()) {
        setState(fieldState::refill);
        return;
    }
    const Board before = board();
    const RemovalCounts counts = countRemoval(before, scan);
    partyRemoved = counts.partyRemoved;
    partyColourSet = counts.partyColours;
    partyColours.clear();
    for (const Cell& place : counts.partyCells) {
        partyColours.emplace_back(pibbleAt(place.row, place.column));
    }
    RemovalContext context;
    context.clicked = clickHit;
    context.clickedCell = {clickedRow, clickedColumn};
    context.comboStep = comboStep;
    context.stubbornChance = stubbornChance;
    const RemovalPlan plan = planRemoval(before, scan, counts, context, fieldRandom(), runtimeDraw);
    countMatchesForPlayer(plan);
    stats.clownsCreated += plan.clownsCreated;
    stats.partiesCreated += plan.partiesCreated;
    const std::int32_t points =
        matchScore(counts.removed, counts.specials, counts.collectables, counts.vib, comboStep);
    // The event tells where the cells were before they empty; the listeners hear it with the new score.
    GameEvent event = matchEvent(counts, points);
    const kernel::SmartPtr<Pibble> withCollectable = event.pibble;
    applyFates(plan);
    score = addPoints(score, points);
    event.words[matchWord::score] = score;
    broadcast(event);
    ++comboStep;
    setState(partyColours.empty() ? fieldState::refill : fieldState::partyMatch);
}

void PlayField::countMatchesForPlayer(const RemovalPlan& plan) {
    PibblePlayer* player = currentPlayer();
    if (player == nullptr) {
        return;
    }
    for (const std::int32_t size : plan.groupSizes) {
        if (size >= 3) {
            player->countMatch(size);
        }
    }
    if (plan.twoStubbornGroups > 0) {
        player->addTwoStubbornMatches(plan.twoStubbornGroups);
    }
}

void PlayField::applyFates(const RemovalPlan& plan) {
    for (const CellFate& fate : plan.fates) {
        Pibble* pibble = pibbleAt(fate.cell.row, fate.cell.column);
        if (pibble == nullptr) {
            continue;
        }
        switch (fate.fate) {
        case Fate::freed:
            dechain(pibble);
            pibble->setFlag(pibbleFlag::chained, false);
            break;
        case Fate::clown:
            makeClown(fate.cell.row, fate.cell.column);
            break;
        case Fate::party:
            makeParty(fate.cell.row, fate.cell.column);
            break;
        case Fate::stubborn:
            makeStubborn(fate.cell.row, fate.cell.column);
            break;
        case Fate::removed:
            removeFromField(fate.cell);
            break;
        }
    }
}

// The removal effect by kind, then the jump off the field.
void PlayField::removeFromField(const Cell& place) {
    Pibble* pibble = pibbleAt(place.row, place.column);
    if (pibble->isStubborn()) {
        startStubbornMatch(pibble);
    } else if (pibble->isVib()) {
        startVibMatch(pibble);
    } else if (comboStep >= 4) {
        startComboGlow(pibble);
    }
    movePibble(place.row, place.column, cell::offField, place.column, true);
}

GameEvent PlayField::matchEvent(const RemovalCounts& counts, std::int32_t points) {
    const std::int32_t offsetX = propertyInt(ids::cfgFloaterOffsetX);
    const std::int32_t offsetY = propertyInt(ids::cfgFloaterOffsetY);
    std::int32_t x = 0;
    std::int32_t y = 0;
    if (counts.partyRemoved) {
        x = columnX(counts.lastParty.row, counts.lastParty.column) + offsetX;
        y = rowY(counts.lastParty.row, counts.lastParty.column) + offsetY;
    } else if (!scan.removalList.empty()) {
        std::int64_t sumX = 0;
        std::int64_t sumY = 0;
        for (const Cell& place : scan.removalList) {
            sumX += columnX(place.row, place.column) + offsetX;
            sumY += rowY(place.row, place.column) + offsetY;
        }
        const auto cells = static_cast<std::int64_t>(scan.removalList.size());
        x = static_cast<std::int32_t>(sumX / cells);
        y = static_cast<std::int32_t>(sumY / cells);
    }
    GameEvent event = GameEvent::of(eventType::match);
    event.words[matchWord::comboStep] = comboStep;
    event.words[matchWord::vibs] = counts.vib;
    event.words[matchWord::clowns] = counts.clowns;
    event.words[matchWord::parties] = counts.parties;
    event.words[matchWord::chained] = counts.chained;
    event.words[matchWord::stubborn] = counts.stubborn;
    event.words[matchWord::pibbles] = counts.removed;
    event.words[matchWord::specials] = counts.specials;
    event.words[matchWord::collectables] = counts.collectables;
    event.words[matchWord::points] = points;
    event.words[matchWord::x] = x;
    event.words[matchWord::y] = y;
    event.words[matchWord::colour] = counts.colour;
    if (counts.collectableRemoved) {
        event.words[matchWord::collectableRow] = counts.lastCollectable.row;
        event.words[matchWord::collectableColumn] = counts.lastCollectable.column;
        event.pibble = pibbleAt(counts.lastCollectable.row, counts.lastCollectable.column);
    }
    return event;
}

// The party match.

void PlayField::onStatePartyMatch() {
    if (partyPending.empty() && partyDone.empty()) {
        startPartyMatch();
    } else if (!partyPending.empty()) {
        cheerPartyPibbles();
    } else {
        endPartyMatch();
    }
}

// Every pibble of a removed party pibble's colour joins the party, in a random order; a pibble with a
// collectable stays out of it.
void PlayField::startPartyMatch() {
    forEachPibble(cell::firstColumn, [this](Pibble& pibble, std::int32_t, std::int32_t) {
        if (!pibble.hasCollectable() && !pibble.isRemoved() &&
            std::find(partyColourSet.begin(), partyColourSet.end(), pibble.getColour()) !=
                partyColourSet.end()) {
            partyPending.emplace_back(&pibble);
        }
    });
    if (partyPending.empty()) {
        clearParty();
        setState(fieldState::refill);
        return;
    }
    shuffleItems(partyPending, runtimeDraw);
    for (const kernel::SmartPtr<Pibble>& party : partyColours) {
        startPartyEffect(*party);
    }
}

// The burst over the removed party pibble, and the rise of each pibble of its colour. A rising pibble is
// drawn live above the board while it moves.
void PlayField::startPartyEffect(Pibble& party) {
    const std::int32_t colour = party.getColour();
    const kernel::SmartPtr<ui::Sprite> burst =
        new ui::Sprite(party.getX(), party.getY() - burstAbovePibble,
                       pibbleImage(ids::pibblePartyMatchPrefix + std::to_string(colour)));
    burst->setupFrames(ids::pibblePartyMatchFrames, false, true);
    burst->setAnchor(ui::Sprite::Center);
    burst->addModifier(blocking(new ui::ModifierFrame(burstFrameMs, 1)));
    burst->addModifier(new ui::DelayModifier(burstRestMs));
    for (const kernel::SmartPtr<Pibble>& pibble : partyPending) {
        if (pibble->getColour() != colour) {
            continue;
        }
        renderer->addTopItem(pibble.get());
        pibble->addModifier(new ui::DelayModifier(partyWaitMs));
        pibble->addModifier(blocking(new ui::MoveModifier(pibble->getX(), pibble->getY(), pibble->getX(),
                                                          pibble->getY() - partyRise, partyRiseMs, false)));
        pibble->addModifier(blocking(new ui::CallbackModifier(this, onPartyPibbleDone)));
    }
    // The burst goes with its fade, and its sparkles with it.
    ui::Modifier* fade = new ui::FadeModifier(255, 0, burstFadeMs);
    fade->addFlags(ui::Modifier::killNode);
    burst->addModifier(fade);
    addChild(burst.get());
    spawnSparkles(*burst, colour);
}

void PlayField::onPartyPibbleDone(void* field, ui::GameNode* node) {
    PlayField* self = instance();
    if (self == nullptr || self != field || node == nullptr || !node->isKindOf(Pibble::classInfo)) {
        return;
    }
    Pibble* pibble = static_cast<Pibble*>(node);
    const auto found =
        std::find_if(self->partyPending.begin(), self->partyPending.end(),
                     [pibble](const kernel::SmartPtr<Pibble>& one) { return one.get() == pibble; });
    if (found == self->partyPending.end()) {
        return;
    }
    self->partyDone.push_back(*found);
    self->partyPending.erase(found);
    GameEvent event = GameEvent::of(eventType::partyPoints);
    event.pibble = pibble;
    event.words[0] = isHard() ? 2 * partyPibblePoints : partyPibblePoints;
    event.words[1] = pibble->getX();
    event.words[2] = pibble->getY();
    event.words[3] = pibble->getColour();
    self->broadcast(event);
}

// The pibbles that gave their points cheer and hop until the last one has.
void PlayField::cheerPartyPibbles() {
    for (const kernel::SmartPtr<Pibble>& pibble : partyDone) {
        if (pibble->isStubborn()) {
            pibble->setStubborn(false);
        }
        pibble->setStyle(headStyle::happy);
        if (!pibble->hasModifierType(animationBit::hop) &&
            firstModifierOf<PibbleHupModifier>(*pibble) == nullptr) {
            startHup(pibble.get(), false);
        }
    }
}

void PlayField::endPartyMatch() {
    setState(fieldState::refill);
    for (const kernel::SmartPtr<Pibble>& pibble : partyDone) {
        if (hoverPibble == pibble) {
            hoverPibble = nullptr;
        }
        pibble->stopAnimations();
        pibble->setDepthOffset(0);
        std::int32_t row = 0;
        std::int32_t column = 0;
        if (findPibble(pibble.get(), row, column)) {
            movePibble(row, column, cell::offField, column, true);
        }
    }
    clearParty();
}

void PlayField::clearParty() {
    partyColours.clear();
    partyPending.clear();
    partyDone.clear();
}

} // namespace game
