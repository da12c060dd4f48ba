#include "game/foundation/LevelFile.h"

#include "engine/graphics/ImageResource.h"
#include "engine/kernel/ResourceManager.h"
#include "engine/kernel/ScalarValue.h"
#include "engine/kernel/ValueDocument.h"
#include "game/foundation/GameIds.h"

#include "EncodedImages.h"
#include "ResourceFolder.h"
#include "RuntimeDir.h"

#include <gtest/gtest.h>

#include <climits>
#include <set>
#include <string>
#include <vector>

namespace {

using game::LevelFile;
using kernel::SmartPtr;

class LevelFileTest : public ::testing::Test {
protected:
    // A level file of the given top-level values.
    SmartPtr<LevelFile> level(const std::string& values, const std::string& name = "level.xml") const {
        dir.write(name, "<Level>" + values + "</Level>");
        return new LevelFile(name);
    }

    testsupport::WorkingFolder dir;
};

std::string rows(const std::string& id, const std::vector<std::string>& data) {
    std::string xml = "<Vector id=\"" + id + "\">";
    for (const std::string& row : data) {
        xml += "<Row data=\"" + row + "\"/>";
    }
    return xml + "</Vector>";
}

std::string background(const std::string& params) {
    return "<Vector id=\"background\">" + params + "</Vector>";
}

std::string param(const std::string& name, const std::string& value) {
    return "<Param name=\"" + name + "\" value=\"" + value + "\"/>";
}

TEST_F(LevelFileTest, ReadsLetterKindsDigitsAndCellEntries) {
    const SmartPtr<LevelFile> file =
        level(rows("layout", {"qxXl.sSpPcCq", "qxxxxxxxxxxq"}) + rows("colors", {"31-2"}) +
              rows("genders", {"0123456789ab"}) +
              "<Vector id=\"collectables\"><Collectable row=\"2\" col=\"3\" type=\"7\"/>"
              "<Collectable row=\"2\" col=\"3\" type=\"9\"/></Vector>"
              "<Vector id=\"nameindices\"><Name row=\"1\" col=\"11\" nameindex=\"4\"/></Vector>");
    EXPECT_EQ(file->rowCount(), 2);
    EXPECT_EQ(file->columnCount(), 10);
    EXPECT_EQ(file->queueColumnCount(), 2);

    // Per column of "qxXl.sSpPcCq": e empty, v VIB, l clown, p party, s stubborn, c chained.
    const std::string kinds[] = {"", "", "v", "l", "e", "s", "vs", "p", "vp", "c", "vc", ""};
    for (int column = 0; column < 12; ++column) {
        const std::string& kind = kinds[column];
        SCOPED_TRACE(column);
        EXPECT_EQ(file->isEmptyCell(1, column), kind.find('e') != std::string::npos);
        EXPECT_EQ(file->isVibCell(1, column), kind.find('v') != std::string::npos);
        EXPECT_EQ(file->isClownCell(1, column), kind.find('l') != std::string::npos);
        EXPECT_EQ(file->isPartyCell(1, column), kind.find('p') != std::string::npos);
        EXPECT_EQ(file->isStubbornCell(1, column), kind.find('s') != std::string::npos);
        EXPECT_EQ(file->isChainedCell(1, column), kind.find('c') != std::string::npos);
    }
    EXPECT_EQ(file->letterAt(1, 0), 'q');
    EXPECT_EQ(file->letterAt(1, 11), 'q');

    const int colours[] = {3, 1, 0, 2, 0, 0};
    for (int column = 0; column < 6; ++column) {
        EXPECT_EQ(file->colourAt(1, column), colours[column]) << column;
    }
    EXPECT_EQ(file->genderAt(1, 9), 9);
    EXPECT_EQ(file->genderAt(1, 10), 0);
    EXPECT_EQ(file->colourAt(2, 0), 0) << "the colours have no second row";
    EXPECT_EQ(file->collectableAt(2, 3), 9) << "the later entry for a cell wins";
    EXPECT_EQ(file->nameIndexAt(1, 11), 4);
}

TEST_F(LevelFileTest, PropertiesAndGeometry) {
    SmartPtr<LevelFile> file = level(
        "<Node id=\"properties\" numcolors=\"5\" nummoves=\"2\" time=\"90\"/>" +
        rows("layout", {"qxxxxq", "qxxxxq", "qxxxxq"}) +
        background(param("image", "BG") + param("offset_y", "112") + param("offset_x_field", "150") +
                   param("offset_x_queue1", "90") + param("offset_x_queue2", "-7") +
                   param("field_width", "178") + param("field_height", "132") + param("offset_y", "1")));
    EXPECT_EQ(file->numColors(), 5);
    EXPECT_EQ(file->numMoves(), 2);
    EXPECT_EQ(file->time(), 90000);
    EXPECT_EQ(file->timeLeft(), 90000) << "without \"timeleft\" the whole time is left";
    EXPECT_EQ(file->score(), 0);
    EXPECT_EQ(file->backgroundValue("image"), "BG");
    EXPECT_EQ(file->backgroundValue("offset_y"), "112") << "the first entry of a name counts";
    EXPECT_EQ(file->backgroundValue("Image"), "ERROR");
    EXPECT_EQ(file->offsetXField(), 150);
    EXPECT_EQ(file->offsetXQueue1(), 90);
    EXPECT_EQ(file->offsetXQueue2(), -7);
    EXPECT_EQ(file->cellWidth(), 44) << "178 / 4 truncated";
    EXPECT_EQ(file->cellHeight(), 44);
    EXPECT_EQ(file->backgroundImage(), nullptr) << "no resource manager, no picture";

    file = level("<Node id=\"properties\" time=\"90\" timeleft=\"30\" score=\"1234\"/>");
    EXPECT_EQ(file->timeLeft(), 30000);
    EXPECT_EQ(file->score(), 1234);
    EXPECT_EQ(file->offsetY(), 0) << "\"ERROR\" reads as 0";
}

// Damaged and hostile levels: each reads without touching anything outside the grids (the sanitizers watch)
// and gives the documented fallback.
TEST_F(LevelFileTest, MalformedLevelsStayInsideTheGrid) {
    std::vector<std::string> tenThousandRows(10000, "qxxxxxxxxxxq");
    std::string entries;
    for (const char* cell :
         {"row=\"0\" col=\"1\"", "row=\"10\" col=\"1\"", "row=\"1\" col=\"-1\"", "row=\"1\" col=\"12\"",
          "row=\"2147483647\" col=\"2147483647\"", "row=\"-2147483648\" col=\"5\""}) {
        entries += std::string("<Collectable ") + cell + " type=\"3\"/><Name " + cell + " nameindex=\"3\"/>";
    }
    struct Case {
        const char* what;
        std::string values;
        int rows;
        int columns;
    };
    const Case cases[] = {
        {"short rows", rows("layout", {"qxxxxxxxxxxq", "qx"}) + rows("colors", {"1"}) + rows("styles", {}), 2,
         10},
        {"ten thousand rows", rows("layout", tenThousandRows) + rows("colors", tenThousandRows), 9, 10},
        {"rows too long", rows("layout", {"qxxxxxxxxxxxxxxxxxxxxq", "qxxxxxxxxxxxxxxxxxxxxxxxxxxxq"}), 2, 10},
        {"cells outside the grid",
         rows("layout", {"qxq"}) + "<Vector id=\"collectables\">" + entries +
             "</Vector><Vector id=\"nameindices\">" + entries + "</Vector>",
         1, 1},
        {"letters outside the alphabet", rows("layout", {"qz#Q7!q"}), 1, 5},
        {"no layout", "", 0, 0},
        {"an empty first row", rows("layout", {"", "qxxq"}), 2, 0},
        {"a layout that is no list", "<Node id=\"layout\"><Row data=\"qxxq\"/></Node>", 0, 0},
        {"huge numbers",
         "<Node id=\"properties\" time=\"99999999999\" timeleft=\"-99999999999\"/>" +
             background(param("field_width", "-2147483648")) + rows("layout", {"qxq"}),
         1, 1},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.what);
        const SmartPtr<LevelFile> file = level(test.values);
        EXPECT_EQ(file->rowCount(), test.rows);
        EXPECT_EQ(file->columnCount(), test.columns);
        for (int row = 0; row <= 10; ++row) {
            for (int column = -1; column <= 12; ++column) {
                const bool inLayout =
                    row >= 1 && row <= test.rows && column >= 0 && column <= test.columns + 1;
                if (!inLayout) {
                    EXPECT_TRUE(file->isEmptyCell(row, column)) << row << "," << column;
                }
                EXPECT_EQ(file->collectableAt(row, column), 0);
                EXPECT_EQ(file->nameIndexAt(row, column), 0);
                EXPECT_TRUE(file->letterAt(row, column) == '.' || file->letterAt(row, column) == 'q' ||
                            file->letterAt(row, column) == 'x');
            }
        }
        if (test.columns == 0) {
            EXPECT_EQ(file->cellWidth(), 0);
        }
        if (test.rows == 0) {
            EXPECT_EQ(file->cellHeight(), 0);
        }
    }
    const SmartPtr<LevelFile> shortRows = level(cases[0].values);
    EXPECT_TRUE(shortRows->isEmptyCell(2, 2)) << "a short row's missing letters are empty cells";
    EXPECT_EQ(shortRows->colourAt(1, 0), 1);
    const SmartPtr<LevelFile> huge = level(cases[8].values);
    EXPECT_EQ(huge->time(), INT_MAX);
    EXPECT_EQ(huge->timeLeft(), INT_MIN);
    EXPECT_EQ(huge->cellWidth(), INT_MIN);
}

