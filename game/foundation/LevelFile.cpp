#include "game/foundation/LevelFile.h"

#include "engine/graphics/ImageBase.h"
#include "engine/kernel/ResourceManager.h"
#include "engine/kernel/ScalarValue.h"
#include "engine/kernel/VectorValue.h"
#include "game/foundation/FieldCodes.h"
#include "game/foundation/GameIds.h"
#include "game/foundation/GameUtilities.h"
#include "game/foundation/PibblePlayer.h"
#include "game/foundation/SavedValues.h"

#include <algorithm>
#include <cctype>
#include <limits>
#include <string_view>

namespace game {
namespace {

constexpr const char* propertiesKey = "properties";
constexpr const char* layoutKey = "layout";
constexpr const char* coloursKey = "colors";
constexpr const char* backgroundKey = "background";
constexpr const char* elementsKey = "elements";
constexpr const char* dataKey = "data";
constexpr const char* rowKey = "row";
constexpr const char* columnKey = "col";
constexpr const char* missingBackground = "ERROR";
constexpr const char* defaultElementLayer = "backbuffer";
constexpr std::int32_t unplaced = 0x7FFFFFFF;
constexpr std::int32_t millisecondsPerSecond = 1000;
constexpr std::string_view layoutLetters = ".qxXlLpPsScC";
constexpr std::string_view vibLetters = "CLPSX";
constexpr std::int32_t highestDigit = 9;
// What the field's geometry and backdrop are made of.
constexpr const char* backgroundNeeded[] = {"image",           "offset_y",        "offset_x_field",
                                            "offset_x_queue1", "offset_x_queue2", "field_width",
                                            "field_height"};

std::int32_t clampToInt(std::int64_t value) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, std::numeric_limits<std::int32_t>::min(),
                                                              std::numeric_limits<std::int32_t>::max()));
}

std::string textOf(const kernel::NodeValue& node, const char* key) {
    return node.getValue(key).asString();
}

kernel::SmartPtr<kernel::Value> untyped(const std::string& key, std::int32_t value) {
    return new kernel::ScalarValue(key, value, kernel::Typing::Untyped);
}

char digitFor(std::int32_t value) {
    return value >= 0 && value <= highestDigit ? static_cast<char>('0' + value) : '-';
}

// A character of a grid row as the problem log shows it: a damaged file may hold any byte.
std::string shown(char character) {
    const unsigned char byte = static_cast<unsigned char>(character);
    if (std::isprint(byte)) {
        return std::string("'") + character + "'";
    }
    static constexpr char hex[] = "0123456789ABCDEF";
    return std::string("byte 0x") + hex[byte >> 4] + hex[byte & 0xF];
}

} // namespace

const std::string& LevelFile::getPath() const {
    return root->fileNames().front();
}

LevelFile::LevelFile(const std::string& path) : root(new kernel::ValueDocument()) {
    root->addFile(path);
    read = root->loadFile(path);
    for (auto& row : letters) {
        row.fill('.');
    }
    readLetters(root->getVector(layoutKey));
    // A pibble's colour is a real one, the clown's or none; its head style normal, happy or unhappy.
    readDigits(coloursKey, colours, colour::clown);
    readDigits("genders", genders, highestDigit);
    readDigits("styles", styles, headStyle::unhappy);
    readCellValues("nameindices", "nameindex", nameIndices, SavedValues::largest);
    readCellValues("collectables", "type", collectables, PibblePlayer::collectableCount);
    checkColoured();
}

std::string LevelFile::unplayableReason() const {
    if (read.result == kernel::DocumentRead::Result::Missing) {
        return "missing";
    }
    if (read.isDamaged()) {
        return "damaged: " + read.problem;
    }
    const kernel::Value* found = root->findChild(propertiesKey);
    if (found == nullptr || !found->isNode()) {
        return "no properties";
    }
    if (rowCount() == 0 || columnCount() == 0) {
        return "no field in its layout";
    }
    for (const char* name : backgroundNeeded) {
        if (backgroundValue(name) == missingBackground) {
            return std::string("no background value \"") + name + "\"";
        }
    }
    return {};
}

kernel::NodeValue& LevelFile::properties() const {
    return root->getNode(propertiesKey);
}

