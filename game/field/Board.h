#pragma once

#include "game/foundation/FieldCodes.h"

#include <array>
#include <cstdint>

namespace game {

// A cell of the field by its row and column codes.
struct Cell {
    std::int32_t row = 0;
    std::int32_t column = 0;

    bool operator==(const Cell&) const = default;
};

// What the rules see of one field cell: whether a pibble stands there (a removed pibble is a permanent hole
// that still stands), its colour, its special kinds and its collectable.
struct BoardCell {
    bool present = false;
    bool removed = false;
    std::int32_t colour = colour::none;
    std::int32_t flags = 0;
    std::int32_t collectable = 0;

    bool has(std::int32_t flag) const { return (flags & flag) != 0; }
    bool isSpecial() const { return (flags & pibbleFlag::special) != 0 || collectable != 0; }
    // What a click may move (a VIB pibble is plain).
    bool isPlain() const { return present && !removed && !isSpecial(); }
    // A clown matches as the wildcard whatever colour it was given; no pibble and a hole have none.
    std::int32_t matchColour() const {
        if (!present || removed) {
            return colour::none;
        }
        return has(pibbleFlag::clown) ? colour::clown : colour;
    }
};

// The field as the rules see it: the field cells of the used rows and columns, the colour of each row's
// queue pibble (0 where the queue cell is empty), the level's colour count, and whether the pibble of the
// move in progress (down its hole, out of the cells) is a VIB pibble. Cells outside the used size read as
// empty.
class Board {
public:
    Board() = default;
    Board(std::int32_t rows, std::int32_t columns, std::int32_t colours);

    std::int32_t rows() const { return rowCount; }
    std::int32_t columns() const { return columnCount; }
    std::int32_t colourCount() const { return colours; }
    bool contains(std::int32_t row, std::int32_t column) const {
        return row >= cell::firstRow && row <= rowCount && column >= cell::firstColumn &&
               column <= columnCount;
    }

    // An empty cell for any place outside the board.
    const BoardCell& at(std::int32_t row, std::int32_t column) const;
    const BoardCell& at(const Cell& place) const { return at(place.row, place.column); }
    // Writes outside the board go nowhere.
    BoardCell& at(std::int32_t row, std::int32_t column);
    BoardCell& at(const Cell& place) { return at(place.row, place.column); }
    // The wildcard colour for a clown, 0 for no pibble, a hole or a place outside the board.
    std::int32_t matchColour(std::int32_t row, std::int32_t column) const {
        return at(row, column).matchColour();
    }

    // 0 for an empty queue cell or a row outside the board.
    std::int32_t queueColour(std::int32_t row) const;
    // A queue pibble of the colour; 0 empties the queue cell.
    void setQueueColour(std::int32_t row, std::int32_t colour);
    // A queue pibble whatever its colour: a level may leave the colours to its recolouring.
    void placeQueuePibble(std::int32_t row, std::int32_t colour);
    bool hasQueuePibble(std::int32_t row) const;

    bool clickedIsVib() const { return clickedVib; }
    void setClickedIsVib(bool value) { clickedVib = value; }

private:
    std::int32_t rowCount = 0;
    std::int32_t columnCount = 0;
    std::int32_t colours = 0;
    std::array<std::array<BoardCell, cell::lastColumn>, cell::rowCount> cells{};
    std::array<BoardCell, cell::rowCount> queue{};
    bool clickedVib = false;
    BoardCell outside;
};

} // namespace game
