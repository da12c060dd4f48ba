#include "tools/mklevels/FieldShape.h"

#include <algorithm>
#include <charconv>
#include <string_view>

namespace mklevels {

namespace {

// The cut of a shape, measured from the cell (row, column) of the field.
struct Place {
    int row;
    int column;
    int rows;
    int columns;

    // Steps in from the nearer side, 0 on the outer column.
    int fromSide() const { return std::min(column, columns + 1 - column) - 1; }
    int fromTop() const { return row - 1; }
    int fromBottom() const { return rows - row; }
    // Whether the row lies among the `count` middle rows.
    bool inMiddleRows(int count) const {
        const int first = (rows - count) / 2 + 1;
        return row >= first && row < first + count;
    }
};

using Cut = bool (*)(const Place& place, int size);

struct ShapeKind {
    const char* name;
    int defaultSize;
    Cut isHole;
};

constexpr ShapeKind shapeKinds[] = {
    {"full", 0, [](const Place&, int) { return false; }},
    {"corners", 2,
     [](const Place& at, int size) {
         return std::min(at.fromTop(), at.fromBottom()) + at.fromSide() < size;
     }},
    {"arch", 3, [](const Place& at, int size) { return at.fromTop() + at.fromSide() < size; }},
    {"bowl", 3, [](const Place& at, int size) { return at.fromBottom() + at.fromSide() < size; }},
    {"pillars", 3, [](const Place& at, int size) { return at.fromSide() == 3 && at.inMiddleRows(size); }},
    // The middle column of an odd width, the middle two of an even one.
    {"window", 2,
     [](const Place& at, int size) {
         return at.fromSide() == (at.columns - 1) / 2 && at.inMiddleRows(size);
     }},
    {"waist", 2, [](const Place& at, int size) { return at.fromSide() == 0 && at.inMiddleRows(size); }},
    {"dots", 2,
     [](const Place& at, int size) {
         // Pair i (1..size) sits on row i x (rows + 1) / (size + 1), alternately one and three cells in,
         // where every width keeps three cells side by side.
         for (int i = 1; i <= size; ++i) {
             if (at.row == i * (at.rows + 1) / (size + 1) && at.fromSide() == (i % 2 == 1 ? 1 : 3)) {
                 return true;
             }
         }
         return false;
     }},
};

const ShapeKind* kindOf(std::string_view name) {
    for (const ShapeKind& kind : shapeKinds) {
        if (name == kind.name) {
            return &kind;
        }
    }
    return nullptr;
}

// "name" or "name:size" with a size of 1 to 9.
bool splitShape(const std::string& shape, std::string& name, int& size) {
    const std::size_t colon = shape.find(':');
    name = shape.substr(0, colon);
    size = -1;
    if (colon == std::string::npos) {
        return !name.empty();
    }
    const char* first = shape.data() + colon + 1;
    const char* last = shape.data() + shape.size();
    const auto [end, code] = std::from_chars(first, last, size);
    return !name.empty() && code == std::errc() && end == last && size >= 1 && size <= 9;
}

bool applyMask(const ShapeMask& mask, FieldShape& outline, std::string& error) {
    const int height = static_cast<int>(mask.rows.size());
    const int width = mask.rows.empty() ? 0 : static_cast<int>(mask.rows.front().size());
    if (height > outline.rows() || width > outline.columns()) {
        error = "is " + std::to_string(width) + " x " + std::to_string(height) +
                ", bigger than the field of " + std::to_string(outline.columns()) + " x " +
                std::to_string(outline.rows());
        return false;
    }
    const int top = (outline.rows() - height) / 2;
    const int left = (outline.columns() - width) / 2;
    for (int row = 0; row < height; ++row) {
        for (int column = 0; column < width; ++column) {
            if (mask.rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)] == '.') {
                outline.makeHole(top + row + 1, left + column + 1);
            }
        }
    }
    return true;
}

bool hasThreeSideBySide(const FieldShape& outline, int row) {
    int run = 0;
    for (int column = 1; column <= outline.columns(); ++column) {
        run = outline.isCell(row, column) ? run + 1 : 0;
        if (run == 3) {
            return true;
        }
    }
    return false;
}

} // namespace

FieldShape::FieldShape(int rows, int columns)
    : rowCount(std::clamp(rows, 0, maxRows)), columnCount(std::clamp(columns, 0, maxColumns)) {
    for (int row = 0; row < rowCount; ++row) {
        for (int column = 0; column < columnCount; ++column) {
            cells[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)] = true;
        }
    }
}

bool FieldShape::isCell(int row, int column) const {
    return row >= 1 && row <= rowCount && column >= 1 && column <= columnCount &&
           cells[static_cast<std::size_t>(row - 1)][static_cast<std::size_t>(column - 1)];
}

void FieldShape::makeHole(int row, int column) {
    if (row >= 1 && row <= rowCount && column >= 1 && column <= columnCount) {
        cells[static_cast<std::size_t>(row - 1)][static_cast<std::size_t>(column - 1)] = false;
    }
}

int FieldShape::cellCount() const {
    int count = 0;
    for (int row = 1; row <= rowCount; ++row) {
        for (int column = 1; column <= columnCount; ++column) {
            count += isCell(row, column) ? 1 : 0;
        }
    }
    return count;
}

bool FieldShape::inLineOfThree(int row, int column) const {
    if (!isCell(row, column)) {
        return false;
    }
    for (int start = -2; start <= 0; ++start) {
        bool across = true;
        bool down = true;
        for (int i = start; i < start + 3; ++i) {
            across = across && isCell(row, column + i);
            down = down && isCell(row + i, column);
        }
        if (across || down) {
            return true;
        }
    }
    return false;
}

bool isKnownShape(const std::string& shape, const std::map<std::string, ShapeMask>& masks) {
    std::string name;
    int size = 0;
    if (!splitShape(shape, name, size)) {
        return false;
    }
    return kindOf(name) != nullptr || (size < 0 && masks.contains(name));
}

bool buildShape(const std::string& shape, int rows, int columns,
                const std::map<std::string, ShapeMask>& masks, FieldShape& outline, std::string& error) {
    outline = FieldShape(rows, columns);
    std::string name;
    int size = 0;
    const ShapeKind* kind = splitShape(shape, name, size) ? kindOf(name) : nullptr;
    const auto mask = masks.find(name);
    if (kind != nullptr) {
        const int cut = size < 0 ? kind->defaultSize : size;
        for (int row = 1; row <= outline.rows(); ++row) {
            for (int column = 1; column <= outline.columns(); ++column) {
                if (kind->isHole({row, column, outline.rows(), outline.columns()}, cut)) {
                    outline.makeHole(row, column);
                }
            }
        }
    } else if (mask == masks.end() || size >= 0) {
        error = "shape \"" + shape + "\" is not known";
        return false;
    } else if (!applyMask(mask->second, outline, error)) {
        error = "shape \"" + shape + "\" " + error;
        return false;
    }
    for (int row = 1; row <= outline.rows(); ++row) {
        if (!hasThreeSideBySide(outline, row)) {
            error = "shape \"" + shape + "\" leaves row " + std::to_string(row) + " of a field of " +
                    std::to_string(columns) + " x " + std::to_string(rows) +
                    " without three cells side by side";
            return false;
        }
    }
    return true;
}

} // namespace mklevels