std::int32_t LevelFile::readProperty(const char* key) const {
    return properties().getValue(key).asInt();
}

std::int32_t LevelFile::numColors() const {
    return readProperty("numcolors");
}

std::int32_t LevelFile::numMoves() const {
    return readProperty("nummoves");
}

// A hostile file's seconds could overflow once made milliseconds.
std::int32_t LevelFile::time() const {
    return clampToInt(std::int64_t{readProperty("time")} * millisecondsPerSecond);
}

std::int32_t LevelFile::timeLeft() const {
    if (!properties().hasChild("timeleft")) {
        return time();
    }
    return clampToInt(std::int64_t{readProperty("timeleft")} * millisecondsPerSecond);
}

std::int32_t LevelFile::score() const {
    return readProperty("score");
}

// Without the Node every write would go to the engine's fallback and be lost: a saved game would forget its
// score, difficulty and mode, a hard level its adjustment.
kernel::NodeValue& LevelFile::ensureProperties() {
    kernel::Value* found = root->findChild(propertiesKey);
    if (found != nullptr && found->isNode()) {
        return found->asNode();
    }
    const kernel::SmartPtr<kernel::Value> made(new kernel::NodeValue(propertiesKey, "Node"));
    root->setChild(made);
    return made->asNode();
}

void LevelFile::setProperty(const std::string& key, std::int32_t value) {
    kernel::NodeValue& node = ensureProperties();
    kernel::Value* found = node.findChild(key);
    if (found != nullptr && found->isScalar()) {
        found->asScalar().setInt(value);
    } else {
        node.setChild(untyped(key, value));
    }
}

std::int32_t LevelFile::rowCount() const {
    return std::min(root->getVector(layoutKey).childCount(), maxRows);
}

std::int32_t LevelFile::columnCount() const {
    const std::string first = textOf(root->getVector(layoutKey).nodeAt(0), dataKey);
    return std::clamp(static_cast<std::int32_t>(std::min<std::size_t>(first.size(), maxColumns)) - 2, 0,
                      maxFieldColumns);
}

std::int32_t LevelFile::elementCount() const {
    return root->getVector(elementsKey).childCount();
}

bool LevelFile::inGrid(std::int32_t row, std::int32_t column) {
    return row >= 1 && row <= maxRows && column >= 0 && column < maxColumns;
}

// Every cell of the layout's rows and columns; a short row gives empty cells and a letter outside the
// alphabet an empty cell.
void LevelFile::readLetters(const kernel::VectorValue& rows) {
    if (rows.childCount() > maxRows) {
        noteStray("\"layout\" has " + std::to_string(rows.childCount()) + " rows, more than " +
                  std::to_string(maxRows));
    }
    const std::int32_t rowTotal = rowCount();
    const std::size_t width = static_cast<std::size_t>(columnCount()) + 2;
    for (std::int32_t i = 0; i < rowTotal; ++i) {
        const std::string data = textOf(rows.nodeAt(i), dataKey);
        checkRowLength(layoutKey, i, data.size());
        for (std::size_t j = 0; j < width && j < data.size(); ++j) {
            if (layoutLetters.find(data[j]) != std::string_view::npos) {
                letters[static_cast<std::size_t>(i)][j] = data[j];
            } else {
                noteStray("\"layout\" row " + std::to_string(i + 1) + ": " + shown(data[j]) +
                          " is no layout letter");
            }
        }
    }
}

// One decimal digit per cell; any other character, and a character the row lacks, gives 0.
void LevelFile::readDigits(const char* section, Grid& grid, std::int32_t highest) {
    const kernel::VectorValue& rows = root->getVector(section);
    const std::int32_t rowTotal = std::min(rowCount(), rows.childCount());
    const std::size_t width = static_cast<std::size_t>(columnCount()) + 2;
    for (std::int32_t i = 0; i < rowTotal; ++i) {
        const std::string data = textOf(rows.nodeAt(i), dataKey);
        checkRowLength(section, i, data.size());
        for (std::size_t j = 0; j < width && j < data.size(); ++j) {
            const unsigned char character = static_cast<unsigned char>(data[j]);
            const std::int32_t value = std::isdigit(character) ? character - '0' : 0;
            if (!std::isdigit(character) || value > highest) {
                noteStray(std::string("\"") + section + "\" row " + std::to_string(i + 1) + ": " +
                          shown(data[j]) + " is not a digit of 0.." + std::to_string(highest));
            }
            grid[static_cast<std::size_t>(i)][j] = value;
        }
    }
}

