#pragma once
// The text of a generated level file, in the format and layout of the authored ones.

#include "tools/mklevels/LevelLayout.h"
#include "tools/mklevels/LevelPlan.h"

#include <string>

namespace mklevels {

// Where the field stands on the 640 x 480 background: the screen line of the first row, the screen
// columns of the first field column and of the two queue columns, and the pixels of all the rows and
// columns (the field divides them into its cells).
struct BackgroundGeometry {
    int offsetY = 0;
    int offsetXField = 0;
    int offsetXQueue1 = 0;
    int offsetXQueue2 = 0;
    int fieldWidth = 0;
    int fieldHeight = 0;
};

// Cells of 44 x 44, the queue column a cell and a half left of the field (and the unused right one as far
// right of it), the field with its queue centred across the screen and its rows centred on the line 288:
// the authored levels' geometry (8 x 7 and 10 x 9), for every size.
BackgroundGeometry geometryFor(int rows, int columns);

// The level file: a comment saying what the level holds, its properties, layout rows and background.
std::string levelText(const LevelPlan& plan, const LevelLayout& layout);

} // namespace mklevels
