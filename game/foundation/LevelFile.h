#pragma once

#include "engine/kernel/NodeValue.h"
#include "engine/kernel/Object.h"
#include "engine/kernel/SmartPtr.h"
#include "engine/kernel/ValueDocument.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>

namespace graphics {
class ImageBase;
}

namespace game {

// One level or saved game (the same settings-XML format): the document as read, plus its grid decoded into
// a letter per cell and five integer grids. Cells are (row 1..9, column 0..11): column 0 is the queue
// column at the left, columns 1..width the field, width + 1 the queue column at the right.
//
// Nothing read from a file reaches outside the grids: rows beyond the ninth, letters beyond the twelfth
// and cells named outside the grid are ignored, short rows read as empty cells with 0 values, and a letter
// outside the layout alphabet reads as an empty cell.
class LevelFile : public kernel::Object {
public:
    static constexpr int maxRows = 9;
    static constexpr int maxColumns = 12;
    static constexpr int maxFieldColumns = maxColumns - 2;

    // What the field hands over for one cell when the running game is stored.
    struct StoredCell {
        bool removed = false;
        bool vib = false;
        bool party = false;
        bool clown = false;
        bool chained = false;
        bool stubborn = false;
        std::int32_t colour = 0;
        std::int32_t gender = 0;
        std::int32_t style = 0;
        std::int32_t collectable = 0;
        std::int32_t nameIndex = 0;
    };

    // A decoration as the level places it: x and y are where the bottom centre of its picture goes.
    struct Element {
        std::string type;
        std::string image;
        // The renderer layer it is linked under: "backbuffer" unless the level says otherwise.
        std::string layer;
        std::int32_t x = 0;
        std::int32_t y = 0;
    };
    // The field's screen positions of a cell (PlayField::columnX and rowY).
    using CellPosition = std::function<std::int32_t(std::int32_t row, std::int32_t column)>;

    // Reads the file; one that cannot be read gives an empty level.
    explicit LevelFile(const std::string& path);

    // The file it was read from.
    const std::string& getPath() const;
    // Why the level cannot be played as it stands: the file was missing or not read to its end, or it
    // lacks a part the field is built from (the properties, a layout of at least one row and field column,
    // the background's picture and geometry). Empty for a level that can be played; a saved game that was
    // cut short or damaged is not continued on what it still holds.
    std::string unplayableReason() const;
    // The first value of the grid that the game never writes into a level it saves: more than nine rows, a
    // row of another length than the first, a letter outside the layout alphabet, a digit above the highest
    // of its kind, a cell entry outside the level or with a value no pibble carries, no colours in a level
    // not to be recoloured. Empty when there is none. An authored level is read leniently, as said above;
    // a saved game holding such a value is damaged.
    const std::string& strayValue() const { return stray; }

    // The document's root: the catalogue adjusts "properties" through it, a saved game's loader reads them.
    kernel::NodeValue& document() const { return *root; }

    // The "properties"; a missing key reads 0. Times are in milliseconds (the file gives seconds).
    std::int32_t numColors() const;
    std::int32_t numMoves() const;
    std::int32_t time() const;
    // "timeleft" when the level has one (a saved game), else time().
    std::int32_t timeLeft() const;
    std::int32_t score() const;
    // Sets the untyped property, adding it (and "properties") when the level lacks it.
    void setProperty(const std::string& key, std::int32_t value);

    // Rows 0..9 and field columns 0..10, as the layout gives them.
    std::int32_t rowCount() const;
    std::int32_t columnCount() const;
    std::int32_t queueColumnCount() const { return 2; }
    std::int32_t elementCount() const;