// In file order, so the last entry for a cell wins; entries naming a cell outside the grid are skipped.
void LevelFile::readCellValues(const char* section, const char* key, Grid& grid, std::int32_t highest) {
    std::int32_t index = 0;
    for (const kernel::SmartPtr<kernel::Value>& entry : root->getVector(section).children()) {
        ++index;
        SavedValues values(entry->asNode());
        const std::int32_t row = values.read(rowKey, 1, rowCount());
        const std::int32_t column = values.read(columnKey, 0, columnCount() + 1);
        const std::int32_t value = values.read(key, 0, highest);
        if (!values.problem().empty()) {
            noteStray(std::string("\"") + section + "\" entry " + std::to_string(index) + ": " +
                      values.problem());
        }
        if (inGrid(row, column)) {
            grid[static_cast<std::size_t>(row - 1)][static_cast<std::size_t>(column)] = value;
        }
    }
}

// Every row the game writes holds one character for each column of the level, the queue columns included.
void LevelFile::checkRowLength(const char* section, std::int32_t index, std::size_t length) {
    const std::size_t width = static_cast<std::size_t>(columnCount()) + 2;
    if (length != width) {
        noteStray(std::string("\"") + section + "\" row " + std::to_string(index + 1) + " has " +
                  std::to_string(length) + " characters, not " + std::to_string(width));
    }
}

// Without recolouring the pibbles take their colours from "colors", which every saved game holds: a level
// lacking both would be a field of pibbles that match nothing.
void LevelFile::checkColoured() {
    if (numMoves() <= 0 && rowCount() > 0 && root->findChild(coloursKey) == nullptr) {
        noteStray("no \"colors\", and no recolouring");
    }
}

void LevelFile::noteStray(const std::string& what) {
    if (stray.empty()) {
        stray = what;
    }
}

char LevelFile::letterAt(std::int32_t row, std::int32_t column) const {
    return inGrid(row, column) ? letters[static_cast<std::size_t>(row - 1)][static_cast<std::size_t>(column)]
                               : '.';
}

std::int32_t LevelFile::cellValue(const Grid& grid, std::int32_t row, std::int32_t column) {
    return inGrid(row, column) ? grid[static_cast<std::size_t>(row - 1)][static_cast<std::size_t>(column)]
                               : 0;
}

std::int32_t LevelFile::colourAt(std::int32_t row, std::int32_t column) const {
    return cellValue(colours, row, column);
}

std::int32_t LevelFile::genderAt(std::int32_t row, std::int32_t column) const {
    return cellValue(genders, row, column);
}

std::int32_t LevelFile::styleAt(std::int32_t row, std::int32_t column) const {
    return cellValue(styles, row, column);
}

std::int32_t LevelFile::collectableAt(std::int32_t row, std::int32_t column) const {
    return cellValue(collectables, row, column);
}

std::int32_t LevelFile::nameIndexAt(std::int32_t row, std::int32_t column) const {
    return cellValue(nameIndices, row, column);
}

bool LevelFile::isVibCell(std::int32_t row, std::int32_t column) const {
    return vibLetters.find(letterAt(row, column)) != std::string_view::npos;
}

bool LevelFile::isClownCell(std::int32_t row, std::int32_t column) const {
    return std::toupper(static_cast<unsigned char>(letterAt(row, column))) == 'L';
}

bool LevelFile::isPartyCell(std::int32_t row, std::int32_t column) const {
    return std::toupper(static_cast<unsigned char>(letterAt(row, column))) == 'P';
}

bool LevelFile::isStubbornCell(std::int32_t row, std::int32_t column) const {
    return std::toupper(static_cast<unsigned char>(letterAt(row, column))) == 'S';
}

bool LevelFile::isChainedCell(std::int32_t row, std::int32_t column) const {
    return std::toupper(static_cast<unsigned char>(letterAt(row, column))) == 'C';
}

