// The level catalogue (media/properties/levels.xml) and the levels it and the modes open: those written by
// hand (media/levels) and those the build makes from media/levelrules.xml into the runnable tree.
#include "ContentCheck.h"

#include "game/foundation/LevelCatalogue.h"
#include "game/foundation/LevelFile.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <functional>
#include <sstream>
#include <string_view>

namespace content {
namespace {

using kernel::NodeValue;
using kernel::SmartPtr;
using kernel::Value;

inline constexpr const char* catalogueFile = game::LevelCatalogue::catalogueFile;
inline constexpr int chapters = 10;
inline constexpr int levelsPerChapter = 7;
inline constexpr std::string_view layoutLetters = ".qxXlLpPsScC";
inline constexpr const char* backgroundNames[] = {"image",           "offset_y",        "offset_x_field",
                                                  "offset_x_queue1", "offset_x_queue2", "field_width",
                                                  "field_height"};

bool isNumber(const std::string& text) {
    std::size_t at = !text.empty() && text[0] == '-' ? 1 : 0;
    if (at >= text.size()) {
        return false;
    }
    for (; at < text.size(); ++at) {
        if (!std::isdigit(static_cast<unsigned char>(text[at]))) {
            return false;
        }
    }
    return true;
}

std::string levelPath(const std::string& file) {
    return std::string(game::LevelCatalogue::levelFolder) + file;
}

// Where the game finds a level: written by hand in the source tree, or else made by the build from the
// level rules (tools/mklevels) into the runnable tree.
std::string levelFilePath(const std::string& file) {
    const std::string authored = sourcePath(levelPath(file));
    return std::filesystem::is_regular_file(authored) ? authored : runPath(levelPath(file));
}

// A pale pane of a background picture ("clearing" of its manifest entry).
struct Pane {
    int x = 0;
    int y = 0;
    int w = 0;
    int h = 0;