TEST_F(LevelFileTest, UnreadableFilesAndFoldersGiveAnEmptyLevel) {
    dir.write("media/levels/broken.xml", "<Level><Vector id=\"layout\"><Row data=\"qxxq\"/>");
    for (const char* path :
         {"media/levels/", "media/levels", "media\\levels\\missing.xml", "media/levels/broken.xml"}) {
        SCOPED_TRACE(path);
        const LevelFile file(path);
        EXPECT_EQ(file.cellWidth(), 0);
        EXPECT_EQ(file.cellHeight(), 0);
        EXPECT_EQ(file.time(), 0);
    }
}

TEST_F(LevelFileTest, StoredPropertiesHoldTheSavedKeysOnly) {
    const auto saveScene = [](kernel::NodeValue& properties) {
        properties.setChild(new kernel::ScalarValue("score", 1500, kernel::Typing::Untyped));
        properties.setChild(new kernel::ScalarValue("levelNr", 4, kernel::Typing::Untyped));
    };
    for (const char* properties : {"<Node id=\"properties\" numcolors=\"6\" nummoves=\"3\" time=\"90\" "
                                   "timeleft=\"20\" extra=\"1\"><Integer id=\"typed\" value=\"2\"/></Node>",
                                   ""}) {
        SCOPED_TRACE(properties);
        const SmartPtr<LevelFile> file = level(std::string(properties) + rows("layout", {"qxxq"}));
        file->storeProperties(saveScene);
        const kernel::NodeValue& stored = file->document().getNode("properties");
        std::set<std::string> names;
        for (const auto& [name, value] : stored.namedChildren()) {
            names.insert(name);
        }
        EXPECT_EQ(names, (std::set<std::string>{"time", "score", "levelNr", "nummoves", "numcolors"}));
        EXPECT_EQ(file->time(), 0);
        EXPECT_EQ(file->numMoves(), 0);
        EXPECT_EQ(file->numColors(), properties[0] == '\0' ? 0 : 6);
        EXPECT_EQ(file->score(), 1500);

        // The save's document gets them too.
        const SmartPtr<kernel::ValueDocument> save(new kernel::ValueDocument());
        file->writeXml(*save);
        EXPECT_EQ(save->getNode("properties").getValue("levelNr").asInt(), 4);
    }
}

