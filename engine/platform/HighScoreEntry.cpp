#include "engine/platform/HighScoreEntry.h"

#include "engine/kernel/ObjectFactory.h"
#include "engine/kernel/ScalarValue.h"
#include "engine/kernel/TextConversion.h"

#include <utility>

namespace platform {
namespace {

constexpr const char* kClassName = "HighScoreEntry";
constexpr const char* kScoreKey = "scorevalue";
constexpr const char* kNameKey = "playername";

const kernel::ClassRegistrar registerEntry(kClassName, HighScoreEntry::createFromSettings);

} // namespace

HighScoreEntry::HighScoreEntry(const kernel::NodeValue& settings)
    : playerName(kernel::narrowString(settings.getValue(kNameKey).text())),
      score(settings.getValue(kScoreKey).asInt()) {}

HighScoreEntry::HighScoreEntry(std::string playerName, int score)
    : playerName(std::move(playerName)), score(score) {}

kernel::Object* HighScoreEntry::createFromSettings(kernel::Value& settings) {
    return new HighScoreEntry(settings.asNode());
}

void HighScoreEntry::save(kernel::NodeValue& node) const {
    node.setChild(new kernel::ScalarValue(kScoreKey, score, kernel::Typing::Untyped));
    node.setChild(new kernel::ScalarValue(kNameKey, playerName, kernel::Typing::Untyped));
}

bool HighScoreEntry::isLowerOrEqual(const HighScoreEntry& other) const {
    return score <= other.score;
}

std::string HighScoreEntry::getClassName() const {
    return kClassName;
}

} // namespace platform
