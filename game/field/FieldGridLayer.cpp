#include "game/field/FieldGridLayer.h"

#include "game/foundation/LevelFile.h"

namespace game {

FieldGridLayer::Geometry FieldGridLayer::Geometry::of(const LevelFile& level) {
    Geometry geometry;
    geometry.cellWidth = level.cellWidth();
    geometry.cellHeight = level.cellHeight();
    geometry.offsetY = level.offsetY();
    geometry.offsetXField = level.offsetXField();
    geometry.offsetXQueue1 = level.offsetXQueue1();
    geometry.offsetXQueue2 = level.offsetXQueue2();
    return geometry;
}

FieldGridLayer::~FieldGridLayer() = default;

bool FieldGridLayer::inGrid(std::int32_t row, std::int32_t column) {
    return row >= cell::firstRow && row <= cell::lastRow && column >= cell::queueLeft &&
           column <= cell::queueRight;
}

ui::GameNode* FieldGridLayer::cellAt(std::int32_t row, std::int32_t column) const {
    return inGrid(row, column) ? cells[row - cell::firstRow][column].get() : nullptr;
}

void FieldGridLayer::setCellAt(std::int32_t row, std::int32_t column, ui::GameNode* node) {
    if (inGrid(row, column)) {
        cells[row - cell::firstRow][column] = node;
    }
}

void FieldGridLayer::clearCells() {
    for (auto& row : cells) {
        for (kernel::SmartPtr<ui::GameNode>& node : row) {
            node = nullptr;
        }
    }
}

std::int32_t FieldGridLayer::cellX(std::int32_t column) const {
    if (column == cell::queueLeft) {
        return geometry.offsetXQueue1;
    }
    if (column == cell::queueRight) {
        return geometry.offsetXQueue2;
    }
    if (column >= cell::firstColumn && column <= cell::lastColumn) {
        return geometry.offsetXField + (column - cell::firstColumn) * geometry.cellWidth;
    }
    return 0;
}

std::int32_t FieldGridLayer::cellY(std::int32_t row) const {
    if (row >= cell::firstRow && row <= cell::lastRow) {
        return geometry.offsetY + (row - cell::firstRow) * geometry.cellHeight;
    }
    return 0;
}

void FieldGridLayer::relayout() {
    for (std::int32_t row = cell::firstRow; row <= cell::lastRow; ++row) {
        for (std::int32_t column = cell::queueLeft; column <= cell::queueRight; ++column) {
            if (ui::GameNode* node = cellAt(row, column)) {
                node->setPosition(cellX(column), cellY(row));
            }
        }
    }
}

} // namespace game
