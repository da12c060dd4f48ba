#include "engine/platform/HighScoreEntry.h"

#include "engine/kernel/ObjectFactory.h"
#include "engine/kernel/ScalarValue.h"
#include "engine/kernel/TextConversion.h"

#include <utility>

namespace platform {
namespace {

constexpr const char* className = "HighScoreEntry";
constexpr const char* scoreKey = "scorevalue";
constexpr const char* nameKey = "playername";

const kernel::ClassRegistrar registerEntry(className, HighScoreEntry::createFromSettings);

} // namespace

HighScoreEntry::HighScoreEntry(const kernel::NodeValue& settings)
    : playerName(kernel::narrowString(settings.getValue(nameKey).text())),
      score(settings.getValue(scoreKey).asInt()) {}

HighScoreEntry::HighScoreEntry(std::string playerName, int score)
    : playerName(std::move(playerName)), score(score) {}

kernel::Object* HighScoreEntry::createFromSettings(kernel::Value& settings) {
    return new HighScoreEntry(settings.asNode());
}

void HighScoreEntry::save(kernel::NodeValue& node) const {
    node.setChild(new kernel::ScalarValue(scoreKey, score, kernel::Typing::Untyped));
    node.setChild(new kernel::ScalarValue(nameKey, playerName, kernel::Typing::Untyped));
}

bool HighScoreEntry::isLowerOrEqual(const HighScoreEntry& other) const {
    return score <= other.score;
}

std::string HighScoreEntry::getClassName() const {
    return className;
}

} // namespace platform
