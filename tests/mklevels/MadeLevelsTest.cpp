// The levels the game's own rules make (media/levelrules.xml): the same bytes each time, read by the
// game's reader, started by a real field with the moves they promise on both difficulties, and growing
// from chapter to chapter. With them, every start the game ships (each VIB level and each ACTION and RELAX
// tuning row) stands without a run, and the chains of the bot's moves end within seconds on all of them.
#include "game/field/BoardMove.h"
#include "game/field/MatchScan.h"
#include "game/field/RefillRules.h"
#include "game/foundation/GameGlobals.h"
#include "game/foundation/LevelCatalogue.h"
#include "tools/mklevels/LevelTool.h"
#include "tools/mklevels/StartMoves.h"

#include "FieldGame.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>
#include <random>

namespace {

using mklevels::LevelReport;

std::string source(const std::string& relative) {
    return std::string(PIBBLES_SOURCE_DIR) + "/" + relative;
}

class MadeLevels : public ::testing::Test {
protected:
    // Made once for the suite: the run is the same for every test.
    static void SetUpTestSuite() {
        made = std::make_unique<testsupport::TempDir>();
        std::string error;
        ok = mklevels::makeLevels(optionsFor(made->path()), reports, error);
        failure = error;
    }
    static void TearDownTestSuite() { made.reset(); }
    void SetUp() override { ASSERT_TRUE(ok) << failure; }

    static mklevels::ToolOptions optionsFor(const std::filesystem::path& output) {
        return {source("media/levelrules.xml"), source("media"), output};
    }
    static std::string pathOf(const LevelReport& report) {
        return report.authored ? source("media/levels/" + report.row.file) : made->file(report.row.file);
    }
    // The game's catalogue and every level it opens, in the game's working folder, and the catalogue read.
    static game::LevelCatalogue& loadCatalogue(fieldtest::FieldGame& game) {
        game.folder.write(game::LevelCatalogue::catalogueFile,
                          testsupport::TempDir::read(source(game::LevelCatalogue::catalogueFile)));
        for (const std::int32_t mode : {game::gameModeAction, game::gameModeRelax}) {
            const std::string file =
                game::LevelCatalogue::levelFolder + game::LevelCatalogue::modeLevelFile(mode);
            game.folder.write(file, testsupport::TempDir::read(source(file)));
        }
        for (const LevelReport& report : reports) {
            game.folder.write(game::LevelCatalogue::levelFolder + report.row.file,
                              testsupport::TempDir::read(pathOf(report)));
        }
        game::LevelCatalogue* catalogue = game::LevelCatalogue::create();
        catalogue->load();
        return *catalogue;
    }

