#pragma once
// The level tool's run: every VIB level the catalogue names that is not authored by hand is made from the
// rules, checked as the game will load it, and written to the output folder.

#include "tools/mklevels/LevelPlan.h"
#include "tools/mklevels/StartMoves.h"

#include <filesystem>
#include <string>
#include <vector>

namespace mklevels {

// A row of the catalogue's "levels": the file (below media/levels) of a chapter's level.
struct CatalogueRow {
    int chapter = 0;
    int level = 0;
    std::string file;
};

// The rows of "levels" in media/properties/levels.xml, the first of a chapter and level counting, as the
// game takes them. False with a message for a file that cannot be read, a row without its three values or
// a file name that is no plain name of a level file.
bool readCatalogue(const std::filesystem::path& path, std::vector<CatalogueRow>& rows, std::string& error);

struct ToolOptions {
    std::filesystem::path rules;
    // The authored data: properties/levels.xml and the levels/ written by hand.
    std::filesystem::path media;
    // Where the made levels go; the authored ones are never written there.
    std::filesystem::path output;
};

struct LevelReport {
    CatalogueRow row;
    // Written by hand: left alone.
    bool authored = false;
    LevelPlan plan;
    // The placement that passed the check, from 0.
    int attempt = 0;
    StartOdds normal;
    StartOdds hard;
};

// The whole run. Stops at the first level that cannot be made, with a message naming its file; a file the
// run leaves behind is always a whole, checked level (each is written beside its place and renamed over it).
bool makeLevels(const ToolOptions& options, std::vector<LevelReport>& reports, std::string& error);

// One line of the report: the level, what it holds and its start odds.
std::string describe(const LevelReport& report);

} // namespace mklevels