TEST_F(LevelFileTest, TheLetterOfAStoredPibble) {
    const std::pair<LevelFile::StoredCell, char> cases[] = {
        {{}, 'x'},
        {{.removed = true, .vib = true}, '.'},
        {{.vib = true}, 'X'},
        {{.vib = true, .party = true, .clown = true}, 'P'},
        {{.clown = true, .chained = true}, 'l'},
        {{.chained = true, .stubborn = true}, 'c'},
        {{.vib = true, .stubborn = true}, 'S'},
    };
    for (const auto& [cell, letter] : cases) {
        EXPECT_EQ(LevelFile::letterFor(cell, 2), letter) << letter;
    }
    EXPECT_EQ(LevelFile::letterFor({.vib = true}, 0), 'q');
}

// A saved game: grids set directly, written into a save document in the order the level had its sections,
// saved, and read back as a level.
TEST_F(LevelFileTest, GridsSetDirectlyComeBackFromTheSave) {
    const SmartPtr<LevelFile> file =
        level("<Node id=\"properties\" numcolors=\"4\"/>" + rows("layout", {"qxxxxq", "qxxxxq", "qxxxxq"}) +
              background(param("image", "BG")) + rows("styles", {"999999"}));
    for (int row = 1; row <= 3; ++row) {
        for (int column = 0; column <= 5; ++column) {
            const int n = row * 10 + column;
            LevelFile::StoredCell cell{.removed = n % 7 == 0,
                                       .vib = n % 3 == 0,
                                       .party = n % 4 == 0,
                                       .colour = n % 11,
                                       .gender = n % 5,
                                       .style = n % 3,
                                       .collectable = n % 2 == 0 ? n : 0,
                                       .nameIndex = n * 3};
            file->storeCell(row, column, cell);
        }
    }
    file->storeCell(0, 1, {.colour = 5});
    file->storeCell(4, 1, {.colour = 5});
    file->storeCell(1, 12, {.colour = 5});

    const SmartPtr<kernel::ValueDocument> save(new kernel::ValueDocument());
    file->writeXml(*save);
    std::vector<std::string> order;
    for (const SmartPtr<kernel::Value>& value : save->children()) {
        order.push_back(value->name());
    }
    EXPECT_EQ(order, (std::vector<std::string>{"properties", "layout", "background", "styles", "colors",
                                               "genders", "collectables", "nameindices"}));
    EXPECT_EQ(save->getVector("collectables").childCount(), 18) << "every cell, also those without one";
    save->setSavePath("save.xml");
    ASSERT_EQ(save->save(), kernel::SaveResult::Saved);

    const LevelFile back("save.xml");
    ASSERT_EQ(back.rowCount(), 3);
    ASSERT_EQ(back.columnCount(), 4);
    for (int row = 1; row <= 3; ++row) {
        for (int column = 0; column <= 5; ++column) {
            SCOPED_TRACE(std::to_string(row) + "," + std::to_string(column));
            EXPECT_EQ(back.letterAt(row, column), file->letterAt(row, column));
            // A value beyond one digit is written as '-' and reads back as 0.
            EXPECT_EQ(back.colourAt(row, column),
                      file->colourAt(row, column) > 9 ? 0 : file->colourAt(row, column));
            EXPECT_EQ(back.genderAt(row, column), file->genderAt(row, column));
            EXPECT_EQ(back.styleAt(row, column), file->styleAt(row, column));
            EXPECT_EQ(back.collectableAt(row, column), file->collectableAt(row, column));
            EXPECT_EQ(back.nameIndexAt(row, column), file->nameIndexAt(row, column));
        }
    }
    EXPECT_EQ(file->colourAt(1, 0), 10) << "set directly";
    EXPECT_EQ(back.colourAt(1, 0), 0);
    EXPECT_EQ(back.letterAt(1, 0), 'q');
    EXPECT_EQ(back.letterAt(2, 1), '.') << "removed";
    EXPECT_EQ(back.letterAt(1, 2), 'P');
    EXPECT_EQ(back.backgroundValue("image"), "BG");
}

