#pragma once

#include "game/foundation/FieldCodes.h"

#include <array>
#include <cstdint>

namespace game {

class Pibble;

// What the field tells its listeners: a type (game/foundation/FieldCodes.h eventType) and its words, all
// 0 when made. An event about one pibble carries the pibble and its cell (words 1 and 2, row and column);
// a match carries the seventeen words of matchWord and, for word 17, the pibble with a collectable; the
// party points carry points, x, y and colour in words 0 to 3. The pibble is not held: it is valid only
// while the event is delivered.
struct GameEvent {
    std::int32_t type = 0;
    std::array<std::int32_t, matchWord::count> words{};
    Pibble* pibble = nullptr;

    static GameEvent of(std::int32_t type) {
        GameEvent event;
        event.type = type;
        return event;
    }
    static GameEvent about(std::int32_t type, Pibble* pibble, std::int32_t row, std::int32_t column) {
        GameEvent event = of(type);
        event.pibble = pibble;
        event.words[1] = row;
        event.words[2] = column;
        return event;
    }
    std::int32_t row() const { return words[1]; }
    std::int32_t column() const { return words[2]; }
};

} // namespace game
