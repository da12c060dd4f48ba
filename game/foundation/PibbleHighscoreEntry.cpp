#include "game/foundation/PibbleHighscoreEntry.h"

#include "engine/kernel/ObjectFactory.h"
#include "engine/kernel/ScalarValue.h"
#include "engine/platform/HighScoreManager.h"
#include "engine/platform/ScoreTable.h"
#include "game/foundation/GameIds.h"

#include <utility>

namespace game {
namespace {

constexpr const char* levelKey = "levelNr";
// The level of an entry that never had one: a placeholder's.
constexpr const char* unknownLevel = "-";

kernel::Object* makeFromPlainEntry(kernel::Value& settings) {
    const platform::HighScoreEntry plain(settings.asNode());
    return new PibbleHighscoreEntry(plain.getPlayerName(), plain.getScore(), unknownLevel);
}

const kernel::ClassRegistrar registerEntry("PibbleHighscoreEntry", PibbleHighscoreEntry::createInstance);

// Runs whether the engine registered its plain entry before or after this.
const bool plainEntriesLoadAsTheGames = [] {
    kernel::ObjectFactory::instance()->replaceCreator("HighScoreEntry", makeFromPlainEntry);
    return true;
}();

} // namespace

PibbleHighscoreEntry::PibbleHighscoreEntry(std::string playerName, int score, std::string levelNr)
    : HighScoreEntry(std::move(playerName), score), levelNr(std::move(levelNr)) {}

PibbleHighscoreEntry::PibbleHighscoreEntry(const kernel::NodeValue& settings)
    : HighScoreEntry(settings), levelNr(settings.getValue(levelKey).asString()) {}

kernel::Object* PibbleHighscoreEntry::createInstance(kernel::Value& settings) {
    return new PibbleHighscoreEntry(settings.asNode());
}

void PibbleHighscoreEntry::save(kernel::NodeValue& node) const {
    HighScoreEntry::save(node);
    node.setChild(new kernel::ScalarValue(levelKey, levelNr, kernel::Typing::Untyped));
}

namespace {

constexpr int scoreTableSize = 10;
constexpr const char* placeholderName = "-";

} // namespace

void addMissingScoreTables(platform::HighScoreManager& manager) {
    for (const char* name : ids::scoreTables) {
        if (manager.hasTable(name)) {
            continue;
        }
        const kernel::SmartPtr<platform::ScoreTable> table(new platform::ScoreTable(scoreTableSize, true));
        for (int i = 0; i < scoreTableSize; ++i) {
            table->addScore(new PibbleHighscoreEntry(placeholderName, 0, unknownLevel));
        }
        manager.addTable(name, table);
    }
}

} // namespace game
