#include "game/field/Board.h"

#include <algorithm>

namespace game {

// The size is held within the grid, so a damaged level cannot make the rules read past it.
Board::Board(std::int32_t rows, std::int32_t columns, std::int32_t colours)
    : rowCount(std::clamp(rows, 0, cell::rowCount)), columnCount(std::clamp(columns, 0, cell::lastColumn)),
      colours(colours) {}

const BoardCell& Board::at(std::int32_t row, std::int32_t column) const {
    static const BoardCell empty;
    return contains(row, column) ? cells[row - cell::firstRow][column - cell::firstColumn] : empty;
}

BoardCell& Board::at(std::int32_t row, std::int32_t column) {
    if (!contains(row, column)) {
        outside = BoardCell();
        return outside;
    }
    return cells[row - cell::firstRow][column - cell::firstColumn];
}

std::int32_t Board::queueColour(std::int32_t row) const {
    return hasQueuePibble(row) ? queue[row - cell::firstRow].colour : colour::none;
}

void Board::setQueueColour(std::int32_t row, std::int32_t colour) {
    if (colour == colour::none) {
        if (row >= cell::firstRow && row <= rowCount) {
            queue[row - cell::firstRow] = BoardCell();
        }
        return;
    }
    placeQueuePibble(row, colour);
}

void Board::placeQueuePibble(std::int32_t row, std::int32_t colour) {
    if (row >= cell::firstRow && row <= rowCount) {
        BoardCell& pibble = queue[row - cell::firstRow];
        pibble.present = true;
        pibble.colour = colour;
    }
}

bool Board::hasQueuePibble(std::int32_t row) const {
    return row >= cell::firstRow && row <= rowCount && queue[row - cell::firstRow].present;
}

} // namespace game
