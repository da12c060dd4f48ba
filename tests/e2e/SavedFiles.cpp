#include "SavedFiles.h"

#include "engine/kernel/ScalarValue.h"
#include "engine/kernel/ValueDocument.h"
#include "engine/kernel/VectorValue.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>

namespace e2e {

namespace fs = std::filesystem;

namespace {

// The grid sections of the level format: rows of letters or digits, then lists of cells.
constexpr const char* rowSections[] = {"layout", "colors", "genders", "styles"};
constexpr const char* listSections[] = {"collectables", "nameindices"};

kernel::SmartPtr<kernel::ValueDocument> readWritten(const fs::path& file, const std::string& what) {
    if (!fs::exists(file)) {
        fail("the game did not write " + what + " " + file.string());
    }
    kernel::SmartPtr<kernel::ValueDocument> document(new kernel::ValueDocument(file.string()));
    document->load();
    return document;
}

// A node's scalars as "key=value" in key order, whatever order the file lists them in.
std::string scalarsOf(const kernel::NodeValue& node) {
    std::vector<std::string> pairs;
    for (const auto& [name, value] : node.namedChildren()) {
        if (value->isScalar()) {
            pairs.push_back(name + "=" + value->asScalar().asString());
        }
    }
    std::sort(pairs.begin(), pairs.end());
    std::string text;
    for (const std::string& pair : pairs) {
        text += (text.empty() ? "" : " ") + pair;
    }
    return text;
}

std::map<std::string, std::string> scalarMap(const kernel::NodeValue& node) {
    std::map<std::string, std::string> values;
    for (const auto& [name, value] : node.namedChildren()) {
        if (value->isScalar()) {
            values[name] = value->asScalar().asString();
        }
    }
    return values;
}

int numberOf(const std::map<std::string, std::string>& values, const std::string& key) {
    const auto found = values.find(key);
    return found == values.end() ? 0 : std::atoi(found->second.c_str());
}

} // namespace

int LevelGrid::rows() const {
    const auto layout = grids.find("layout");
    return layout == grids.end() ? 0 : static_cast<int>(layout->second.size());
}

int LevelGrid::columns() const {
    const auto layout = grids.find("layout");
    return layout == grids.end() || layout->second.empty()
               ? 0
               : static_cast<int>(layout->second.front().size()) - 2;
}

int LevelGrid::property(const std::string& key) const {
    return numberOf(properties, key);
}

LevelGrid readLevel(const fs::path& file) {
    const auto document = readWritten(file, "the level or saved game");
    LevelGrid level;
    if (document->hasChild("properties")) {
        level.properties = scalarMap(document->getNode("properties"));
    }
    if (document->hasChild("background")) {
        const kernel::VectorValue& background = document->getVector("background");
        for (std::int32_t i = 0; i < background.childCount(); ++i) {
            const kernel::NodeValue& entry = background.nodeAt(i);
            level.background[entry.getValue("name").asString()] = entry.getValue("value").asString();
        }
    }
    for (const char* section : rowSections) {
        if (document->hasChild(section)) {
            const kernel::VectorValue& rows = document->getVector(section);
            for (std::int32_t i = 0; i < rows.childCount(); ++i) {
                level.grids[section].push_back(rows.nodeAt(i).getValue("data").asString());
            }
        }
    }
    for (const char* section : listSections) {
        if (document->hasChild(section)) {
            const kernel::VectorValue& entries = document->getVector(section);
            for (std::int32_t i = 0; i < entries.childCount(); ++i) {
                level.grids[section].push_back(scalarsOf(entries.nodeAt(i)));
            }
        }
    }
    if (level.rows() == 0 || level.columns() <= 0) {
        fail(file.string() + " holds no layout");
    }
    return level;
}

std::string gridDifference(const LevelGrid& expected, const LevelGrid& found) {
    for (const auto& [section, rows] : expected.grids) {
        const auto other = found.grids.find(section);
        if (other == found.grids.end()) {
            return "\"" + section + "\" is missing";
        }
        if (other->second.size() != rows.size()) {
            return "\"" + section + "\" has " + std::to_string(other->second.size()) + " entries, not " +
                   std::to_string(rows.size());
        }
        for (std::size_t i = 0; i < rows.size(); ++i) {
            if (rows[i] != other->second[i]) {
                return "\"" + section + "\" entry " + std::to_string(i + 1) + " is \"" + other->second[i] +
                       "\", not \"" + rows[i] + "\"";
            }
        }
    }
    for (const auto& [section, rows] : found.grids) {
        if (!expected.grids.contains(section)) {
            return "\"" + section + "\" was not expected";
        }
    }
    return {};
}

// A pibble's feet stand on its cell's line (the cell's y); its body is half a cell above them.
std::vector<Point> plainPibblePoints(const LevelGrid& level) {
    const int cellWidth = numberOf(level.background, "field_width") / level.columns();
    const int cellHeight = numberOf(level.background, "field_height") / level.rows();
    const int fieldX = numberOf(level.background, "offset_x_field");
    const int fieldY = numberOf(level.background, "offset_y");
    std::vector<Point> points;
    const std::vector<std::string>& layout = level.grids.at("layout");
    for (int row = 0; row < level.rows(); ++row) {
        for (int column = 1; column <= level.columns(); ++column) {
            if (layout[row].at(column) == 'x') {
                points.push_back(
                    {fieldX + (column - 1) * cellWidth, fieldY + row * cellHeight - cellHeight / 2});
            }
        }
    }
    return points;
}

std::map<std::string, std::string> readProfile(const fs::path& file) {
    const auto document = readWritten(file, "the player's profile");
    if (!document->hasChild("player")) {
        fail(file.string() + " holds no profile");
    }
    return scalarMap(document->getNode("player"));
}

void writeProfile(const fs::path& players, const std::string& name, int continuedMode) {
    fs::create_directories(players);
    std::ofstream(players / "players.plrs") << "<root>\n"
                                               "    <Players id=\"players\" currentplayer=\""
                                            << name
                                            << "\">\n"
                                               "        <Vector id=\"playernames\">\n"
                                               "            <PibblePlayer name=\""
                                            << name
                                            << "\" />\n"
                                               "        </Vector>\n"
                                               "    </Players>\n"
                                               "</root>\n";
    std::ofstream(players / (name + ".plr")) << "<root>\n"
                                                "    <Player id=\"player\" gamemodeSaveFlag=\""
                                             << continuedMode
                                             << "\" />\n"
                                                "</root>\n";
    if (!fs::exists(players / (name + ".plr"))) {
        fail("cannot write a profile into " + players.string());
    }
}

std::vector<PlayingSession> readPlayingSessions(const fs::path& file) {
    const auto document = readWritten(file, "the session record");
    std::vector<PlayingSession> sessions;
    const kernel::VectorValue& list = document->getNode("DataGathering").getVector("PlayingSessions");
    for (std::int32_t i = 0; i < list.childCount(); ++i) {
        const kernel::NodeValue& node = list.nodeAt(i);
        sessions.push_back({node.getValue("StartTime").asInt(), node.getValue("EndTime").asInt(),
                            node.getValue("NumOfPlayers").asInt(), node.getValue("FullScreen").asBool(),
                            node.getValue("BitDepth").asInt()});
    }
    return sessions;
}

} // namespace e2e