    static inline std::unique_ptr<testsupport::TempDir> made;
    static inline std::vector<LevelReport> reports;
    static inline bool ok = false;
    static inline std::string failure;
};

TEST_F(MadeLevels, EveryLevelOfTheCatalogueIsMadeUnlessWrittenByHand) {
    ASSERT_EQ(reports.size(), 70u);
    int authored = 0;
    for (const LevelReport& report : reports) {
        authored += report.authored ? 1 : 0;
        EXPECT_EQ(std::filesystem::exists(made->file(report.row.file)), !report.authored) << report.row.file;
        if (report.authored) {
            continue;
        }
        const kernel::SmartPtr<game::LevelFile> level = new game::LevelFile(pathOf(report));
        EXPECT_EQ(level->rowCount(), report.plan.rows) << report.row.file;
        EXPECT_EQ(level->columnCount(), report.plan.columns) << report.row.file;
        EXPECT_EQ(level->numColors(), report.plan.colours) << report.row.file;
        EXPECT_EQ(level->numMoves(), report.plan.moves) << report.row.file;
        EXPECT_EQ(level->time(), report.plan.seconds * 1000) << report.row.file;
        EXPECT_EQ(level->backgroundValue("image"), report.plan.background) << report.row.file;
    }
    EXPECT_EQ(authored, 3);
}

TEST_F(MadeLevels, ASecondRunGivesTheSameBytes) {
    const testsupport::TempDir again;
    std::vector<LevelReport> second;
    std::string error;
    ASSERT_TRUE(mklevels::makeLevels(optionsFor(again.path()), second, error)) << error;
    for (const LevelReport& report : reports) {
        if (!report.authored) {
            EXPECT_EQ(testsupport::TempDir::read(made->file(report.row.file)),
                      testsupport::TempDir::read(again.file(report.row.file)))
                << report.row.file;
        }
    }
}

// Each made level loaded as the game loads it: through the level catalogue for the difficulty, into a
// field that lays it out and colours it with the game's generator. The board the tool checked is the one
// the field builds, and the field starts with no run standing and at least the level's moves.
TEST_F(MadeLevels, ARealFieldStartsEveryLevelWithItsMoves) {
    fieldtest::FieldGame game;
    game::LevelCatalogue* catalogue = &loadCatalogue(game);
    for (const LevelReport& report : reports) {
        if (report.authored) {
            continue;
        }
        for (const std::int32_t difficulty : {0, 1}) {
            const std::string where = report.row.file + (difficulty == 0 ? " normal" : " hard");
            game::LevelFile* level =
                catalogue->loadVibLevel(report.row.chapter, report.row.level, difficulty);
            ASSERT_NE(level, nullptr) << where;
            game.field->restart(level);
            const game::Board expected = mklevels::boardOfLevel(*level, level->numColors());
            const game::Board actual = game.field->board();
            ASSERT_EQ(actual.rows(), expected.rows()) << where;
            ASSERT_EQ(actual.columns(), expected.columns()) << where;
            EXPECT_EQ(actual.colourCount(), expected.colourCount()) << where;
            for (std::int32_t row = 1; row <= actual.rows(); ++row) {
                EXPECT_EQ(actual.hasQueuePibble(row), expected.hasQueuePibble(row)) << where;
                for (std::int32_t column = 1; column <= actual.columns(); ++column) {
                    const game::BoardCell& cell = actual.at(row, column);
                    EXPECT_EQ(cell.present, expected.at(row, column).present) << where;
                    EXPECT_EQ(cell.removed, expected.at(row, column).removed) << where;
                    EXPECT_EQ(cell.flags, expected.at(row, column).flags)
                        << where << " " << row << "," << column;
                }
            }
            const game::BoardScan& scan = game.field->lastScan();
            EXPECT_GE(scan.counts.possibleMoves, level->numMoves()) << where;
            EXPECT_GE(scan.counts.possibleMoves, 1) << where;
            EXPECT_TRUE(scan.removalList.empty()) << where;
            EXPECT_EQ(scan.counts.vib, report.plan.vibs) << where;
        }
    }
    game::LevelCatalogue::destroy();
}

// The colour count of a tuning row (the ACTION or RELAX table of the difficulty).
std::int32_t rowColours(const game::LevelCatalogue& catalogue, std::int32_t mode, std::int32_t level,
                        std::int32_t difficulty) {
    if (mode == game::gameModeAction) {
        game::ActionModeParams row;
        EXPECT_TRUE(catalogue.actionParams(level, row, difficulty));
        return row.numColors;
    }
    game::RelaxModeParams row;
    EXPECT_TRUE(catalogue.relaxParams(level, row, difficulty));
    return row.numColors;
}

constexpr std::int32_t modes[] = {game::gameModeAction, game::gameModeRelax};
constexpr std::int32_t difficulties[] = {game::difficultyNormal, game::difficultyHard};

// Each start as the modes make it: the mode's level with the row's colours, or the VIB level as the
// catalogue adjusts it, laid out by a real field and coloured from the game's generator with many seeds.
// No run may stand (the first click, whatever it does, would take it for points) and the level's moves
// must be there.
TEST_F(MadeLevels, EveryStartTheGameShipsHasNoRunAndItsMoves) {
    fieldtest::FieldGame game;
    game::LevelCatalogue& catalogue = loadCatalogue(game);
    const auto expectGoodStart = [&](game::LevelFile* level, const std::string& where) {
        ASSERT_NE(level, nullptr) << where;
        game.field->restart(level);
        const game::BoardScan& scan = game.field->lastScan();
        EXPECT_EQ(scan.counts.matchCells, 0) << where;
        EXPECT_GE(scan.counts.possibleMoves, std::max(level->numMoves(), 1)) << where;
    };
    for (std::uint64_t seed = 1; seed <= 3; ++seed) {
        game::Random::instance()->setSeed(seed);
        for (const std::int32_t difficulty : difficulties) {
            const std::string suffix = (difficulty == game::difficultyNormal ? " normal" : " hard") +
                                       std::string(", seed ") + std::to_string(seed);
            for (const std::int32_t mode : modes) {
                for (std::int32_t row = 1; row <= game::LevelCatalogue::lastTunedLevel; ++row) {
                    const std::int32_t colours = rowColours(catalogue, mode, row, difficulty);
                    expectGoodStart(catalogue.loadModeLevel(mode, row, colours),
                                    "mode " + std::to_string(mode) + " row " + std::to_string(row) + suffix);
                }
            }
            for (const LevelReport& report : reports) {
                expectGoodStart(catalogue.loadVibLevel(report.row.chapter, report.row.level, difficulty),
                                report.row.file + suffix);
            }
        }
    }
    game::LevelCatalogue::destroy();
}

// The chains of one place: the bot's moves on the board model, each one of the possible moves drawn from
// its own generator; a board without a move starts its level again, a VIB level without VIB pibbles gives
// way to the next. The removal steps of each move's chain.
std::vector<int> botChains(const std::vector<game::Board>& levels, const std::vector<std::int32_t>& moves,
                           bool vib, int count) {
    game::Random random(17);
    std::mt19937 bot(17);
    const game::ShuffleDraw shuffle = [&bot](std::int32_t bound) {
        return std::uniform_int_distribution<std::int32_t>(0, bound - 1)(bot);
    };
    game::MoveRules rules;
    rules.colourTries = 200;
    rules.reshuffleWhenStuck = vib;
    // Far beyond the bound below: a chain that would not end is cut off here.
    rules.stepLimit = 100;
    std::vector<int> steps;
    std::size_t level = 0;
    const auto start = [&] {
        game::Board board = levels[level];
        game::colourForStart(board, moves[level], random, game::startColourRounds);
        return board;
    };
    game::Board board = start();
    while (static_cast<int>(steps.size()) < count) {
        const std::vector<game::Cell> possible = game::possibleMoveCells(board);
        if (possible.empty()) {
            board = start();
            continue;
        }
        const game::Cell move =
            possible[std::uniform_int_distribution<std::size_t>(0, possible.size() - 1)(bot)];
        steps.push_back(game::playMove(board, move, rules, random, shuffle).steps);
        if (vib && game::scanBoard(board).counts.vib == 0) {
            level = (level + 1) % levels.size();
            board = start();
        }
    }
    return steps;
}

// The rules keep a refill's runs as the next step of the move, so how long a chain runs is a matter of the
// colours and fields the game ships: on each ACTION and RELAX field with each colour count its rows use, and
// through each VIB chapter on both difficulties, one move in a hundred makes at most a few steps and none
// of the bot's moves runs past 14 (a step shows for about 0.66 s, so about 10 s without input).
TEST_F(MadeLevels, TheBotsMovesEndWithinAFewSteps) {
    constexpr int movesPerPlace = 400;
    constexpr int mostStepsOfOneInAHundred = 7;
    constexpr int mostSteps = 14;
    fieldtest::FieldGame game;
    game::LevelCatalogue& catalogue = loadCatalogue(game);
    struct Place {
        std::string name;
        std::vector<game::Board> levels;
        std::vector<std::int32_t> moves;
        bool vib = false;
    };
    std::vector<Place> places;
    for (const std::int32_t mode : modes) {
        std::vector<std::int32_t> seen;
        for (const std::int32_t difficulty : difficulties) {
            for (std::int32_t row = 1; row <= game::LevelCatalogue::lastTunedLevel; ++row) {
                const std::int32_t colours = rowColours(catalogue, mode, row, difficulty);
                if (std::find(seen.begin(), seen.end(), colours) != seen.end()) {
                    continue;
                }
                seen.push_back(colours);
                const game::LevelFile* level = catalogue.loadModeLevel(mode, row, colours);
                places.push_back(
                    {"mode " + std::to_string(mode) + ", " + std::to_string(colours) + " colours",
                     {mklevels::boardOfLevel(*level, colours)},
                     {level->numMoves()}});
            }
        }
    }
    for (const std::int32_t difficulty : difficulties) {
        for (std::int32_t chapter = 1; chapter <= 10; ++chapter) {
            Place place{
                "chapter " + std::to_string(chapter) + (difficulty == 0 ? " normal" : " hard"), {}, {}, true};
            for (const LevelReport& report : reports) {
                if (report.row.chapter == chapter) {
                    const game::LevelFile* level =
                        catalogue.loadVibLevel(chapter, report.row.level, difficulty);
                    place.levels.push_back(mklevels::boardOfLevel(*level, level->numColors()));
                    place.moves.push_back(level->numMoves());
                }
            }
            places.push_back(place);
        }
    }
    game::LevelCatalogue::destroy();
    for (const Place& place : places) {
        std::vector<int> steps = botChains(place.levels, place.moves, place.vib, movesPerPlace);
        std::sort(steps.begin(), steps.end());
        EXPECT_LE(steps[steps.size() * 99 / 100], mostStepsOfOneInAHundred) << place.name;
        EXPECT_LE(steps.back(), mostSteps) << place.name;
    }
}

struct LevelFigures {
    int vibs = 0;
    int locked = 0;
    int colours = 0;
    int cells = 0;
    double secondsPerVib = 0;
};

LevelFigures figuresOf(const std::string& path) {
    const kernel::SmartPtr<game::LevelFile> level = new game::LevelFile(path);
    LevelFigures figures;
    for (std::int32_t row = 1; row <= level->rowCount(); ++row) {
        for (std::int32_t column = 1; column <= level->columnCount(); ++column) {
            figures.vibs += level->isVibCell(row, column) ? 1 : 0;
            figures.locked += level->isStubbornCell(row, column) || level->isChainedCell(row, column) ? 1 : 0;
            figures.cells += level->isEmptyCell(row, column) ? 0 : 1;
        }
    }
    figures.colours = level->numColors();
    figures.secondsPerVib = figures.vibs > 0 ? level->time() / 1000.0 / figures.vibs : 0;
    return figures;
}

// The same level of the next chapter has at least as many VIBs and colours and no more time for each
// VIB; within a chapter the VIBs never fall from one level to the next, and the pibbles in the way grow
// from chapter to chapter. The levels written by hand count as they stand.
TEST_F(MadeLevels, TheCourseGrowsFromChapterToChapter) {
    std::map<std::pair<int, int>, LevelFigures> figures;
    for (const LevelReport& report : reports) {
        figures[{report.row.chapter, report.row.level}] = figuresOf(pathOf(report));
    }
    std::map<int, int> lockedByChapter;
    for (const auto& [key, level] : figures) {
        const auto [chapter, number] = key;
        lockedByChapter[chapter] += level.locked;
        const std::string where = "chapter " + std::to_string(chapter) + " level " + std::to_string(number);
        EXPECT_GT(level.vibs, 0) << where;
        if (const auto before = figures.find({chapter - 1, number}); before != figures.end()) {
            EXPECT_GE(level.vibs, before->second.vibs) << where;
            EXPECT_GE(level.colours, before->second.colours) << where;
            EXPECT_LE(level.secondsPerVib, before->second.secondsPerVib) << where;
        }
        if (const auto before = figures.find({chapter, number - 1}); before != figures.end()) {
            EXPECT_GE(level.vibs, before->second.vibs) << where;
        }
    }
    for (const auto& [chapter, locked] : lockedByChapter) {
        if (lockedByChapter.contains(chapter - 1)) {
            EXPECT_GE(locked, lockedByChapter[chapter - 1]) << "chapter " << chapter;
        }
    }
    // A gentle start and a hard end.
    const LevelFigures& gentle = figures[std::pair{1, 7}];
    const LevelFigures& hard = figures[std::pair{10, 7}];
    EXPECT_LE(gentle.cells, 56);
    EXPECT_LE(gentle.colours, 5);
    EXPECT_GE(hard.colours, 6);
    EXPECT_GE(hard.vibs, 2 * gentle.vibs);
}

// The start check counts as the field does: a level whose pibbles can never be moved has no good
// colouring, and the hard difficulty is the catalogue's.
TEST(StartMoves, NoColouringHelpsALevelThatCannotBeMoved) {
    const testsupport::TempDir dir;
    const std::string stubborn =
        "<Level><Node id=\"properties\" numcolors=\"6\" nummoves=\"1\" time=\"60\" />"
        "<Vector id=\"layout\"><Row data=\"qsssq\" /><Row data=\"qsSsq\" />"
        "<Row data=\"qsssq\" /></Vector></Level>";
    const kernel::SmartPtr<game::LevelFile> level = new game::LevelFile(dir.write("stubborn.xml", stubborn));
    const auto difficulties = mklevels::difficultiesOf(*level);
    EXPECT_EQ(difficulties[0].colours, 6);
    EXPECT_EQ(difficulties[1].colours, 7);
    EXPECT_EQ(difficulties[1].moves, 1);
    const mklevels::StartOdds odds = mklevels::sampleStart(mklevels::boardOfLevel(*level, 6), 1, 300, 300, 9);
    EXPECT_EQ(odds.rounds, 300);
    EXPECT_EQ(odds.good, 0);
    EXPECT_DOUBLE_EQ(odds.failureOdds(1000), 1.0);

    const std::string plain = "<Level><Node id=\"properties\" numcolors=\"3\" nummoves=\"3\" time=\"60\" />"
                              "<Vector id=\"layout\"><Row data=\"qxxxxq\" /><Row data=\"q.xx.q\" />"
                              "<Row data=\"qxxxxq\" /></Vector></Level>";
    const kernel::SmartPtr<game::LevelFile> open = new game::LevelFile(dir.write("plain.xml", plain));
    const game::Board board = mklevels::boardOfLevel(*open, 3);
    EXPECT_TRUE(board.at(2, 1).removed);
    EXPECT_FALSE(board.at(2, 2).removed);
    const mklevels::StartOdds some = mklevels::sampleStart(board, 1, 2000, 2000, 9);
    EXPECT_GT(some.good, 0);
    EXPECT_LT(some.good, some.rounds);
}

} // namespace
