#pragma once

#include "engine/kernel/Object.h"
#include "engine/kernel/SmartPtr.h"
#include "engine/kernel/ValueDocument.h"
#include "game/foundation/LevelFile.h"

#include <cstdint>
#include <string>

namespace game {

// A row of the ACTION tuning: timers in milliseconds.
struct ActionModeParams {
    std::int32_t stubbornTimer = 0;
    std::int32_t penaltyTimer = 0;
    std::int32_t numPibbles = 0;
    std::int32_t numColors = 0;
    std::int32_t chanceMinus = 0;
    std::int32_t chanceMultiplier = 0;
};

// A row of the RELAX tuning: the stubborn chance in percent and its changes after matches of 3 to 6.
struct RelaxModeParams {
    std::int32_t chanceValueStart = 0;
    std::int32_t numPibbles = 0;
    std::int32_t numColors = 0;
    std::int32_t chanceDelta3 = 0;
    std::int32_t chanceDelta4 = 0;
    std::int32_t chanceDelta5 = 0;
    std::int32_t chanceDelta6 = 0;
};

// The level catalogue "media/properties/levels.xml" (the VIB chapters and levels, the ACTION and RELAX
// tuning) and the current level. Every load replaces the current level and releases the one before it: a
// caller that keeps a level holds its own reference.
class LevelCatalogue : public kernel::Object {
public:
    static constexpr const char* catalogueFile = "media/properties/levels.xml";
    static constexpr const char* levelFolder = "media/levels/";
    // ACTION and RELAX tuning above this level repeats its row.
    static constexpr std::int32_t lastTunedLevel = 20;

    static LevelCatalogue* create();
    // Null before create.
    static LevelCatalogue* instance();
    static void destroy();

    // Reads the catalogue; without it no lookup finds a row.
    void load();

    LevelFile* currentLevel() const { return current.get(); }
    // The path as given: a saved game's.
    LevelFile* openLevel(const std::string& path);
    // The chapter's level with its colours, moves and time adjusted to the difficulty.
    LevelFile* loadVibLevel(std::int32_t chapter, std::int32_t level, std::int32_t difficulty);
    // The one level of mode 1 (ACTION) or 2 (RELAX), with the given colour count.
    LevelFile* loadModeLevel(std::int32_t mode, std::int32_t levelNr, std::int32_t numColors);

    // The row of the level (above 20 the 20th) for difficulty 0 or 1; false, with `out` as it was, when the
    // table has none.
    bool actionParams(std::int32_t level, ActionModeParams& out, std::int32_t difficulty) const;
    bool relaxParams(std::int32_t level, RelaxModeParams& out, std::int32_t difficulty) const;
    // The largest goal of any row of mode 1 (ACTION) or 2 (RELAX), at either difficulty; 0 without rows.
    std::int32_t largestGoal(std::int32_t mode) const;

    // The file name of the first row for the chapter and level; empty when there is none.
    std::string levelFileFor(std::int32_t chapter, std::int32_t level) const;
    // "level_action.xml" for mode 1, "level_relax.xml" for mode 2, else empty.
    static std::string modeLevelFile(std::int32_t mode);

    static constexpr kernel::ClassInfo classInfo{&kernel::Object::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    LevelCatalogue() = default;

    LevelFile* replaceCurrent(const std::string& path);
    const kernel::NodeValue* tuningRow(const char* table, std::int32_t level) const;

    kernel::SmartPtr<LevelFile> current;
    kernel::SmartPtr<kernel::ValueDocument> catalogue;
};

} // namespace game
