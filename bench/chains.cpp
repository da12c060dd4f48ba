// How the game's own levels start and how long a move's chain runs on them, played on the board model with
// the field's rules (the rules keep a refill's runs, so a move goes on for as long as each refill leaves a
// run standing). Every ACTION and RELAX tuning row on both difficulties is played on its mode's field with
// its colour count, and every VIB chapter through its seven levels as the level catalogue adjusts them.
//
// BM_Chains/<table>/<row>: the game's bot (each move one of the possible ones, drawn from its own seeded
// generator) makes "moves" moves; a board without a move starts the level again (ACTION, RELAX) or is
// reshuffled (VIB), a VIB level without VIB pibbles gives way to the next one. Per move the removal steps
// of its chain: "median", "p99" and "longest"; "longest_s" the longest time without input, from the time
// the field takes for the move and for each step on the screen; "party" the share of moves that set off a
// party match; "choices" how many moves the bot had to choose from, on average.
//
// BM_Start/<table>/<row>: the cost of a level's start colouring (the field's random rounds until no run
// stands and the level's moves are possible, mended when they run out); "one_in": how many random rounds
// give one good start, "fail_1000" the share of starts that 1000 rounds would leave with a run or too few
// moves.
//
// Run from a release tree (the levels not written by hand are made from media/levelrules.xml as the build
// makes them):
//   cmake --build build/bench --target chains && build/bench/bench/chains

#include "engine/kernel/PropertyStore.h"
#include "game/field/BoardMove.h"
#include "game/field/FieldRandom.h"
#include "game/field/MatchScan.h"
#include "game/field/RefillRules.h"
#include "game/foundation/LevelCatalogue.h"
#include "game/foundation/LevelFile.h"
#include "game/foundation/Random.h"
#include "tools/mklevels/LevelTool.h"
#include "tools/mklevels/StartMoves.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int botMoves = 1000;
// A chain is cut off here: far beyond any a player would sit through.
constexpr std::int32_t stepLimit = 2000;
// The field's tuning of the refill's colour search (media/properties/default.xml).
constexpr std::int32_t colourTries = 200;
// What the field shows of a move on the screen, from the click until it takes clicks again (measured in the
// game with bench/play: 1.2 s for one step, 1.86 s for two, 2.53 s for three): the move itself and its
// settling, and each step of the chain (the pibbles leave, the columns close and the new pibbles drop in);
// a party match adds its burst and the rise of every pibble of its colour.
constexpr double moveSeconds = 0.54;
constexpr double stepSeconds = 0.66;
constexpr double partySeconds = 1.2;
// Rounds sampled for a start's odds: until this many were good, or at most this many.
constexpr int goodRounds = 400;
constexpr int mostRounds = 4000000;
constexpr int recordedRounds = 1000;

// One place to play: a level (or a chapter's levels) with the colours, moves and rules of its row.
struct Place {
    std::string name;
    std::vector<game::Board> levels;
    std::vector<std::int32_t> moves;
    game::MoveRules rules;
    bool vib = false;
};

std::vector<Place>& places() {
    static std::vector<Place> all;
    return all;
}

void addModeRows(game::LevelCatalogue& catalogue, std::int32_t mode, std::int32_t difficulty) {
    const std::string table =
        std::string(mode == 1 ? "action" : "relax") + (difficulty == 0 ? "normal" : "hard");
    for (std::int32_t level = 1; level <= game::LevelCatalogue::lastTunedLevel; ++level) {
        std::int32_t colours = 0;
        Place place;
        if (mode == 1) {
            game::ActionModeParams row;
            catalogue.actionParams(level, row, difficulty);
            colours = row.numColors;
        } else {
            game::RelaxModeParams row;
            catalogue.relaxParams(level, row, difficulty);
            colours = row.numColors;
            place.rules.stubbornChance = row.chanceValueStart;
        }
        const game::LevelFile* file = catalogue.loadModeLevel(mode, level, colours);
        place.name = table + "/" + std::to_string(level);
        place.levels.push_back(mklevels::boardOfLevel(*file, file->numColors()));
        place.moves.push_back(file->numMoves());
        place.rules.colourTries = colourTries;
        place.rules.hard = difficulty == 1;
        place.rules.stepLimit = stepLimit;
        places().push_back(place);
    }
}

void addChapters(game::LevelCatalogue& catalogue, std::int32_t difficulty) {
    for (std::int32_t chapter = 1; chapter <= 10; ++chapter) {
        Place place;
        place.name = std::string(difficulty == 0 ? "vibnormal/" : "vibhard/") + std::to_string(chapter);
        place.vib = true;
        place.rules.colourTries = colourTries;
        place.rules.hard = difficulty == 1;
        place.rules.reshuffleWhenStuck = true;
        place.rules.stepLimit = stepLimit;
        for (std::int32_t level = 1; level <= 7; ++level) {
            const game::LevelFile* file = catalogue.loadVibLevel(chapter, level, difficulty);
            place.levels.push_back(mklevels::boardOfLevel(*file, file->numColors()));
            place.moves.push_back(file->numMoves());
        }
        places().push_back(place);
    }
}

bool hasVibs(const game::Board& board) {
    return game::scanBoard(board).counts.vib > 0;
}

