#pragma once
// The designer's rules of the generated VIB levels (media/levelrules.xml): how each chapter's levels grow,
// read into values the generator works with. Every knob a chapter gives is either one value for all its
// levels or a range "first..last" that grows (or shrinks) evenly from its first level to its last.

#include <array>
#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace mklevels {

// The numeric knobs, in the order of the table in LevelRules.cpp.
enum class Knob {
    rows,
    columns,
    colours,
    moves,
    vibs,
    vibStubborn,
    vibChained,
    stubborn,
    chained,
    clowns,
    parties,
    time,
    baseTime,
    perVib,
    perLock,
    count
};
inline constexpr std::size_t knobCount = static_cast<std::size_t>(Knob::count);

// The name a knob has in the rules file.
const char* knobName(Knob knob);

// A knob's value over the levels of a chapter: `first` at level 1, `last` at the chapter's last level,
// evenly between them (rounded to the nearest whole number, halves away from zero).
struct Growth {
    int first = 0;
    int last = 0;

    int at(int level, int levels) const;
};

// What one element of the rules sets: the defaults, a chapter or a single level. A knob left out is
// taken from the element before it (level, then chapter, then defaults).
struct KnobSet {
    std::array<std::optional<Growth>, knobCount> numbers{};
    // Cycled by level: level n takes entry (n - 1) modulo the list's length.
    std::vector<std::string> shapes;
    std::vector<std::string> backgrounds;
    std::optional<bool> symmetric;
    // Where in the rules file it was given, for messages.
    int line = 0;
};

// A hand-drawn field shape: one text per field row, '#' a cell and '.' a hole, laid over the middle of
// the field; cells of a bigger field beyond the mask stay cells.
struct ShapeMask {
    std::vector<std::string> rows;
    int line = 0;
};

struct LevelRules {
    std::filesystem::path file;
    std::uint64_t seed = 1;
    // The levels of one chapter: the last level a range reaches.
    int levelsPerChapter = 7;
    // Colourings of a level sampled by the start check, and the share of them (percent) that must give the
    // field its start; how many placements are tried before a level is given up.
    int samples = 2000;
    double minChance = 2.0;
    int attempts = 40;
    KnobSet defaults;
    std::map<int, KnobSet> chapters;
    // By (chapter, level).
    std::map<std::pair<int, int>, KnobSet> levels;
    std::map<std::string, ShapeMask> masks;
};

// Reads the rules. False with a message naming the file, the line and the knob for a file that cannot be
// read or parsed, an unknown element or knob, a malformed or out-of-range value, a chapter or level given
// twice, or a shape that is neither the generator's nor a mask of the file.
bool readLevelRules(const std::filesystem::path& path, LevelRules& rules, std::string& error);

} // namespace mklevels
