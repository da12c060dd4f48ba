// The hint's bubble built as the game builds it, from its declaration, the generated bubble pictures and
// fonts and the game's own hint texts, pointing at every cell of every field the levels lay out: the
// bubble lies whole on the screen with its arrow at the pibble, its text and buttons lie on its body, and
// the veil darkens all but the bubble and the pibble (the clear room about the arrow included). The bubbles
// without a pibble (the time bar's, the one in the middle) keep every painted pixel on the screen.
#include "BuiltArt.h"

#if PIBBLES_CONTENT_WITH_GAME

#include "engine/graphics/ImageFactory.h"
#include "engine/graphics/ImagePainter.h"
#include "engine/graphics/MemoryImage32.h"
#include "engine/ui/DialogPainter.h"
#include "engine/ui/Scene.h"
#include "engine/ui/Sprite.h"
#include "game/field/FieldGridLayer.h"
#include "game/foundation/FieldCodes.h"
#include "game/foundation/GameIds.h"
#include "game/foundation/LevelFile.h"
#include "game/frontend/DialogHint.h"
#include "game/frontend/DialogPibble.h"

#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace content {
namespace {

namespace ids = game::ids;
using game::DialogHint;

struct Cell {
    std::int32_t row;
    std::int32_t column;
    int x;
    int y;
};

// The cells of one field as the levels lay it out: the field's rows by its columns and the queue column
// at their left, which is the only one that holds pibbles.
struct Field {
    std::string level;
    std::vector<Cell> cells;
};

std::vector<Field> levelFields() {
    std::set<std::tuple<int, int, int, int, int, int, int>> seen;
    std::vector<Field> fields;
    const std::filesystem::path folder = runPath("media/levels");
    for (const auto& file : std::filesystem::directory_iterator(folder)) {
        if (file.path().extension() != ".xml") {
            continue;
        }
        const game::LevelFile level(file.path().string());
        const game::FieldGridLayer::Geometry geometry = game::FieldGridLayer::Geometry::of(level);
        if (!seen.insert({level.rowCount(), level.columnCount(), geometry.cellWidth, geometry.cellHeight,
                          geometry.offsetY, geometry.offsetXField, geometry.offsetXQueue1})
                 .second) {
            continue;
        }
        const kernel::SmartPtr<game::FieldGridLayer> grid = new game::FieldGridLayer();
        grid->setGeometry(geometry);
        Field field{file.path().filename().string(), {}};
        for (std::int32_t row = game::cell::firstRow; row <= level.rowCount(); ++row) {
            for (std::int32_t column = game::cell::queueLeft; column <= level.columnCount(); ++column) {
                field.cells.push_back({row, column, grid->cellX(column), grid->cellY(row)});
            }
        }
        fields.push_back(std::move(field));
    }
    return fields;
}

// The bubble's frame drawn aside at the dialog's size.
SmartPtr<graphics::MemoryImage32> framePicture(ui::Dialog& dialog) {
    SmartPtr<graphics::MemoryImage32> picture =
        graphics::createImage32(dialog.getWidth(), dialog.getHeight());
    if (picture && dialog.getPainter() != nullptr) {
        const SmartPtr<graphics::ImagePainter> painter = picture->createPainter();
        dialog.getPainter()->paint(*painter);
        dialog.getPainter()->setChanged(true);
    }
    return picture;
}

int alphaAt(const graphics::MemoryImage32& image, int x, int y) {
    return static_cast<int>(image.pixels32()[image.pixelIndex(x, y)] >> 24);
}

class HintBubbles : public BuiltArt {
protected:
    void SetUp() override {
        BuiltArt::SetUp();
        if (!IsSkipped()) {
            scene = new ui::Scene();
        }
    }
    void TearDown() override {
        if (scene) {
            scene->removeAllDialogs();
            scene = nullptr;
        }
        BuiltArt::TearDown();
    }

    DialogHint* open(const std::string& key, ui::GameNode* target) {
        ui::Dialog* dialog = game::DialogPibble::openHint(key, target, scene.get());
        EXPECT_TRUE(dialog != nullptr && dialog->isKindOf(DialogHint::classInfo)) << key;
        return dialog != nullptr && dialog->isKindOf(DialogHint::classInfo) ? static_cast<DialogHint*>(dialog)
                                                                            : nullptr;
    }
    void close() {
        scene->removeDialog(ids::dialogHint);
        scene->removeDeadDescendants();
    }
    // The hint whose bubble grows tallest by its text.
    std::string tallestHint() {
        const SmartPtr<ui::GameNode> target = new ui::GameNode();
        target->setPosition(200, 200);
        std::string tallest;
        int height = 0;
        for (const char* key : ids::hints) {
            if (DialogHint* hint = open(key, target.get())) {
                if (hint->getHeight() > height) {
                    height = hint->getHeight();
                    tallest = key;
                }
            }
            close();
        }
        return tallest;
    }

    // The text, the switch, its caption and the button stand on the bubble's body.
    static void expectContentsOnTheBody(DialogHint& hint, const graphics::MemoryImage32& frame) {
        for (const char* name : {ids::labelHint, ids::hintSwitch, ids::labelShow, ids::buttonOk}) {
            const ui::GameNode* part = hint.findComponent(name);
            ASSERT_TRUE(part != nullptr && part->isKindOf(ui::Sprite::classInfo)) << name;
            const Box box = drawnBox(*static_cast<const ui::Sprite*>(part));
            for (const auto& [x, y] :
                 {std::pair{box.x, box.y}, std::pair{box.x + box.w - 1, box.y},
                  std::pair{box.x, box.y + box.h - 1}, std::pair{box.x + box.w - 1, box.y + box.h - 1}}) {
                ASSERT_TRUE(x >= 0 && y >= 0 && x < frame.getWidth() && y < frame.getHeight())
                    << name << " " << box.described() << " outside the dialog";
                EXPECT_EQ(alphaAt(frame, x, y), 255) << name << " " << box.described() << " off the body";
            }
        }
    }