    // The grid values; 0 ('.' for the letter) outside the grid.
    char letterAt(std::int32_t row, std::int32_t column) const;
    std::int32_t colourAt(std::int32_t row, std::int32_t column) const;
    std::int32_t genderAt(std::int32_t row, std::int32_t column) const;
    std::int32_t styleAt(std::int32_t row, std::int32_t column) const;
    std::int32_t collectableAt(std::int32_t row, std::int32_t column) const;
    std::int32_t nameIndexAt(std::int32_t row, std::int32_t column) const;
    bool isEmptyCell(std::int32_t row, std::int32_t column) const { return letterAt(row, column) == '.'; }
    bool isVibCell(std::int32_t row, std::int32_t column) const;
    bool isClownCell(std::int32_t row, std::int32_t column) const;
    bool isPartyCell(std::int32_t row, std::int32_t column) const;
    bool isStubbornCell(std::int32_t row, std::int32_t column) const;
    bool isChainedCell(std::int32_t row, std::int32_t column) const;

    // The "value" of the first "background" entry of that name, or "ERROR".
    std::string backgroundValue(const std::string& name) const;
    // The picture of "image" from the section "backgrounds", loaded now if it is not yet; null when the
    // name is not declared.
    graphics::ImageBase* backgroundImage() const;
    std::int32_t offsetY() const;
    std::int32_t offsetXField() const;
    std::int32_t offsetXQueue1() const;
    std::int32_t offsetXQueue2() const;
    // The pixels of one cell; 0 for a level without rows or field columns.
    std::int32_t cellWidth() const;
    std::int32_t cellHeight() const;

    // Where decoration `index` goes on the field laid out by the two positions; a type other than "grid"
    // and "fixed" is placed at 0x7FFFFFFF.
    Element element(std::int32_t index, const CellPosition& columnX, const CellPosition& rowY) const;

    // Replaces the properties with the running game's: "time" 0, the scene's own keys (written by
    // saveScene), "nummoves" 0 and the level's colour count. A level without "properties" gets them.
    void storeProperties(const std::function<void(kernel::NodeValue& properties)>& saveScene);
    // Stores the pibble of a cell; a cell outside the grid stores nothing.
    void storeCell(std::int32_t row, std::int32_t column, const StoredCell& cell);
    // The layout letter of a stored pibble.
    static char letterFor(const StoredCell& cell, std::int32_t column);
    // Rewrites the grid sections of the document from the grids, then adds every top-level value of the
    // document to the target (shared, not copied).
    void writeXml(kernel::NodeValue& target);

    static constexpr kernel::ClassInfo classInfo{&kernel::Object::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    using Grid = std::array<std::array<std::int32_t, maxColumns>, maxRows>;

    kernel::NodeValue& properties() const;
    kernel::NodeValue& ensureProperties();
    std::int32_t readProperty(const char* key) const;
    std::int32_t backgroundInt(const char* name) const;

    void readLetters(const kernel::VectorValue& rows);
    void readDigits(const char* section, Grid& grid, std::int32_t highest);
    void readCellValues(const char* section, const char* key, Grid& grid, std::int32_t highest);
    void checkRowLength(const char* section, std::int32_t index, std::size_t length);
    void checkColoured();
    void noteStray(const std::string& what);

    void replaceSection(kernel::SmartPtr<kernel::Value> section);
    kernel::SmartPtr<kernel::Value> layoutSection() const;
    kernel::SmartPtr<kernel::Value> digitSection(const char* name, const Grid& grid) const;
    kernel::SmartPtr<kernel::Value> cellSection(const char* name, const char* type, const char* key,
                                                const Grid& grid) const;

    static bool inGrid(std::int32_t row, std::int32_t column);
    static std::int32_t cellValue(const Grid& grid, std::int32_t row, std::int32_t column);

    std::array<std::array<char, maxColumns>, maxRows> letters{};
    Grid colours{};
    Grid genders{};
    Grid styles{};
    Grid collectables{};
    Grid nameIndices{};
    kernel::SmartPtr<kernel::ValueDocument> root;
    kernel::DocumentRead read;
    std::string stray;
};

} // namespace game
