#include "engine/platform/ScoreTable.h"

#include "engine/kernel/ObjectFactory.h"
#include "engine/kernel/ScalarValue.h"
#include "engine/kernel/VectorValue.h"

#include <utility>

namespace platform {
namespace {

constexpr const char* descendingKey = "descending";
constexpr const char* maxEntriesKey = "maxentries";
constexpr const char* lastScoreKey = "lastscore";
constexpr const char* entriesKey = "entries";

} // namespace

ScoreTable::ScoreTable(int maxEntries, bool descending) : descending(descending), maxEntries(maxEntries) {}

ScoreTable::ScoreTable(kernel::NodeValue& settings) {
    if (settings.hasChild(descendingKey)) {
        descending = settings.getValue(descendingKey).asBool();
    }
    if (settings.hasChild(lastScoreKey)) {
        lastScore = settings.getValue(lastScoreKey).asInt();
    }
    maxEntries = settings.getValue(maxEntriesKey).asInt();
    readEntries(settings.getVector(entriesKey));
    // The game marks the row at this place: a damaged file must not point it past the table.
    if (lastScore < -1 || lastScore >= getEntryCount()) {
        lastScore = -1;
    }
}

int ScoreTable::addScore(kernel::SmartPtr<HighScoreEntry> entry) {
    if (!entry) {
        return -1;
    }
    const std::size_t place = placeOf(*entry);
    lastScore = place < entries.size() ? insertAt(place, std::move(entry)) : append(std::move(entry));
    return lastScore;
}

HighScoreEntry* ScoreTable::getEntry(int index) const {
    if (index < 0 || index >= getEntryCount()) {
        return nullptr;
    }
    return entries[static_cast<std::size_t>(index)].get();
}

void ScoreTable::save(kernel::NodeValue& node) const {
    node.addBoolean(descendingKey, descending, kernel::Typing::Typed);
    node.setChild(new kernel::ScalarValue(maxEntriesKey, maxEntries, kernel::Typing::Untyped));
    node.setChild(new kernel::ScalarValue(lastScoreKey, lastScore, kernel::Typing::Untyped));
    const kernel::SmartPtr<kernel::VectorValue> list(new kernel::VectorValue(entriesKey));
    for (const kernel::SmartPtr<HighScoreEntry>& entry : entries) {
        const kernel::SmartPtr<kernel::NodeValue> saved(new kernel::NodeValue("", entry->getClassName()));
        entry->save(*saved);
        list->append(saved);
    }
    node.setChild(list);
}

// Strictly better: a tie never moves a listed entry down.
bool ScoreTable::beats(const HighScoreEntry& entry, const HighScoreEntry& listed) const {
    return descending ? !entry.isLowerOrEqual(listed) : !listed.isLowerOrEqual(entry);
}

// The place before the first listed entry that the entry beats; the count when it beats none.
std::size_t ScoreTable::placeOf(const HighScoreEntry& entry) const {
    std::size_t place = 0;
    while (place < entries.size() && !beats(entry, *entries[place])) {
        ++place;
    }
    return place;
}

int ScoreTable::insertAt(std::size_t place, kernel::SmartPtr<HighScoreEntry> entry) {
    entries.insert(entries.begin() + static_cast<std::ptrdiff_t>(place), std::move(entry));
    if (getEntryCount() > maxEntries) {
        entries.pop_back();
    }
    return static_cast<int>(place);
}

int ScoreTable::append(kernel::SmartPtr<HighScoreEntry> entry) {
    if (getEntryCount() >= maxEntries) {
        return -1;
    }
    entries.push_back(std::move(entry));
    return getEntryCount() - 1;
}

// Elements of no known entry class (an unregistered type, a damaged file) are left out.
void ScoreTable::readEntries(const kernel::VectorValue& list) {
    for (const kernel::SmartPtr<kernel::Value>& element : list.children()) {
        const kernel::SmartPtr<kernel::Object> made(
            kernel::ObjectFactory::instance()->createObject(element->asNode()));
        if (made && made->isKindOf(HighScoreEntry::classInfo)) {
            entries.emplace_back(static_cast<HighScoreEntry*>(made.get()));
        }
    }
}

} // namespace platform
