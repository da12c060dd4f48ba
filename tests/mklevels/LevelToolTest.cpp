// The tool's run over a media folder of its own: what it writes, what it leaves alone, and what it refuses.
#include "tools/mklevels/LevelTool.h"
#include "tools/mklevels/LevelWriter.h"

#include "engine/kernel/SmartPtr.h"
#include "game/foundation/LevelFile.h"

#include "ToolFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

using mklevelstest::levelName;
using mklevelstest::ToolFolder;

TEST(LevelTool, TheSameRulesGiveTheSameBytes) {
    ToolFolder folder;
    std::string error;
    ASSERT_TRUE(folder.run(error, "out")) << error;
    ASSERT_TRUE(folder.run(error, "again")) << error;
    for (int chapter = 1; chapter <= 2; ++chapter) {
        for (int level = 1; level <= 3; ++level) {
            const std::string file = levelName(chapter, level);
            const std::string first = folder.made(file);
            EXPECT_FALSE(first.empty()) << file;
            EXPECT_EQ(first, testsupport::TempDir::read(folder.dir.file("again/" + file))) << file;
        }
    }
    // Another seed places the pibbles elsewhere.
    folder.rules(std::string(mklevelstest::smallRules)
                     .replace(mklevelstest::smallRules.find("seed=\"5\""), 8, "seed=\"6\""));
    ASSERT_TRUE(folder.run(error, "other")) << error;
    EXPECT_NE(folder.made(levelName(2, 3)), testsupport::TempDir::read(folder.dir.file("other/c02_l03.xml")));
}

// A level written by hand is never written, also when the output folder holds a copy of it (the runnable
// tree does); the tool only tells about it.
TEST(LevelTool, AuthoredLevelsAreNeverWritten) {
    ToolFolder folder;
    const std::string handmade = "<Level><!-- by hand --></Level>";
    folder.authored("c01_l02.xml", handmade);
    folder.dir.write("out/c01_l02.xml", handmade);
    const auto before = std::filesystem::last_write_time(folder.outputPath("c01_l02.xml"));
    std::string error;
    ASSERT_TRUE(folder.run(error)) << error;
    EXPECT_EQ(folder.made("c01_l02.xml"), handmade);
    EXPECT_EQ(std::filesystem::last_write_time(folder.outputPath("c01_l02.xml")), before);
    ASSERT_EQ(folder.reports.size(), 6u);
    EXPECT_TRUE(folder.reports[1].authored);
    EXPECT_NE(mklevels::describe(folder.reports[1]).find("authored"), std::string::npos);
    EXPECT_FALSE(folder.reports[2].authored);
    EXPECT_FALSE(folder.made("c01_l03.xml").empty());
    // Nothing but the levels: no temporary file is left behind.
    EXPECT_EQ(folder.outputFiles().size(), 6u);
}

// The geometry of every field size agrees with the levels written by hand for the same size.
TEST(LevelTool, TheFieldStandsWhereTheAuthoredLevelsPutIt) {
    const std::pair<const char*, std::pair<int, int>> authored[] = {
        {"media/levels/c01_l01.xml", {7, 8}}, {"media/levels/level_action.xml", {9, 10}}};
    for (const auto& [file, size] : authored) {
        const kernel::SmartPtr<game::LevelFile> level =
            new game::LevelFile(std::string(PIBBLES_SOURCE_DIR) + "/" + file);
        const mklevels::BackgroundGeometry geometry = mklevels::geometryFor(size.first, size.second);
        EXPECT_EQ(geometry.offsetY, level->offsetY()) << file;
        EXPECT_EQ(geometry.offsetXField, level->offsetXField()) << file;
        EXPECT_EQ(geometry.offsetXQueue1, level->offsetXQueue1()) << file;
        EXPECT_EQ(geometry.offsetXQueue2, level->offsetXQueue2()) << file;
        EXPECT_EQ(geometry.fieldWidth, std::stoi(level->backgroundValue("field_width"))) << file;
        EXPECT_EQ(geometry.fieldHeight, std::stoi(level->backgroundValue("field_height"))) << file;
    }
    // Between them, the field and its queue stay centred on the screen and the rows on their middle line.
    for (int columns = 3; columns <= 10; ++columns) {
        const mklevels::BackgroundGeometry geometry = mklevels::geometryFor(9, columns);
        EXPECT_EQ(geometry.offsetXQueue1 + geometry.offsetXField + 44 * (columns - 1), 640) << columns;
    }
}

// Levels whose rules cannot give them a fair start are refused, naming the level and why; nothing half
// made is left in the output folder.
TEST(LevelTool, LevelsThatCannotStartWellAreRefused) {
    const std::pair<std::string, std::string> refusals[] = {
        {R"(<LevelRules samples="200" attempts="3"><Defaults rows="9" columns="10" colours="2" moves="2" vibs="4"
            background="BG_MEADOW" time="60" /><Chapter number="1" /></LevelRules>)",
         "none of 3 placements passed: on normal"},
        {R"(<LevelRules><Defaults rows="3" columns="3" colours="5" moves="2" vibs="9" chained="2"
            background="BG_MEADOW" time="60" /><Chapter number="1" /></LevelRules>)",
         "11 special pibbles do not fit the 9 cells"},
        {R"(<LevelRules><Defaults rows="7" columns="8" colours="5" moves="2" vibs="4" background="BG_MEADOW"
            time="60" shape="arch:4" /><Chapter number="1" /></LevelRules>)",
         "without three cells side by side"},
        {R"(<LevelRules><Defaults rows="7" columns="8" colours="5" moves="2" vibs="4" background="BG_MEADOW"
            time="60" /></LevelRules>)",
         "no <Chapter number=\"1\">"},
    };
    for (const auto& [rules, told] : refusals) {
        ToolFolder folder(1, 1, rules);
        std::string error;
        EXPECT_FALSE(folder.run(error));
        EXPECT_NE(error.find(told), std::string::npos) << error;
        EXPECT_TRUE(error.find("c01_l01.xml") != std::string::npos ||
                    error.find("levelrules.xml") != std::string::npos)
            << error;
        EXPECT_TRUE(!std::filesystem::exists(folder.dir.path() / "out") || folder.outputFiles().empty());
    }
}

TEST(LevelTool, ABrokenCatalogueIsRefused) {
    const std::pair<std::string, std::string> catalogues[] = {
        {"<Levels>", "levels.xml:"},
        {"<Levels><Vector id=\"modes\" /></Levels>", "no <Vector id=\"levels\">"},
        {"<Levels><Vector id=\"levels\"><Level chapterNr=\"1\" levelFile=\"a.xml\" /></Vector></Levels>",
         "levels.xml:1: a level row needs"},
        {"<Levels><Vector id=\"levels\"><Level chapterNr=\"1\" levelNr=\"1\" levelFile=\"../a.xml\" "
         "/></Vector>"
         "</Levels>",
         "plain \"levelFile\""},
    };
    for (const auto& [catalogue, told] : catalogues) {
        ToolFolder folder;
        folder.dir.write("media/properties/levels.xml", catalogue);
        std::string error;
        EXPECT_FALSE(folder.run(error));
        EXPECT_NE(error.find(told), std::string::npos) << error;
    }
}

} // namespace