    // Clear over the body and about the pibble, dark over the room the bubble leaves clear.
    static void expectTheVeilFollowsTheBubble(DialogHint& hint, const graphics::MemoryImage32& frame,
                                              const Cell& target) {
        const auto* veil = static_cast<const graphics::MemoryImage32*>(DialogHint::sharedVeilImage());
        ASSERT_NE(veil, nullptr);
        const int lightX = target.x;
        const int lightY = target.y - DialogHint::lightAboveFeet;
        EXPECT_EQ(alphaAt(*veil, lightX, lightY), 0) << "the pibble is lit";
        const int reachX = DialogHint::lightRadiusX + DialogHint::lightSoftness;
        const int reachY = DialogHint::lightRadiusY + DialogHint::lightSoftness;
        int darkRoom = 0;
        for (int y = 0; y < hint.getHeight(); ++y) {
            for (int x = 0; x < hint.getWidth(); ++x) {
                const int cover = alphaAt(frame, x, y);
                const int sx = hint.getX() + x;
                const int sy = hint.getY() + y;
                const bool nearThePibble = std::abs(sx - lightX) <= reachX && std::abs(sy - lightY) <= reachY;
                if (cover == 255) {
                    ASSERT_EQ(alphaAt(*veil, sx, sy), 0) << "under the body at " << x << "," << y;
                } else if (cover == 0 && !nearThePibble) {
                    ASSERT_EQ(alphaAt(*veil, sx, sy), DialogHint::veilAlpha)
                        << "beside the bubble at " << x << "," << y;
                    ++darkRoom;
                }
            }
        }
        EXPECT_GT(darkRoom, 0) << "the room about the arrow is veiled";
    }

    SmartPtr<ui::Scene> scene;
};

TEST_F(HintBubbles, BesideEveryPibbleOfEveryFieldTheBubbleLiesOnTheScreenAndPointsAtIt) {
    const std::vector<Field> fields = levelFields();
    ASSERT_FALSE(fields.empty());
    const std::string key = tallestHint();
    ASSERT_FALSE(key.empty());
    const SmartPtr<ui::GameNode> target = new ui::GameNode();
    for (const Field& field : fields) {
        for (const Cell& cell : field.cells) {
            SCOPED_TRACE(field.level + " row " + std::to_string(cell.row) + " column " +
                         std::to_string(cell.column) + " at " + std::to_string(cell.x) + "," +
                         std::to_string(cell.y) + ", " + key);
            target->setPosition(cell.x, cell.y);
            DialogHint* hint = open(key, target.get());
            ASSERT_NE(hint, nullptr);
            const Box bubble{hint->getX(), hint->getY(), hint->getWidth(), hint->getHeight()};
            EXPECT_TRUE(bubble.x >= 0 && bubble.y >= 0 && bubble.x + bubble.w <= screenWidth &&
                        bubble.y + bubble.h <= screenHeight)
                << bubble.described();
            EXPECT_TRUE(bubble.x == cell.x - DialogHint::arrowLeft ||
                        bubble.x + bubble.w == cell.x + DialogHint::arrowLeft)
                << bubble.described() << ": the arrow's side is not at the pibble";
            EXPECT_TRUE(bubble.y == cell.y - DialogHint::arrowAbove ||
                        bubble.y + bubble.h == cell.y + DialogHint::arrowBelow)
                << bubble.described() << ": the arrow's end is not at the pibble";
            const bool corner =
                (cell.row == game::cell::firstRow || cell.row == field.cells.back().row) &&
                (cell.column == game::cell::queueLeft || cell.column == field.cells.back().column);
            if (corner) {
                const SmartPtr<graphics::MemoryImage32> frame = framePicture(*hint);
                ASSERT_TRUE(frame);
                expectContentsOnTheBody(*hint, *frame);
                expectTheVeilFollowsTheBubble(*hint, *frame, cell);
            }
            close();
        }
    }
}

// The time bar's bubble reaches past the bottom with the room below its tail; the one in the middle is
// enlarged. Whatever they paint is on the screen.
TEST_F(HintBubbles, WithoutAPibbleEveryPaintedPixelOfTheBubbleIsOnTheScreen) {
    for (const char* key :
         {ids::hintTimeBarAction, ids::hintTimeBarRelax, ids::hintTimeBarVib, ids::hintClickFailed}) {
        SCOPED_TRACE(key);
        DialogHint* hint = open(key, nullptr);
        ASSERT_NE(hint, nullptr);
        const SmartPtr<graphics::MemoryImage32> frame = framePicture(*hint);
        ASSERT_TRUE(frame);
        int offScreen = 0;
        for (int y = 0; y < hint->getHeight(); ++y) {
            for (int x = 0; x < hint->getWidth(); ++x) {
                const int sx = hint->getX() + x;
                const int sy = hint->getY() + y;
                if (alphaAt(*frame, x, y) > 0 &&
                    (sx < 0 || sy < 0 || sx >= screenWidth || sy >= screenHeight)) {
                    ++offScreen;
                }
            }
        }
        EXPECT_EQ(offScreen, 0) << hint->getWidth() << " x " << hint->getHeight() << " at " << hint->getX()
                                << "," << hint->getY();
        expectContentsOnTheBody(*hint, *frame);
        close();
    }
}

} // namespace
} // namespace content

#endif
