#include "engine/platform/HighScoreManager.h"

#include "engine/kernel/SingleInstance.h"
#include "engine/kernel/VectorValue.h"
#include "engine/platform/PlayerFiles.h"

#include <utility>

namespace platform {
namespace {

constexpr const char* tablesNode = "highscoretables";
constexpr const char* tablesKey = "scoretables";

HighScoreManager* theManager = nullptr;

std::string scoresPath() {
    return std::string(playerFilesFolder) + "/scores.xml";
}

} // namespace

HighScoreManager* HighScoreManager::create() {
    return kernel::createSingleInstance(theManager, [] { return new HighScoreManager(); });
}

HighScoreManager* HighScoreManager::instance() {
    return theManager;
}

void HighScoreManager::destroy() {
    kernel::destroySingleInstance(theManager);
}

void HighScoreManager::load() {
    const kernel::SmartPtr<kernel::ValueDocument> document = files.load(scoresPath());
    if (document) {
        readTables(document->getNode(tablesNode).getVector(tablesKey));
    }
}

bool HighScoreManager::save() {
    if (files.isLeftAlone(scoresPath())) {
        return false;
    }
    const kernel::SmartPtr<kernel::NodeValue> node(new kernel::NodeValue(tablesNode, "HighScoreTables"));
    const kernel::SmartPtr<kernel::VectorValue> list(new kernel::VectorValue(tablesKey));
    for (const auto& [name, table] : tables) {
        const kernel::SmartPtr<kernel::NodeValue> saved(new kernel::NodeValue(name, "ScoreTable"));
        table->save(*saved);
        list->append(saved);
    }
    node->setChild(list);
    // The scores it lost may still be found in it.
    files.keepIfNotReadWhole(scoresPath());
    return savePlayerFile(scoresPath(), node);
}

void HighScoreManager::addTable(const std::string& name, kernel::SmartPtr<ScoreTable> table) {
    if (table) {
        tables[name] = std::move(table);
    }
}

ScoreTable* HighScoreManager::getTable(const std::string& name) const {
    const auto found = tables.find(name);
    return found == tables.end() ? nullptr : found->second.get();
}

// Only Nodes are tables: anything else in a damaged file is left out.
void HighScoreManager::readTables(const kernel::VectorValue& list) {
    for (const kernel::SmartPtr<kernel::Value>& element : list.children()) {
        if (element->isNode()) {
            addTable(element->name(), new ScoreTable(element->asNode()));
        }
    }
}

} // namespace platform
