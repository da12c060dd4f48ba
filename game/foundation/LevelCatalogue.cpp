#include "game/foundation/LevelCatalogue.h"

#include "engine/kernel/NodeValue.h"
#include "engine/kernel/ScalarValue.h"
#include "engine/kernel/SingleInstance.h"
#include "engine/kernel/VectorValue.h"
#include "game/foundation/GameGlobals.h"

#include <algorithm>
#include <limits>

namespace game {
namespace {

LevelCatalogue* theCatalogue = nullptr;

// Hard mode adds a colour only below this many.
constexpr std::int32_t mostColours = 7;
// Single precision, as the levels were tuned with.
constexpr float extraTimeFactor = 1.25f;

// More time for a level: truncated toward zero, and held within the int range for a hostile file's value.
std::int32_t withExtraTime(std::int32_t time) {
    const double scaled = static_cast<double>(static_cast<float>(time) * extraTimeFactor);
    return static_cast<std::int32_t>(std::clamp(scaled, double{std::numeric_limits<std::int32_t>::min()},
                                                double{std::numeric_limits<std::int32_t>::max()}));
}

const char* tableFor(const char* normal, const char* hard, std::int32_t difficulty) {
    if (difficulty == difficultyNormal) {
        return normal;
    }
    return difficulty == difficultyHard ? hard : nullptr;
}

std::int32_t intOf(const kernel::NodeValue& row, const char* key) {
    return row.getValue(key).asInt();
}

} // namespace

LevelCatalogue* LevelCatalogue::create() {
    return kernel::createSingleInstance(theCatalogue, [] { return new LevelCatalogue(); });
}

LevelCatalogue* LevelCatalogue::instance() {
    return theCatalogue;
}

void LevelCatalogue::destroy() {
    kernel::destroySingleInstance(theCatalogue);
}

void LevelCatalogue::load() {
    catalogue = new kernel::ValueDocument();
    catalogue->addFile(catalogueFile);
    catalogue->load();
}

LevelFile* LevelCatalogue::replaceCurrent(const std::string& path) {
    current.reset();
    current = new LevelFile(path);
    return current.get();
}

LevelFile* LevelCatalogue::openLevel(const std::string& path) {
    return replaceCurrent(path);
}

// A chapter and level without a row open the bare folder, which reads as an empty level.
LevelFile* LevelCatalogue::loadVibLevel(std::int32_t chapter, std::int32_t level, std::int32_t difficulty) {
    LevelFile* file = replaceCurrent(levelFolder + levelFileFor(chapter, level));
    const kernel::NodeValue& properties = file->document().getNode("properties");
    std::int32_t colours = properties.getValue("numcolors").asInt();
    std::int32_t moves = properties.getValue("nummoves").asInt();
    std::int32_t time = properties.getValue("time").asInt();
    if (difficulty == difficultyNormal) {
        time = withExtraTime(time);
    } else if (difficulty == difficultyHard) {
        if (colours < mostColours) {
            ++colours;
            time = withExtraTime(time);
        }
        if (moves > 1) {
            --moves;
        }
    }
    file->setProperty("numcolors", colours);
    file->setProperty("nummoves", moves);
    file->setProperty("time", time);
    return file;
}

LevelFile* LevelCatalogue::loadModeLevel(std::int32_t mode, std::int32_t, std::int32_t numColors) {
    LevelFile* file = replaceCurrent(levelFolder + modeLevelFile(mode));
    file->setProperty("numcolors", numColors);
    return file;
}

const kernel::NodeValue* LevelCatalogue::tuningRow(const char* table, std::int32_t level) const {
    if (table == nullptr || !catalogue) {
        return nullptr;
    }
    const std::int32_t wanted = std::min(level, lastTunedLevel);
    for (const kernel::SmartPtr<kernel::Value>& row : catalogue->getVector(table).children()) {
        if (row->isNode() && intOf(row->asNode(), "levelNr") == wanted) {
            return &row->asNode();
        }
    }
    return nullptr;
}

bool LevelCatalogue::actionParams(std::int32_t level, ActionModeParams& out, std::int32_t difficulty) const {
    const kernel::NodeValue* row =
        tuningRow(tableFor("actionmodenormal", "actionmodehard", difficulty), level);
    if (row == nullptr) {
        return false;
    }
    out = {intOf(*row, "stubbornTimer"), intOf(*row, "penaltyTimer"), intOf(*row, "numPibbles"),
           intOf(*row, "numColors"),     intOf(*row, "chanceMinus"),  intOf(*row, "chanceMultiplier")};
    return true;
}

bool LevelCatalogue::relaxParams(std::int32_t level, RelaxModeParams& out, std::int32_t difficulty) const {
    const kernel::NodeValue* row = tuningRow(tableFor("relaxmodenormal", "relaxmodehard", difficulty), level);
    if (row == nullptr) {
        return false;
    }
    out = {intOf(*row, "chanceValueStart"), intOf(*row, "numPibbles"),   intOf(*row, "numColors"),
           intOf(*row, "chanceDelta3"),     intOf(*row, "chanceDelta4"), intOf(*row, "chanceDelta5"),
           intOf(*row, "chanceDelta6")};
    return true;
}

std::int32_t LevelCatalogue::largestGoal(std::int32_t mode) const {
    std::int32_t largest = 0;
    for (const std::int32_t difficulty : {difficultyNormal, difficultyHard}) {
        for (std::int32_t level = 1; level <= lastTunedLevel; ++level) {
            ActionModeParams action;
            RelaxModeParams relax;
            if (mode == gameModeAction && actionParams(level, action, difficulty)) {
                largest = std::max(largest, action.numPibbles);
            } else if (mode == gameModeRelax && relaxParams(level, relax, difficulty)) {
                largest = std::max(largest, relax.numPibbles);
            }
        }
    }
    return largest;
}

std::string LevelCatalogue::levelFileFor(std::int32_t chapter, std::int32_t level) const {
    if (!catalogue) {
        return {};
    }
    for (const kernel::SmartPtr<kernel::Value>& row : catalogue->getVector("levels").children()) {
        const kernel::NodeValue& node = row->asNode();
        if (row->isNode() && intOf(node, "chapterNr") == chapter && intOf(node, "levelNr") == level) {
            return node.getValue("levelFile").asString();
        }
    }
    return {};
}

std::string LevelCatalogue::modeLevelFile(std::int32_t mode) {
    if (mode == gameModeAction) {
        return "level_action.xml";
    }
    return mode == gameModeRelax ? "level_relax.xml" : std::string();
}

} // namespace game
