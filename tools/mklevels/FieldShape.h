#pragma once
// The outline of a level's field: which cells hold pibbles and which are holes. A hole is a permanent gap
// of the field (the layout letter '.'): nothing is ever made there and no run passes through it, but the
// pibbles above it fall past it.

#include "tools/mklevels/LevelRules.h"

#include <array>
#include <map>
#include <string>

namespace mklevels {

class FieldShape {
public:
    static constexpr int maxRows = 9;
    static constexpr int maxColumns = 10;

    FieldShape() = default;
    // Every cell of the size (held within the field's largest) holds a pibble.
    FieldShape(int rows, int columns);

    int rows() const { return rowCount; }
    int columns() const { return columnCount; }
    // Rows and columns count from 1, as the field's do; false outside the size.
    bool isCell(int row, int column) const;
    void makeHole(int row, int column);
    int cellCount() const;
    // The cell in the same row on the other side of the middle.
    int mirrorColumn(int column) const { return columnCount + 1 - column; }
    // Whether three cells side by side or one above the other, the cell among them, all hold pibbles:
    // only then can a run ever take the pibble standing there.
    bool inLineOfThree(int row, int column) const;

private:
    int rowCount = 0;
    int columnCount = 0;
    std::array<std::array<bool, maxColumns>, maxRows> cells{};
};

// The generator's shapes, each the same on both sides of the middle; "name:size" gives the size of its
// cut, "name" the shape's own default:
//   full       no holes
//   corners:k  the four corners cut by steps k cells deep (default 2)
//   arch:k     the two top corners cut (default 3): a dome
//   bowl:k     the two bottom corners cut (default 3): a cup
//   pillars:k  two posts of holes k rows tall (default 3), three cells in from each side
//   window:k   a hole in the middle, k rows tall (default 2), two columns wide (one on an odd width)
//   waist:k    both sides pinched in by a hole in each of the k middle rows (default 2)
//   dots:k     k pairs of single holes (default 2) spread down the field
// A cut too deep for a narrow field leaves a row without three cells side by side, and is refused.
// Any other name is a mask of the rules file.
bool isKnownShape(const std::string& shape, const std::map<std::string, ShapeMask>& masks);

// The outline of the shape for a field of the size. False with a message for an unknown shape, a mask
// bigger than the field, or an outline that leaves a row without three cells side by side (its queue
// pibble could never make a run there).
bool buildShape(const std::string& shape, int rows, int columns,
                const std::map<std::string, ShapeMask>& masks, FieldShape& outline, std::string& error);

} // namespace mklevels