std::string LevelFile::backgroundValue(const std::string& name) const {
    for (const kernel::SmartPtr<kernel::Value>& entry : root->getVector(backgroundKey).children()) {
        const kernel::NodeValue& node = entry->asNode();
        if (node.hasChild("name") && textOf(node, "name") == name) {
            return textOf(node, "value");
        }
    }
    return missingBackground;
}

// One level's picture at a time: those of the levels played before are let go, so a long game does not
// gather them all (the field's backdrop keeps the one it shows until it is given this one).
graphics::ImageBase* LevelFile::backgroundImage() const {
    kernel::ResourceManager* resources = kernel::ResourceManager::instance();
    if (resources == nullptr) {
        return nullptr;
    }
    const std::string name = backgroundValue("image");
    resources->unloadGroupExcept(ids::groupBackgrounds, name);
    kernel::Object* found = resources->getLoadedResource(name, ids::groupBackgrounds);
    return found != nullptr && found->isKindOf(graphics::ImageBase::classInfo)
               ? static_cast<graphics::ImageBase*>(found)
               : nullptr;
}

std::int32_t LevelFile::backgroundInt(const char* name) const {
    return StringToInt(backgroundValue(name));
}

std::int32_t LevelFile::offsetY() const {
    return backgroundInt("offset_y");
}

std::int32_t LevelFile::offsetXField() const {
    return backgroundInt("offset_x_field");
}

std::int32_t LevelFile::offsetXQueue1() const {
    return backgroundInt("offset_x_queue1");
}

std::int32_t LevelFile::offsetXQueue2() const {
    return backgroundInt("offset_x_queue2");
}

// An empty or unreadable level (a catalogue row that names no file opens the bare folder) has no cells to
// divide among.
std::int32_t LevelFile::cellWidth() const {
    const std::int32_t columns = columnCount();
    return columns < 1 ? 0 : backgroundInt("field_width") / columns;
}

std::int32_t LevelFile::cellHeight() const {
    const std::int32_t rows = rowCount();
    return rows < 1 ? 0 : backgroundInt("field_height") / rows;
}

LevelFile::Element LevelFile::element(std::int32_t index, const CellPosition& columnX,
                                      const CellPosition& rowY) const {
    const kernel::NodeValue& node = root->getVector(elementsKey).nodeAt(index);
    Element placed;
    placed.type = textOf(node, "type");
    placed.image = textOf(node, "image");
    placed.layer = node.hasChild("linkunder") ? textOf(node, "linkunder") : defaultElementLayer;
    placed.x = unplaced;
    placed.y = unplaced;
    if (placed.type == "grid") {
        const std::int32_t row = node.getValue("r").asInt();
        const std::int32_t first = node.getValue("c").asInt();
        const std::int32_t width = node.hasChild("w") ? node.getValue("w").asInt() : 1;
        const std::int32_t last = clampToInt(std::int64_t{first} + width - 1);
        // Centred over its cells, standing one pixel above the row's ground line.
        placed.x = static_cast<std::int32_t>((std::int64_t{columnX(row, first)} + columnX(row, last)) / 2);
        placed.y = clampToInt(std::int64_t{rowY(row, first)} - 1);
    } else if (placed.type == "fixed") {
        placed.x = node.getValue("x").asInt();
        placed.y = node.getValue("y").asInt();
    }
    return placed;
}

void LevelFile::storeProperties(const std::function<void(kernel::NodeValue& properties)>& saveScene) {
    const std::int32_t colourCount = numColors();
    kernel::NodeValue& node = ensureProperties();
    node.clearAll();
    node.setChild(untyped("time", 0));
    if (saveScene) {
        saveScene(node);
    }
    node.setChild(untyped("nummoves", 0));
    node.setChild(untyped("numcolors", colourCount));
}

void LevelFile::storeCell(std::int32_t row, std::int32_t column, const StoredCell& cell) {
    if (!inGrid(row, column)) {
        return;
    }
    const std::size_t i = static_cast<std::size_t>(row - 1);
    const std::size_t j = static_cast<std::size_t>(column);
    letters[i][j] = letterFor(cell, column);
    colours[i][j] = cell.colour;
    genders[i][j] = cell.gender;
    styles[i][j] = cell.style;
    collectables[i][j] = cell.collectable;
    nameIndices[i][j] = cell.nameIndex;
}

