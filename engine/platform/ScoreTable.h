#pragma once

#include "engine/kernel/NodeValue.h"
#include "engine/kernel/Object.h"
#include "engine/kernel/SmartPtr.h"
#include "engine/platform/HighScoreEntry.h"

#include <cstddef>
#include <vector>

namespace platform {

// An ordered, bounded list of entries, best first, with the place of the last score added.
class ScoreTable : public kernel::Object {
public:
    // Empty; no score placed yet.
    ScoreTable(int maxEntries, bool descending);
    // "descending" (true when missing), "maxentries" (0 when missing), "lastscore" (-1 when missing) and
    // the "entries", each made by its type; entries of no known entry class are left out.
    explicit ScoreTable(kernel::NodeValue& settings);

    // Places the entry before the first one it strictly beats, so equal scores go after the listed ones;
    // a table then over its bound loses its last entry. An entry that beats nobody is appended only while
    // the table has room. Returns the new place, also kept as the last score, or -1 when the entry was not
    // kept.
    int addScore(kernel::SmartPtr<HighScoreEntry> entry);

    int getEntryCount() const { return static_cast<int>(entries.size()); }
    // Null outside 0..count-1.
    HighScoreEntry* getEntry(int index) const;
    void clear() { entries.clear(); }

    bool isDescending() const { return descending; }
    int getMaxEntries() const { return maxEntries; }
    int getLastScore() const { return lastScore; }

    // "descending", "maxentries", "lastscore" and the "entries", each saved by the entry itself.
    void save(kernel::NodeValue& node) const;

    static constexpr kernel::ClassInfo classInfo{&kernel::Object::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    bool beats(const HighScoreEntry& entry, const HighScoreEntry& listed) const;
    std::size_t placeOf(const HighScoreEntry& entry) const;
    int insertAt(std::size_t place, kernel::SmartPtr<HighScoreEntry> entry);
    int append(kernel::SmartPtr<HighScoreEntry> entry);
    void readEntries(const kernel::VectorValue& list);

    std::vector<kernel::SmartPtr<HighScoreEntry>> entries;
    bool descending = true;
    int lastScore = -1;
    int maxEntries = 0;
};

} // namespace platform
