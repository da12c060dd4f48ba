// The levels the game's own rules make (media/levelrules.xml): the same bytes each time, read by the
// game's reader, started by a real field with the moves they promise on both difficulties, and growing
// from chapter to chapter.
#include "game/foundation/LevelCatalogue.h"
#include "tools/mklevels/LevelTool.h"
#include "tools/mklevels/StartMoves.h"

#include "FieldGame.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>

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
    game.folder.write("media/properties/levels.xml",
                      testsupport::TempDir::read(source("media/properties/levels.xml")));
    for (const LevelReport& report : reports) {
        game.folder.write("media/levels/" + report.row.file, testsupport::TempDir::read(pathOf(report)));
    }
    game::LevelCatalogue* catalogue = game::LevelCatalogue::create();
    catalogue->load();
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
