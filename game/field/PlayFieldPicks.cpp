// The random picks of the modes: a field cell drawn at random until one qualifies, bounded, then the cells
// in order; its pibble becomes a party pibble, an unhappy, a clown or a stubborn one.
#include "game/field/PlayField.h"

#include "game/field/FieldRandom.h"
#include "game/field/Pibble.h"
#include "game/foundation/Random.h"

namespace game {

bool PlayField::findRandomCell(const CellTest& qualifies, std::int32_t& row, std::int32_t& column) const {
    const auto test = [&](std::int32_t r, std::int32_t c) {
        Pibble* pibble = pibbleAt(r, c);
        return pibble != nullptr && qualifies(*pibble, r, c);
    };
    if (rowCount() < 1 || columnCount() < 1) {
        return false;
    }
    for (int draw = 0; draw < randomCellDraws; ++draw) {
        const std::int32_t r = cell::firstRow + fieldRandom().nextInt(rowCount());
        const std::int32_t c = cell::firstColumn + fieldRandom().nextInt(columnCount());
        if (test(r, c)) {
            row = r;
            column = c;
            return true;
        }
    }
    for (std::int32_t r = cell::firstRow; r <= rowCount(); ++r) {
        for (std::int32_t c = cell::firstColumn; c <= columnCount(); ++c) {
            if (test(r, c)) {
                row = r;
                column = c;
                return true;
            }
        }
    }
    return false;
}

bool PlayField::makeRandomPartyPibble() {
    if (state() != fieldState::idle || animationsRunning()) {
        return false;
    }
    std::int32_t row = 0;
    std::int32_t column = 0;
    if (!findRandomCell([](Pibble& p, std::int32_t, std::int32_t) { return p.isPlain() && !p.isVib(); }, row,
                        column)) {
        return false;
    }
    makeParty(row, column);
    rescanPending = true;
    setPendingAnnouncement(Pending::party, nullptr);
    return true;
}

bool PlayField::makeRandomPibbleUnhappy(std::uint8_t mark, std::int32_t& row, std::int32_t& column) {
    row = 0;
    column = 0;
    if (!findRandomCell([this, mark](Pibble& p, std::int32_t r,
                                     std::int32_t c) { return moveMark(r, c) == mark && p.isPlain(); },
                        row, column)) {
        return false;
    }
    makeUnhappy(row, column);
    return true;
}

bool PlayField::makeRandomClown() {
    std::int32_t row = 0;
    std::int32_t column = 0;
    if (!findRandomCell([](Pibble& p, std::int32_t, std::int32_t) { return p.isPlain() && !p.isVib(); }, row,
                        column)) {
        return false;
    }
    makeClown(row, column);
    rescanPending = true;
    return true;
}

bool PlayField::makeRandomStubborn(std::uint8_t mark) {
    std::int32_t row = 0;
    std::int32_t column = 0;
    if (!findRandomCell([this, mark](Pibble& p, std::int32_t r,
                                     std::int32_t c) { return moveMark(r, c) == mark && p.isPlain(); },
                        row, column)) {
        return false;
    }
    makeStubborn(row, column);
    rescanPending = true;
    return true;
}

} // namespace game
