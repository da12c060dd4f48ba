#pragma once

#include "engine/kernel/SmartPtr.h"
#include "engine/ui/GameNode.h"
#include "game/foundation/FieldCodes.h"

#include <array>
#include <cstdint>

namespace game {

class LevelFile;

// The field's grid of cells: the node standing in each cell of rows 1 to 9 and columns 0 to 11 (the two
// queue columns and the field columns between them), held with a reference each, and where on the
// screen each cell lies, as the level gives it.
class FieldGridLayer : public ui::GameNode {
public:
    struct Geometry {
        std::int32_t cellWidth = 0;
        std::int32_t cellHeight = 0;
        std::int32_t offsetY = 0;
        std::int32_t offsetXField = 0;
        std::int32_t offsetXQueue1 = 0;
        std::int32_t offsetXQueue2 = 0;

        // The cells' size and places as the level gives them.
        static Geometry of(const LevelFile& level);
    };

    FieldGridLayer() = default;
    ~FieldGridLayer() override;

    // Null outside the grid.
    ui::GameNode* cellAt(std::int32_t row, std::int32_t column) const;
    // Nothing outside the grid; null empties the cell.
    void setCellAt(std::int32_t row, std::int32_t column, ui::GameNode* node);
    void clearCells();

    // A cell's x: its queue column's, or the field's left column's plus whole cells; 0 for any other
    // column.
    std::int32_t cellX(std::int32_t column) const;
    // A field row's y: the top row's plus whole cells; 0 for any other row.
    std::int32_t cellY(std::int32_t row) const;
    // Puts every node of the grid at its cell's position.
    void relayout();

    void setGeometry(const Geometry& value) { geometry = value; }
    const Geometry& getGeometry() const { return geometry; }
    std::int32_t getRows() const { return rows; }
    void setRows(std::int32_t value) { rows = value; }
    std::int32_t getColumns() const { return columns; }
    void setColumns(std::int32_t value) { columns = value; }
    std::int32_t getColourCount() const { return colourCount; }
    void setColourCount(std::int32_t value) { colourCount = value; }
    std::int32_t getQueueColumnCount() const { return queueColumnCount; }

    static constexpr kernel::ClassInfo classInfo{&ui::GameNode::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    static bool inGrid(std::int32_t row, std::int32_t column);

    std::array<std::array<kernel::SmartPtr<ui::GameNode>, cell::columnCount>, cell::rowCount> cells;
    Geometry geometry;
    std::int32_t rows = 0;
    std::int32_t columns = 0;
    std::int32_t colourCount = 0;
    std::int32_t queueColumnCount = 2;
};

} // namespace game
