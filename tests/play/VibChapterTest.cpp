// Chapter 1 played to its end by a bot, on the chapter's own levels: it picks its moves from the field's move
// marks and clicks where the pibbles take the pointer, and does what the level-end dialog would between the
// levels; the course ends at the progress map with chapter 2 reached.
#include "engine/kernel/ResourceGroup.h"
#include "engine/kernel/ResourceManager.h"
#include "engine/kernel/ValueDocument.h"
#include "engine/kernel/VectorValue.h"
#include "game/field/Board.h"
#include "game/field/MatchScan.h"
#include "game/field/RefillRules.h"
#include "game/frontend/DialogPibble.h"

#include "EncodedImages.h"
#include "Eventually.h"
#include "VibWorld.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <utility>

namespace {

using vibtest::VibWorld;
namespace ids = game::ids;

// Next to each VIB pibble, the pibbles of its colour: 2 for a neighbour, 1 for one a cell further on.
long vibNeighbours(const game::Board& board) {
    long count = 0;
    for (std::int32_t r = 1; r <= board.rows(); ++r) {
        for (std::int32_t c = 1; c <= board.columns(); ++c) {
            const game::BoardCell& vib = board.at(r, c);
            if (!vib.has(game::pibbleFlag::vib)) {
                continue;
            }
            for (const auto& [dr, dc] :
                 {std::pair{0, 1}, std::pair{0, -1}, std::pair{1, 0}, std::pair{-1, 0}}) {
                for (int step = 1; step <= 2; ++step) {
                    if (board.matchColour(r + dr * step, c + dc * step) == vib.colour) {
                        count += 3 - step;
                    }
                }
            }
        }
    }
    return count;
}

// The field cell marked as a move by the last scan that does most for the VIB pibbles, judged on the board as
// the move would leave it before the refill (the row's queue pibble in the cell, the runs taken, the columns
// closed): first the VIB pibbles taken, then how many pibbles of their colours stand next to the VIB pibbles
// left, then the pibbles taken. A VIB pibble itself is moved only when nothing else can be. False when no
// cell is marked.
bool bestMove(const game::PlayField& field, std::int32_t& bestRow, std::int32_t& bestColumn) {
    const game::Board now = field.board();
    long best = -1;
    for (std::int32_t r = 1; r <= field.rowCount(); ++r) {
        for (std::int32_t c = 1; c <= field.columnCount(); ++c) {
            if (field.moveMark(r, c) == 0) {
                continue;
            }
            game::Board after = now;
            const bool vibMoved = after.at(r, c).has(game::pibbleFlag::vib);
            after.at(r, c) = game::BoardCell{true, false, now.queueColour(r), 0, 0};
            const game::BoardScan scan = game::scanBoard(after);
            long vibs = 0;
            for (const game::Cell& place : scan.removalList) {
                vibs += after.at(place).has(game::pibbleFlag::vib) ? 1 : 0;
                after.at(place) = game::BoardCell{};
            }
            for (std::int32_t column = 1; column <= after.columns(); ++column) {
                game::applyFalls(after, column, game::columnFalls(after, column));
            }
            const long worth = (vibMoved ? 0 : 1000000) + 10000 * vibs + 100 * vibNeighbours(after) +
                               static_cast<long>(scan.removalList.size());
            if (worth > best) {
                best = worth;
                bestRow = r;
                bestColumn = c;
            }
        }
    }
    return best >= 0;
}

// The chapter's levels as the game has them: made at build time into the run tree, authored in the sources,
// or, while a level is not made yet, one of the tests' own in the same form.
std::string chapterOneLevel(std::int32_t level) {
    const std::string name = vibtest::levelFileName(1, level);
    for (const char* root : {PIBBLES_RUN_DIR, PIBBLES_SOURCE_DIR}) {
        const std::filesystem::path path = std::filesystem::path(root) / "media/levels" / name;
        if (std::filesystem::exists(path)) {
            return testsupport::TempDir::read(path.string());
        }
    }
    std::string rows;
    for (std::int32_t row = 0; row < 7; ++row) {
        std::string data = "qxxxxxxxxq";
        if ((row + level) % 2 == 1) {
            data[static_cast<std::size_t>(1 + (row * 3 + level) % 8)] = 'X';
        }
        rows += "<Row data=\"" + data + "\" />";
    }
    return "<Level><Node id=\"properties\" numcolors=\"5\" nummoves=\"3\" time=\"180\" />"
           "<Vector id=\"layout\">" +
           rows +
           "</Vector><Vector id=\"background\"><Param name=\"image\" value=\"BG_BLOSSOM\" />"
           "<Param name=\"offset_y\" value=\"156\" /><Param name=\"offset_x_field\" value=\"199\" />"
           "<Param name=\"offset_x_queue1\" value=\"133\" /><Param name=\"offset_x_queue2\" value=\"573\" />"
           "<Param name=\"field_width\" value=\"352\" /><Param name=\"field_height\" value=\"308\" />"
           "</Vector></Level>";
}

// The chapter map's section with one real picture, declared as the game declares it: nothing loads it
// until a chapter's last level ends.
void declareMapPictures() {
    testsupport::PngPicture picture;
    picture.width = 64;
    picture.height = 48;
    picture.samples.assign(static_cast<std::size_t>(picture.width) * picture.height, 120);
    std::filesystem::create_directories("media/images/progress");
    std::ofstream("media/images/progress/map.png", std::ios::binary) << testsupport::encodePng(picture);
    std::ofstream("media/properties/map.xml")
        << R"(<Resources><Vector id="Sections"><Node name="sceneprogress" auto="false">)"
           R"(<Image id="IMAGE_PROGRESS_MAP" file="media/images/progress/map.png"/></Node></Vector></Resources>)";
    const kernel::SmartPtr<kernel::ValueDocument> document =
        new kernel::ValueDocument("media/properties/map.xml");
    document->load();
    kernel::ResourceManager* resources = kernel::ResourceManager::instance();
    resources->addGroup(new kernel::ResourceGroup(*document->getVector("Sections").at(0)));
    resources->setActive();
}

bool mapPicturesLoaded() {
    const kernel::Resource* map =
        kernel::ResourceManager::instance()->findResource("IMAGE_PROGRESS_MAP", ids::groupSceneProgress);
    return map != nullptr && map->isLoaded();
}

TEST(VibChapterOne, ABotPlaysItsSevenLevelsToTheProgressMap) {
    VibWorld vib;
    vib.useGameCatalogue();
    std::filesystem::create_directories("media/properties");
    declareMapPictures();
    for (std::int32_t level = 1; level <= game::PlaySceneVIB::levelsPerChapter; ++level) {
        vib.writeLevel(1, level, chapterOneLevel(level));
    }
    vib.enter();
    int retries = 0;
    std::int32_t score = 0;
    for (std::int32_t level = 1; level <= game::PlaySceneVIB::levelsPerChapter; ++level) {
        SCOPED_TRACE("level " + std::to_string(level));
        ASSERT_EQ(vib.scene().getLevelNr(), level);
        EXPECT_GE(vib.field().getScore(), score) << "the score goes on from level to level";
        EXPECT_GT(vib.field().vibCount(), 0);
        for (;;) {
            // Like a player, the bot lets the scene see the field at rest for a frame before it clicks: the
            // scene tells a won level only from a field at rest. Frames of 100 ms, as on a slow machine, keep
            // the run short.
            int restingFrames = 0;
            ASSERT_TRUE(vib.until(
                [&] {
                    restingFrames = vib.atRest() ? restingFrames + 1 : 0;
                    std::int32_t row = 0;
                    std::int32_t column = 0;
                    if (restingFrames > 1 && bestMove(vib.field(), row, column)) {
                        vib.click(row, column);
                        restingFrames = 0;
                    }
                    return vib.isOpen(ids::dialogLevelEnd);
                },
                vib.field().getTimeMax() + 20000, 100));
            // The map follows only the chapter's last level: the loader reads its pictures meanwhile.
            const bool mapFollows = level == game::PlaySceneVIB::levelsPerChapter &&
                                    game::levelEndKind() == game::levelEndFinished;
            if (mapFollows) {
                EXPECT_TRUE(testsupport::eventually(mapPicturesLoaded));
            } else {
                EXPECT_FALSE(mapPicturesLoaded());
            }
            game::DialogPibble::closeDialog(ids::dialogLevelEnd);
            if (game::levelEndKind() == game::levelEndFinished) {
                break;
            }
            ASSERT_LT(++retries, 3) << "the bot keeps losing";
            vib.scene().retryLevelWithFade();
            ASSERT_TRUE(vib.until([&] { return vib.fadeOver(); }));
        }
        score = vib.field().getScore();
        vib.scene().advanceWithFade();
        if (level < game::PlaySceneVIB::levelsPerChapter) {
            ASSERT_TRUE(vib.until([&] { return vib.fadeOver(); }));
        }
    }
    EXPECT_TRUE(vib.isOpen(ids::dialogProgress));
    EXPECT_EQ(game::pendingChapter(), 2);
    EXPECT_TRUE(game::newChapter());
    EXPECT_EQ(vib.world.player().highestVibChapter(game::difficultyNormal), 2);
    EXPECT_GT(score, 0);
    // The world's map is a plain dialog: the map's own letting go is the map's test.
    EXPECT_TRUE(mapPicturesLoaded());
    RecordProperty("retries", retries);
}

} // namespace
