// Feeds arbitrary bytes to the level reader and the level catalogue, as a damaged or hostile level, saved
// game or catalogue would be: every cell and value is read, the grids are stored and written into a save,
// the save is read back, and the catalogue loads its levels with both difficulties and looks up its tuning.
// An input holds the level file and the catalogue one after another, cut by the marker line of FuzzFolder.h.

#include "engine/kernel/ScalarValue.h"
#include "engine/kernel/SmartPtr.h"
#include "engine/kernel/ValueDocument.h"
#include "game/foundation/LevelCatalogue.h"
#include "game/foundation/LevelFile.h"

#include "FuzzFolder.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>

namespace {

using game::LevelFile;

// Each value is widened before it is added: a level may hold any int, so int sums would overflow here.
template <class... Values> void add(std::int64_t& sum, Values... values) {
    ((sum += static_cast<std::int64_t>(values)), ...);
}

// Everything a field reads of a level; the sum only keeps the reads from being optimised away.
std::int64_t readAll(const LevelFile& level) {
    std::int64_t sum = 0;
    add(sum, level.numColors(), level.numMoves(), level.time(), level.timeLeft(), level.score(),
        level.rowCount(), level.columnCount(), level.elementCount(), level.cellWidth(), level.cellHeight(),
        level.offsetY(), level.offsetXField(), level.offsetXQueue1(), level.offsetXQueue2());
    for (int row = 0; row <= LevelFile::maxRows + 1; ++row) {
        for (int column = -1; column <= LevelFile::maxColumns; ++column) {
            add(sum, level.colourAt(row, column), level.genderAt(row, column), level.styleAt(row, column),
                level.collectableAt(row, column), level.nameIndexAt(row, column),
                level.isVibCell(row, column), level.isClownCell(row, column), level.isPartyCell(row, column),
                level.isStubbornCell(row, column), level.isChainedCell(row, column),
                level.isEmptyCell(row, column));
        }
    }
    // A stand-in for the field's cell positions, for any row and column an element names.
    const auto at = [](std::int32_t row, std::int32_t column) {
        return static_cast<std::int32_t>(
            std::clamp<std::int64_t>(std::int64_t{row} * 1000 + column, INT32_MIN, INT32_MAX));
    };
    for (int i = -1; i <= level.elementCount() && i < 64; ++i) {
        add(sum, level.element(i, at, at).x);
    }
    return sum;
}

// A save of the level as the field makes one: properties and grids stored, then written and read back. The
// grids must come back as they were stored.
void saveAndReadBack(LevelFile& level) {
    level.storeProperties([](kernel::NodeValue& properties) {
        properties.setChild(new kernel::ScalarValue("score", 7, kernel::Typing::Untyped));
    });
    for (int row = 1; row <= level.rowCount(); ++row) {
        for (int column = 0; column <= level.columnCount(); ++column) {
            LevelFile::StoredCell cell;
            cell.vib = level.isVibCell(row, column);
            cell.removed = level.isEmptyCell(row, column);
            cell.colour = level.colourAt(row, column);
            cell.collectable = level.collectableAt(row, column);
            level.storeCell(row, column, cell);
        }
    }
    const kernel::SmartPtr<kernel::ValueDocument> save(new kernel::ValueDocument());
    level.writeXml(*save);
    save->setSavePath("save.xml");
    if (save->save() != kernel::SaveResult::Saved) {
        return;
    }
    const LevelFile back("save.xml");
    if (back.rowCount() != level.rowCount() || back.columnCount() != level.columnCount()) {
        std::abort();
    }
    for (int row = 1; row <= back.rowCount(); ++row) {
        for (int column = 0; column <= back.columnCount(); ++column) {
            if (back.letterAt(row, column) != level.letterAt(row, column) ||
                back.collectableAt(row, column) != level.collectableAt(row, column)) {
                std::abort();
            }
        }
    }
    readAll(back);
}

void loadFromTheCatalogue() {
    game::LevelCatalogue* catalogue = game::LevelCatalogue::create();
    catalogue->load();
    for (const int difficulty : {0, 1, 2}) {
        readAll(*catalogue->loadVibLevel(1, 1, difficulty));
        readAll(*catalogue->loadVibLevel(2, 3, difficulty));
        game::ActionModeParams action;
        game::RelaxModeParams relax;
        for (const int level : {-1, 0, 1, 20, 35}) {
            catalogue->actionParams(level, action, difficulty);
            catalogue->relaxParams(level, relax, difficulty);
        }
    }
    readAll(*catalogue->loadModeLevel(1, 1, 5));
    game::LevelCatalogue::destroy();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzing::workInScratch();
    const auto parts = fuzzing::splitParts(data, size, 2);
    // Every level the catalogue may name: the row's file is one of these or missing.
    for (const char* name : {"media/levels/level.xml", "media/levels/level_action.xml"}) {
        fuzzing::writeFile(name, parts[0]);
    }
    fuzzing::writeFile("media/properties/levels.xml", parts[1]);
    {
        const kernel::SmartPtr<LevelFile> level(new LevelFile("media/levels/level.xml"));
        readAll(*level);
        saveAndReadBack(*level);
    }
    loadFromTheCatalogue();
    return 0;
}
