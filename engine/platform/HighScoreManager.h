#pragma once

#include "engine/kernel/NodeValue.h"
#include "engine/kernel/Object.h"
#include "engine/kernel/SmartPtr.h"
#include "engine/platform/PlayerFileStates.h"
#include "engine/platform/ScoreTable.h"

#include <map>
#include <string>

namespace platform {

// The named score tables, kept together in "players/scores.xml". Main thread only.
class HighScoreManager : public kernel::Object {
public:
    static HighScoreManager* create();
    // Null before create.
    static HighScoreManager* instance();
    static void destroy();

    // Adds the file's tables, a later table replacing an earlier one of the same name. A missing file
    // leaves the tables as they are; the caller makes the tables that it still lacks. A damaged file gives
    // what could be read of it, and is kept beside the file that the next save writes; one that is there but
    // unusable (a folder, a pipe, no permission) adds nothing and is never written by this manager.
    void load();
    // True when the whole file was written.
    [[nodiscard]] bool save();

    bool hasTable(const std::string& name) const { return tables.contains(name); }
    // Replaces any table stored under the name; a null table is ignored.
    void addTable(const std::string& name, kernel::SmartPtr<ScoreTable> table);
    // Null for a name with no table.
    ScoreTable* getTable(const std::string& name) const;

    static constexpr kernel::ClassInfo classInfo{&kernel::Object::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    HighScoreManager() = default;

    void readTables(const kernel::VectorValue& list);

    // Ordered by name, so the file comes out the same for the same tables.
    std::map<std::string, kernel::SmartPtr<ScoreTable>> tables;
    // The file as this manager read it.
    PlayerFileStates files;
};

} // namespace platform