// The largest field: its ninth row is read, stored and written back like every other.
TEST_F(LevelFileTest, ANineRowLevelReadsBackWhole) {
    std::vector<std::string> layout(8, "qxxxxxxxxxxq");
    layout.push_back("qLsPcCxXlp.q");
    std::vector<std::string> digits(8, "000000000000");
    digits.push_back("123456789012");
    const SmartPtr<LevelFile> file = level(
        rows("layout", layout) + rows("colors", digits) + rows("genders", digits) + rows("styles", digits) +
        "<Vector id=\"collectables\"><Collectable row=\"9\" col=\"11\" type=\"7\"/></Vector>"
        "<Vector id=\"nameindices\"><Name row=\"9\" col=\"0\" nameindex=\"5\"/></Vector>");
    const auto ninthRowIsWhole = [&](const LevelFile& read) {
        ASSERT_EQ(read.rowCount(), 9);
        for (int column = 0; column < 12; ++column) {
            SCOPED_TRACE(column);
            EXPECT_EQ(read.letterAt(9, column), layout[8][static_cast<std::size_t>(column)]);
            EXPECT_EQ(read.colourAt(9, column), (column + 1) % 10);
            EXPECT_EQ(read.genderAt(9, column), (column + 1) % 10);
            EXPECT_EQ(read.styleAt(9, column), (column + 1) % 10);
        }
        EXPECT_TRUE(read.isVibCell(9, 1) && read.isClownCell(9, 1));
        EXPECT_TRUE(read.isEmptyCell(9, 10));
        EXPECT_EQ(read.collectableAt(9, 11), 7);
        EXPECT_EQ(read.nameIndexAt(9, 0), 5);
    };
    ninthRowIsWhole(*file);

    // As the field stores a board: the queue column and the field, never the right queue column.
    for (int column = 0; column <= 10; ++column) {
        file->storeCell(9, column,
                        {.removed = file->isEmptyCell(9, column),
                         .vib = file->isVibCell(9, column),
                         .party = file->isPartyCell(9, column),
                         .clown = file->isClownCell(9, column),
                         .chained = file->isChainedCell(9, column),
                         .stubborn = file->isStubbornCell(9, column),
                         .colour = file->colourAt(9, column),
                         .gender = file->genderAt(9, column),
                         .style = file->styleAt(9, column),
                         .collectable = file->collectableAt(9, column),
                         .nameIndex = file->nameIndexAt(9, column)});
    }
    const SmartPtr<kernel::ValueDocument> save(new kernel::ValueDocument());
    file->writeXml(*save);
    save->setSavePath("save.xml");
    ASSERT_EQ(save->save(), kernel::SaveResult::Saved);
    ninthRowIsWhole(LevelFile("save.xml"));
}

