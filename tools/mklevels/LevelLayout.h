#pragma once
// A level's cells as layout letters (the alphabet the game's level reader takes) and the placing of the
// special pibbles on a field's outline.

#include "tools/mklevels/FieldShape.h"
#include "tools/mklevels/LevelDice.h"
#include "tools/mklevels/LevelPlan.h"

#include <array>
#include <string>

namespace mklevels {

// The letters of a field cell; an upper-case letter is a VIB pibble.
namespace letter {
inline constexpr char hole = '.';
inline constexpr char queue = 'q';
inline constexpr char plain = 'x';
inline constexpr char vib = 'X';
inline constexpr char vibStubborn = 'S';
inline constexpr char vibChained = 'C';
inline constexpr char stubborn = 's';
inline constexpr char chained = 'c';
inline constexpr char clown = 'l';
inline constexpr char party = 'p';
} // namespace letter

class LevelLayout {
public:
    LevelLayout() = default;
    // A plain pibble on every cell of the outline, a hole elsewhere.
    explicit LevelLayout(const FieldShape& outline);

    int rows() const { return outline.rows(); }
    int columns() const { return outline.columns(); }
    const FieldShape& shape() const { return outline; }
    // A hole outside the field.
    char at(int row, int column) const;
    void set(int row, int column, char cell);
    int count(char cell) const;
    // The row as a level file gives it: the row's queue pibble, the field's cells, the right queue column.
    std::string fileRow(int row) const;
    // Whether a run of three across or down can take the pibble at the cell, the other two of it pibbles
    // that can move into line: neither holes, nor stubborn, nor chained. A chained pibble that has no
    // such line could never be freed.
    bool hasFreeLine(int row, int column) const;

private:
    FieldShape outline;
    std::array<std::array<char, FieldShape::maxColumns>, FieldShape::maxRows> letters{};
};

enum class Placing {
    done,
    // This draw of the dice left a pibble without a cell, or a chained one without a free line: another
    // draw may not.
    retry,
    // The plan's pibbles outnumber the outline's cells.
    impossible,
};

// Places the plan's special pibbles, each kind spread away from those placed before it (the best of a
// few random cells), in mirrored pairs when the plan is symmetric: chained VIBs, stubborn VIBs, the other
// VIBs, chained and stubborn pibbles, clowns, party pibbles. VIBs and stubborn and chained pibbles go only
// where a run can ever take them; chained ones only where they can be freed.
Placing placeSpecials(const LevelPlan& plan, LevelDice& dice, LevelLayout& layout, std::string& error);

} // namespace mklevels