    bool holds(int left, int top, int right, int bottom) const {
        return left >= x && right <= x + w && top >= y && bottom <= y + h;
    }
};

std::vector<Pane> panesOf(const ManifestEntry& entry) {
    std::vector<Pane> panes;
    std::istringstream areas(entry.get("clearing"));
    for (std::string area; std::getline(areas, area, ';');) {
        std::istringstream numbers(area);
        Pane pane;
        if (numbers >> pane.x >> pane.y >> pane.w >> pane.h) {
            panes.push_back(pane);
        }
    }
    return panes;
}

// A background made with panes was made for one size of field: every cell, queue cells too, must stand on
// a pane (a cell reaches half a cell to each side of its column and a cell up from its row's line).
void checkPanes(const game::LevelFile& level, const DeclaredResource& picture, const Manifest& manifest,
                const std::function<void(const std::string&)>& problem) {
    const ManifestEntry* maker = manifest.maker(picture.file);
    const std::vector<Pane> panes = maker != nullptr ? panesOf(*maker) : std::vector<Pane>();
    if (panes.empty()) {
        return;
    }
    const int width = level.cellWidth();
    const int height = level.cellHeight();
    for (int column = 0; column <= level.columnCount(); ++column) {
        const int x = column == 0 ? level.offsetXQueue1() : level.offsetXField() + (column - 1) * width;
        for (int row = 1; row <= level.rowCount(); ++row) {
            const int line = level.offsetY() + (row - 1) * height;
            const bool onPane = std::any_of(panes.begin(), panes.end(), [&](const Pane& pane) {
                return pane.holds(x - width / 2, line - height, x + width / 2, line);
            });
            if (!onPane) {
                problem("column " + std::to_string(column) + ", row " + std::to_string(row) +
                        " stands off the panes of " + picture.file);
                return;
            }
        }
    }
}

struct VibRow {
    int chapter;
    int level;
    std::string file;
};

std::vector<VibRow> vibRows(const kernel::ValueDocument& catalogue) {
    std::vector<VibRow> rows;
    for (const SmartPtr<Value>& row : catalogue.getVector("levels").children()) {
        const NodeValue& node = row->asNode();
        rows.push_back(
            {node.getValue("chapterNr").asInt(), node.getValue("levelNr").asInt(), key(node, "levelFile")});
    }
    return rows;
}

TEST(Levels, TheCatalogueHasOneRowForEveryVibLevel) {
    const SmartPtr<kernel::ValueDocument> catalogue = loadDocument(catalogueFile);
    std::set<std::pair<int, int>> seen;
    std::vector<std::string> found;
    for (const VibRow& row : vibRows(*catalogue)) {
        const std::string where =
            "chapter " + std::to_string(row.chapter) + " level " + std::to_string(row.level);
        if (row.chapter < 1 || row.chapter > chapters || row.level < 1 || row.level > levelsPerChapter) {
            found.push_back(where + ": no such VIB level");
        } else if (!seen.insert({row.chapter, row.level}).second) {
            found.push_back(where + ": a second row (only the first counts)");
        }
        if (row.file.size() < 5 || row.file.substr(row.file.size() - 4) != ".xml" ||
            row.file.find_first_of("/\\") != std::string::npos) {
            found.push_back(where + ": \"" + row.file + "\" is no file name of " + levelPath(""));
        }
    }
    EXPECT_EQ(seen.size(), static_cast<std::size_t>(chapters * levelsPerChapter));
    EXPECT_TRUE(found.empty()) << joined(found);
}

// Every level number 1 to 20 once in each table (the modes never test the lookup), every key a number.
TEST(Levels, EachTuningTableHoldsLevelsOneToTwenty) {
    const SmartPtr<kernel::ValueDocument> catalogue = loadDocument(catalogueFile);
    const std::vector<const char*> actionKeys = {"stubbornTimer", "penaltyTimer", "numPibbles",
                                                 "numColors",     "chanceMinus",  "chanceMultiplier"};
    const std::vector<const char*> relaxKeys = {"chanceValueStart", "numPibbles",   "numColors",
                                                "chanceDelta3",     "chanceDelta4", "chanceDelta5",
                                                "chanceDelta6"};
    const std::pair<const char*, const std::vector<const char*>*> tables[] = {
        {"actionmodenormal", &actionKeys},
        {"actionmodehard", &actionKeys},
        {"relaxmodenormal", &relaxKeys},
        {"relaxmodehard", &relaxKeys}};
    std::vector<std::string> found;
    for (const auto& [table, keys] : tables) {
        std::set<int> levels;
        for (const SmartPtr<Value>& row : catalogue->getVector(table).children()) {
            const NodeValue& node = row->asNode();
            const int level = node.getValue("levelNr").asInt();
            const std::string where = std::string(table) + " level " + key(node, "levelNr");
            if (!levels.insert(level).second) {
                found.push_back(where + ": given twice");
            }
            for (const char* name : *keys) {
                if (!isNumber(key(node, name))) {
                    found.push_back(where + ": " + name + " is no number");
                }
            }
            const int colours = node.getValue("numColors").asInt();
            if (colours < 2 || colours > 7 || node.getValue("numPibbles").asInt() < 1) {
                found.push_back(where + ": colours outside 2..7 or no goal");
            }
            if (keys == &actionKeys &&
                (node.getValue("stubbornTimer").asInt() < 1 || node.getValue("penaltyTimer").asInt() < 1)) {
                found.push_back(where + ": a timer that has run out at its start");
            }
        }
        std::set<int> wanted;
        for (int level = 1; level <= game::LevelCatalogue::lastTunedLevel; ++level) {
            wanted.insert(level);
        }
        EXPECT_EQ(levels, wanted) << table;
    }
    EXPECT_TRUE(found.empty()) << joined(found);
}

// One level file as the game reads it: the properties its loader adjusts, a layout within the grid, the
// background geometry with a declared picture, and every cell on the screen.
void checkLevel(const std::string& file, bool vib, const Resources& resources, const Manifest& manifest,
                std::vector<std::string>& found) {
    const std::string where = levelPath(file);
    const std::string path = levelFilePath(file);
    const auto problem = [&](const std::string& text) { found.push_back(where + ": " + text); };
    if (!std::filesystem::is_regular_file(path)) {
        problem("neither written by hand nor made by the build (" + runPath(where) + ")");
        return;
    }
    SmartPtr<kernel::ValueDocument> document = new kernel::ValueDocument(path);
    document->load();

    Value* properties = document->findChild("properties");
    if (properties == nullptr || !properties->isNode()) {
        problem("no \"properties\" Node");
    }
    const NodeValue& values = document->getNode("properties");
    for (const char* name : {"numcolors", "nummoves", "time"}) {
        if (!isNumber(key(values, name))) {
            problem(std::string("\"") + name + "\" is missing or no number");
        }
    }
    const int colours = values.getValue("numcolors").asInt();
    if (colours < 1 || colours > 7 || values.getValue("nummoves").asInt() < (vib ? 1 : 0) ||
        values.getValue("time").asInt() < (vib ? 1 : 0)) {
        problem("colours outside 1..7, or no move or time to play");
    }

    Value* layout = document->findChild("layout");
    const kernel::VectorValue& rows = document->getVector("layout");
    const std::string first = key(rows.nodeAt(0), "data");
    if (layout == nullptr || !layout->isVector() || rows.childCount() < 1 || rows.childCount() > 9) {
        problem("the layout is no list of 1 to 9 rows");
    }
    if (first.size() < 3 || first.size() > 12) {
        problem("the first row is not 3 to 12 letters long");
    }
    for (int i = 0; i < rows.childCount(); ++i) {
        const std::string data = key(rows.nodeAt(i), "data");
        if (data.size() != first.size() || data.find_first_not_of(layoutLetters) != std::string::npos ||
            data[0] != 'q') {
            problem("layout row " + std::to_string(i + 1) + " \"" + data +
                    "\": another length, a letter outside the alphabet or no queue pibble");
        }
    }
    for (const char* section : {"colors", "genders", "styles"}) {
        const kernel::VectorValue& digits = document->getVector(section);
        if (document->hasChild(section) && digits.childCount() != rows.childCount()) {
            problem(std::string(section) + ": another row count than the layout");
        }
        for (int i = 0; i < digits.childCount(); ++i) {
            const std::string data = key(digits.nodeAt(i), "data");
            if (data.size() < first.size() || data.find_first_not_of("0123456789") != std::string::npos) {
                problem(std::string(section) + " row " + std::to_string(i + 1) + ": short or not digits");
            }
        }
    }

    const game::LevelFile level(path);
    for (const char* name : backgroundNames) {
        const std::string value = level.backgroundValue(name);
        if (value == "ERROR" || (std::string_view(name) != "image" && !isNumber(value))) {
            problem(std::string("background \"") + name + "\" is missing or no number");
        }
    }
    const DeclaredResource* picture =
        resources.find(game::ids::groupBackgrounds, level.backgroundValue("image"));
    if (picture == nullptr || picture->type != "Image") {
        problem("background \"" + level.backgroundValue("image") + "\" is no Image of \"" +
                game::ids::groupBackgrounds + "\"");
    } else {
        checkPanes(level, *picture, manifest, problem);
    }
    // The field's own placement of the cells: a pibble stands on its row's line, centred on its column.
    const int width = level.cellWidth();
    const int height = level.cellHeight();
    if (width < 1 || height < 1) {
        problem("cells without a size");
    }
    for (int column = 0; column <= level.columnCount(); ++column) {
        const int x = column == 0 ? level.offsetXQueue1() : level.offsetXField() + (column - 1) * width;
        if (x - width / 2 < 0 || x + width / 2 > 640) {
            problem("column " + std::to_string(column) + " leaves the screen");
        }
    }
    const int lastLine = level.offsetY() + (level.rowCount() - 1) * height;
    if (level.offsetY() - height < 0 || lastLine > 480) {
        problem("rows leave the screen");
    }

    for (int i = 0; i < level.elementCount(); ++i) {
        const NodeValue& element = document->getVector("elements").nodeAt(i);
        const DeclaredResource* image = resources.find(game::ids::groupElements, key(element, "image"));
        if (image == nullptr || image->type != "Image" ||
            (key(element, "type") != "grid" && key(element, "type") != "fixed")) {
            problem("element " + std::to_string(i) + ": no Image of \"" + game::ids::groupElements +
                    "\" or a type other than grid and fixed");
        }
    }
}

// Every level the catalogue names is there once the build has run: written by hand or made from the rules.
TEST(Levels, EveryLevelTheGameOpensIsWellFormed) {
    const SmartPtr<kernel::ValueDocument> catalogue = loadDocument(catalogueFile);
    const Resources resources;
    const Manifest manifest;
    std::vector<std::string> found;
    std::set<std::string> opened;
    for (const char* file : {"level_action.xml", "level_relax.xml"}) {
        opened.insert(file);
        checkLevel(file, false, resources, manifest, found);
    }
    for (const VibRow& row : vibRows(*catalogue)) {
        opened.insert(row.file);
        checkLevel(row.file, true, resources, manifest, found);
    }
    for (const auto& entry : std::filesystem::directory_iterator(sourcePath(levelPath("")))) {
        if (!opened.contains(entry.path().filename().string())) {
            found.push_back(levelPath(entry.path().filename().string()) + ": a file no row or mode opens");
        }
    }
    EXPECT_TRUE(found.empty()) << joined(found);
}

} // namespace
} // namespace content