char LevelFile::letterFor(const StoredCell& cell, std::int32_t column) {
    if (cell.removed) {
        return '.';
    }
    if (column == 0) {
        return 'q';
    }
    char letter = 'x';
    if (cell.party) {
        letter = 'p';
    } else if (cell.clown) {
        letter = 'l';
    } else if (cell.chained) {
        letter = 'c';
    } else if (cell.stubborn) {
        letter = 's';
    }
    return cell.vib ? static_cast<char>(std::toupper(static_cast<unsigned char>(letter))) : letter;
}

void LevelFile::writeXml(kernel::NodeValue& target) {
    kernel::Value* layout = root->findChild(layoutKey);
    if (layout != nullptr && layout->isVector()) {
        replaceSection(layoutSection());
    }
    replaceSection(digitSection(coloursKey, colours));
    replaceSection(digitSection("genders", genders));
    replaceSection(digitSection("styles", styles));
    replaceSection(cellSection("collectables", "Collectable", "type", collectables));
    replaceSection(cellSection("nameindices", "Name", "nameindex", nameIndices));
    for (const kernel::SmartPtr<kernel::Value>& value : root->children()) {
        target.setChild(value);
    }
}

// In the place of the section of that name, so the document keeps its order; a new section goes last.
void LevelFile::replaceSection(kernel::SmartPtr<kernel::Value> section) {
    kernel::VectorValue::List order = root->children();
    const auto same =
        std::find_if(order.begin(), order.end(), [&](const kernel::SmartPtr<kernel::Value>& value) {
            return value->name() == section->name();
        });
    if (same != order.end()) {
        *same = section;
    } else {
        order.push_back(section);
    }
    root->clearList();
    for (const kernel::SmartPtr<kernel::Value>& value : order) {
        root->setChild(value);
    }
}

kernel::SmartPtr<kernel::Value> LevelFile::layoutSection() const {
    const kernel::SmartPtr<kernel::VectorValue> section(new kernel::VectorValue(layoutKey));
    const std::size_t width = static_cast<std::size_t>(columnCount()) + 2;
    for (std::int32_t i = 0; i < rowCount(); ++i) {
        const auto& row = letters[static_cast<std::size_t>(i)];
        const kernel::SmartPtr<kernel::NodeValue> node(new kernel::NodeValue("", "Row"));
        node->setChild(
            new kernel::ScalarValue(dataKey, std::string(row.data(), width), kernel::Typing::Untyped));
        section->append(node);
    }
    return section;
}

// Values outside 0..9 have no digit: '-' reads back as 0.
kernel::SmartPtr<kernel::Value> LevelFile::digitSection(const char* name, const Grid& grid) const {
    const kernel::SmartPtr<kernel::VectorValue> section(new kernel::VectorValue(name));
    const std::size_t width = static_cast<std::size_t>(columnCount()) + 2;
    for (std::int32_t i = 0; i < rowCount(); ++i) {
        std::string data;
        for (std::size_t j = 0; j < width; ++j) {
            data += digitFor(grid[static_cast<std::size_t>(i)][j]);
        }
        const kernel::SmartPtr<kernel::NodeValue> node(new kernel::NodeValue("", "Row"));
        node->setChild(new kernel::ScalarValue(dataKey, data, kernel::Typing::Untyped));
        section->append(node);
    }
    return section;
}

// Every cell of the level, also those holding 0.
kernel::SmartPtr<kernel::Value> LevelFile::cellSection(const char* name, const char* type, const char* key,
                                                       const Grid& grid) const {
    const kernel::SmartPtr<kernel::VectorValue> section(new kernel::VectorValue(name));
    const std::int32_t lastColumn = columnCount() + 1;
    for (std::int32_t row = 1; row <= rowCount(); ++row) {
        for (std::int32_t column = 0; column <= lastColumn; ++column) {
            const kernel::SmartPtr<kernel::NodeValue> node(new kernel::NodeValue("", type));
            node->setChild(untyped(rowKey, row));
            node->setChild(untyped(columnKey, column));
            node->setChild(
                untyped(key, grid[static_cast<std::size_t>(row - 1)][static_cast<std::size_t>(column)]));
            section->append(node);
        }
    }
    return section;
}

} // namespace game
