#include "game/field/MatchRemoval.h"

#include "game/foundation/Random.h"

#include <algorithm>
#include <array>

namespace game {

namespace {

constexpr std::int32_t clownSize = 5;
// A step of this many pibbles never turns the moved one stubborn.
constexpr std::int32_t stubbornRemovedLimit = 5;
constexpr std::int32_t percent = 100;

void countColour(const BoardCell& pibble, RemovalCounts& counts,
                 std::array<std::int32_t, colour::clown + 1>& tally, std::int32_t& best) {
    const std::int32_t colour = pibble.matchColour();
    if (colour < colour::none || colour > colour::clown) {
        return;
    }
    const std::int32_t count = ++tally[static_cast<std::size_t>(colour)];
    if (count > best) {
        best = count;
        counts.colour = colour;
    }
}

void countParty(const BoardCell& pibble, const Cell& place, RemovalCounts& counts) {
    counts.partyRemoved = true;
    counts.lastParty = place;
    counts.colour = pibble.matchColour();
    if (std::find(counts.partyColours.begin(), counts.partyColours.end(), pibble.colour) ==
        counts.partyColours.end()) {
        counts.partyColours.push_back(pibble.colour);
        counts.partyCells.push_back(place);
    }
}

// The cell a new clown or party pibble goes to; none when every pibble of the group is special.
bool chooseTarget(const Board& board, const CellList& group, const RemovalContext& context,
                  const ShuffleDraw& shuffleDraw, Cell& target) {
    if (context.clicked && group.contains(context.clickedCell)) {
        target = context.clickedCell;
        return true;
    }
    std::vector<Cell> order = group.cells;
    shuffleItems(order, shuffleDraw);
    const auto plain = std::find_if(order.begin(), order.end(),
                                    [&board](const Cell& place) { return !board.at(place).isSpecial(); });
    if (plain == order.end()) {
        return false;
    }
    target = *plain;
    return true;
}

bool turnsStubborn(const BoardCell& pibble, const Cell& place, const RemovalCounts& counts,
                   const RemovalContext& context, Random& random) {
    return context.stubbornChance > 0 && context.clicked && place == context.clickedCell &&
           context.comboStep == 0 && counts.stubborn == 0 && !pibble.isSpecial() &&
           !pibble.has(pibbleFlag::vib) && counts.removed < stubbornRemovedLimit &&
           random.nextInt(percent) < context.stubbornChance;
}

} // namespace

RemovalCounts countRemoval(const Board& board, const BoardScan& scan) {
    RemovalCounts counts;
    std::array<std::int32_t, colour::clown + 1> tally{};
    std::int32_t best = 0;
    for (const Cell& place : scan.removalList) {
        const BoardCell& pibble = board.at(place);
        ++counts.removed;
        counts.vib += pibble.has(pibbleFlag::vib) ? 1 : 0;
        counts.specials += pibble.isSpecial() ? 1 : 0;
        counts.stubborn += pibble.has(pibbleFlag::stubborn) ? 1 : 0;
        counts.parties += pibble.has(pibbleFlag::party) ? 1 : 0;
        counts.clowns += pibble.has(pibbleFlag::clown) ? 1 : 0;
        counts.chained += pibble.has(pibbleFlag::chained) ? 1 : 0;
        if (pibble.collectable != 0) {
            ++counts.collectables;
            counts.collectableRemoved = true;
            counts.lastCollectable = place;
        }
        if (pibble.has(pibbleFlag::party)) {
            countParty(pibble, place, counts);
        } else if (!counts.partyRemoved) {
            countColour(pibble, counts, tally, best);
        }
    }
    return counts;
}

RemovalPlan planRemoval(const Board& board, const BoardScan& scan, const RemovalCounts& counts,
                        const RemovalContext& context, Random& random, const ShuffleDraw& shuffleDraw) {
    RemovalPlan plan;
    for (const CellList& group : scan.groups) {
        plan.groupSizes.push_back(group.size());
        plan.twoStubbornGroups += group.stubborn >= 2 ? 1 : 0;
        Fate made = Fate::removed;
        Cell target;
        if (group.specials == 0 && group.size() >= clownSize) {
            made = group.size() == clownSize ? Fate::clown : Fate::party;
            (made == Fate::clown ? plan.clownsCreated : plan.partiesCreated) += 1;
            if (!chooseTarget(board, group, context, shuffleDraw, target)) {
                made = Fate::removed;
            }
        }
        for (const Cell& place : group.cells) {
            const BoardCell& pibble = board.at(place);
            Fate fate = Fate::removed;
            if (pibble.has(pibbleFlag::chained)) {
                fate = Fate::freed;
            } else if (made != Fate::removed && place == target && !pibble.isSpecial() &&
                       !pibble.has(pibbleFlag::vib)) {
                fate = made;
            } else if (turnsStubborn(pibble, place, counts, context, random)) {
                fate = Fate::stubborn;
            }
            plan.fates.push_back({place, fate});
        }
    }
    return plan;
}

} // namespace game