TEST_F(LevelFileTest, DecorationsArePlacedOnTheField) {
    const SmartPtr<LevelFile> file = level(
        "<Vector id=\"elements\"><Element type=\"grid\" image=\"FLOWER\" r=\"2\" c=\"3\"/>"
        "<Element type=\"grid\" image=\"BUSH\" r=\"1\" c=\"2\" w=\"3\" linkunder=\"background\"/>"
        "<Element type=\"fixed\" image=\"SUN\" x=\"600\" y=\"40\"/><Element type=\"cloud\" image=\"X\"/>"
        "<Element type=\"grid\" r=\"1\" c=\"2147483647\" w=\"2147483647\"/></Vector>");
    const auto columnX = [](int row, int column) { return 100 + column * 44 + row; };
    const auto rowY = [](int row, int) { return 50 + row * 40; };
    ASSERT_EQ(file->elementCount(), 5);
    struct Expected {
        const char* image;
        const char* layer;
        int x, y;
    };
    const Expected expected[] = {{"FLOWER", "backbuffer", 100 + 3 * 44 + 2, 129},
                                 {"BUSH", "background", (101 + 2 * 44 + 101 + 4 * 44) / 2, 89},
                                 {"SUN", "backbuffer", 600, 40},
                                 {"X", "backbuffer", 0x7FFFFFFF, 0x7FFFFFFF}};
    for (int i = 0; i < 4; ++i) {
        const LevelFile::Element placed = file->element(i, columnX, rowY);
        EXPECT_EQ(placed.image, expected[i].image);
        EXPECT_EQ(placed.layer, expected[i].layer);
        EXPECT_EQ(placed.x, expected[i].x) << i;
        EXPECT_EQ(placed.y, expected[i].y) << i;
    }
    file->element(
        4, [](int, int column) { return column; }, rowY);
    file->element(99, columnX, rowY);
}

// The level's picture is loaded when asked for, and only one level's picture is held at a time: those of
// levels before are let go once the field shows the new one, so a long game does not gather them all.
TEST_F(LevelFileTest, OnlyTheLevelsOwnBackgroundStaysLoaded) {
    const testsupport::RuntimeDir runtime;
    testsupport::PngPicture picture;
    picture.width = 4;
    picture.height = 2;
    picture.samples.assign(8, 90);
    dir.write("meadow.png", testsupport::encodePng(picture));
    dir.write("night.png", testsupport::encodePng(picture));
    kernel::ResourceManager* resources = kernel::ResourceManager::create();
    const kernel::SmartPtr<kernel::NodeValue> declaration = new kernel::NodeValue("backgrounds", "Node");
    declaration->setChild(
        new kernel::ScalarValue("name", game::ids::groupBackgrounds, kernel::Typing::Untyped));
    const kernel::SmartPtr<kernel::ResourceGroup> group = new kernel::ResourceGroup(*declaration);
    group->addResource("BG_MEADOW", new graphics::Image(std::string("meadow.png")));
    group->addResource("BG_NIGHT", new graphics::Image(std::string("night.png")));
    resources->addGroup(group);
    const auto isLoaded = [&](const char* id) {
        return resources->findResource(id, game::ids::groupBackgrounds)->isLoaded();
    };

    const kernel::SmartPtr<graphics::ImageBase> meadow =
        level(background(param("image", "BG_MEADOW")))->backgroundImage();
    ASSERT_TRUE(meadow);
    EXPECT_EQ(meadow->getWidth(), 4);
    EXPECT_TRUE(isLoaded("BG_MEADOW"));

    graphics::ImageBase* night = level(background(param("image", "BG_NIGHT")))->backgroundImage();
    ASSERT_NE(night, nullptr);
    EXPECT_FALSE(isLoaded("BG_MEADOW"));
    EXPECT_EQ(meadow->referenceCount(), 1) << "held only by what still shows it";
    EXPECT_EQ(level(background(param("image", "BG_NIGHT")))->backgroundImage(), night)
        << "the next level of the same picture keeps it";
    EXPECT_EQ(level(background(param("image", "BG_NONE")))->backgroundImage(), nullptr);
    kernel::ResourceManager::destroy();
}

} // namespace