double percentile(std::vector<int> values, double share) {
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    const auto at = static_cast<std::size_t>(std::ceil(share * static_cast<double>(values.size()))) - 1;
    return values[std::min(at, values.size() - 1)];
}

void playChains(benchmark::State& state, const Place& place) {
    std::vector<int> steps;
    int parties = 0;
    double longest = 0;
    double choices = 0;
    int looks = 0;
    for (auto _ : state) {
        game::Random random(1);
        std::mt19937 bot(1);
        std::size_t level = 0;
        game::Board board = place.levels[level];
        game::colourForStart(board, place.moves[level], random, game::startColourRounds);
        while (steps.size() < botMoves) {
            const std::vector<game::Cell> moves = game::possibleMoveCells(board);
            choices += static_cast<double>(moves.size());
            ++looks;
            if (moves.empty()) {
                board = place.levels[level];
                game::colourForStart(board, place.moves[level], random, game::startColourRounds);
                continue;
            }
            const game::Cell move =
                moves[std::uniform_int_distribution<std::size_t>(0, moves.size() - 1)(bot)];
            const game::MoveOutcome outcome =
                game::playMove(board, move, place.rules, random, game::runtimeDraw);
            steps.push_back(outcome.steps);
            parties += outcome.partySteps > 0 ? 1 : 0;
            longest = std::max(longest,
                               moveSeconds + stepSeconds * outcome.steps + partySeconds * outcome.partySteps);
            if (place.vib && !hasVibs(board)) {
                level = (level + 1) % place.levels.size();
                board = place.levels[level];
                game::colourForStart(board, place.moves[level], random, game::startColourRounds);
            }
        }
    }
    state.counters["choices"] = choices / looks;
    state.counters["moves"] = static_cast<double>(steps.size());
    state.counters["median"] = percentile(steps, 0.5);
    state.counters["p99"] = percentile(steps, 0.99);
    state.counters["longest"] = percentile(steps, 1.0);
    state.counters["longest_s"] = longest;
    state.counters["party"] = static_cast<double>(parties) / static_cast<double>(steps.size());
}

// The start of each level of the place, one after the other.
void colourStarts(benchmark::State& state, const Place& place) {
    game::Random random(2);
    std::size_t level = 0;
    for (auto _ : state) {
        game::Board board = place.levels[level];
        benchmark::DoNotOptimize(
            game::colourForStart(board, place.moves[level], random, game::startColourRounds));
        level = (level + 1) % place.levels.size();
    }
    // The worst level of the place decides its odds.
    mklevels::StartOdds worst;
    for (std::size_t i = 0; i < place.levels.size(); ++i) {
        const mklevels::StartOdds odds =
            mklevels::sampleStart(place.levels[i], place.moves[i], mostRounds, goodRounds, 3);
        if (i == 0 || odds.chance() < worst.chance()) {
            worst = odds;
        }
    }
    state.counters["one_in"] = worst.chance() > 0 ? 1.0 / worst.chance() : 0.0;
    state.counters["fail_1000"] = worst.failureOdds(recordedRounds);
}

// The game's data in a scratch folder laid out as the runnable tree: the catalogue, the levels written by
// hand, and the others made from the level rules.
bool prepareData(const std::filesystem::path& scratch) {
    const std::filesystem::path source = PIBBLES_SOURCE_DIR;
    std::filesystem::create_directories(scratch / "media/properties");
    std::filesystem::copy(source / "media/levels", scratch / "media/levels",
                          std::filesystem::copy_options::recursive);
    std::filesystem::copy_file(source / game::LevelCatalogue::catalogueFile,
                               scratch / game::LevelCatalogue::catalogueFile,
                               std::filesystem::copy_options::overwrite_existing);
    std::vector<mklevels::LevelReport> reports;
    std::string error;
    if (!mklevels::makeLevels({source / "media/levelrules.xml", source / "media", scratch / "media/levels"},
                              reports, error)) {
        std::fprintf(stderr, "chains: %s\n", error.c_str());
        return false;
    }
    std::filesystem::current_path(scratch);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    const std::filesystem::path scratch =
        std::filesystem::temp_directory_path() / ("pibbles-chains-" + std::to_string(std::random_device()()));
    if (!prepareData(scratch)) {
        return 1;
    }
    kernel::PropertyStore::create();
    game::LevelCatalogue* catalogue = game::LevelCatalogue::create();
    catalogue->load();
    for (const std::int32_t difficulty : {0, 1}) {
        addModeRows(*catalogue, 1, difficulty);
        addModeRows(*catalogue, 2, difficulty);
        addChapters(*catalogue, difficulty);
    }
    game::LevelCatalogue::destroy();
    for (const Place& place : places()) {
        benchmark::RegisterBenchmark(("BM_Chains/" + place.name).c_str(),
                                     [&place](benchmark::State& state) { playChains(state, place); })
            ->Iterations(1)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("BM_Start/" + place.name).c_str(), [&place](benchmark::State& state) {
            colourStarts(state, place);
        })->Unit(benchmark::kMicrosecond);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::filesystem::current_path(std::filesystem::temp_directory_path());
    std::filesystem::remove_all(scratch);
    kernel::PropertyStore::destroy();
    return 0;
}
