// The game's tool-tips as a player sees them: every tip the texts declare, painted by the declared renderer
// with the generated font wherever the pointer rests by an edge of the game, shows its box whole inside the
// game with its letters inside the box; and what the hint button's tip and the help say a hint costs is
// what the modes take for it.
#include "BuiltArt.h"

#include "engine/graphics/ImageFactory.h"
#include "engine/graphics/ImagePainter.h"
#include "engine/graphics/MemoryImage32.h"
#include "engine/kernel/PropertyStore.h"
#include "engine/ui/GameNode.h"
#include "engine/ui/Sprite.h"
#include "engine/ui/ToolTip.h"
#include "engine/ui/ToolTipLabel.h"
#include "game/foundation/GameIds.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

namespace content {
namespace {

using kernel::SmartPtr;
using kernel::WideString;
namespace ids = game::ids;

// Room round the game in the picture the tips are painted on, so that whatever passes an edge shows.
constexpr int margin = 40;

// The painted pixels' bounds in game coordinates, or an empty box when nothing was painted.
Box paintedBounds(const graphics::MemoryImage32& image) {
    int left = image.getWidth();
    int top = image.getHeight();
    int right = -1;
    int bottom = -1;
    for (int y = 0; y < image.getHeight(); ++y) {
        for (int x = 0; x < image.getWidth(); ++x) {
            if ((image.pixels32()[image.pixelIndex(x, y)] & 0xFFFFFF) != 0) {
                left = std::min(left, x);
                top = std::min(top, y);
                right = std::max(right, x);
                bottom = std::max(bottom, y);
            }
        }
    }
    return right < 0 ? Box{0, 0, 0, 0} : Box{left - margin, top - margin, right - left + 1, bottom - top + 1};
}

class BuiltToolTips : public BuiltArt {
protected:
    // The ids of every tip the texts declare, with their texts.
    std::vector<std::pair<std::string, WideString>> declaredTips() const {
        std::vector<std::pair<std::string, WideString>> tips;
        const Settings files;
        for (const auto& [id, value] : files.texts->namedChildren()) {
            if (id.starts_with("TOOLTIP_")) {
                tips.emplace_back(id, kernel::PropertyStore::getText(id));
            }
        }
        return tips;
    }
};

// Each tip, with the pointer resting along the right and the bottom edge, in the corner between them and
// by the left and top edges: the whole box lies inside the game, its border drawn, and the letters inside.
TEST_F(BuiltToolTips, EveryTipShowsItsWholeBoxInsideTheGameByEveryEdge) {
    const SmartPtr<kernel::Object> made = ui::DialogManager::instance()->createObject(ids::defaultToolTip);
    ASSERT_TRUE(made && made->isKindOf(ui::ToolTip::classInfo));
    auto& tip = static_cast<ui::ToolTip&>(*made);
    ASSERT_TRUE(tip.getRenderer() != nullptr && tip.getRenderer()->isKindOf(ui::ToolTipLabel::classInfo));
    const auto& label = static_cast<const ui::ToolTipLabel&>(*tip.getRenderer());
    tip.setShowDelay(0);
    const SmartPtr<ui::GameNode> root = new ui::GameNode();
    const SmartPtr<ui::Sprite> everywhere = new ui::Sprite(0, 0, screenWidth, screenHeight);
    root->addChild(everywhere.get());
    const SmartPtr<graphics::MemoryImage32> picture =
        graphics::createImage32(screenWidth + 2 * margin, screenHeight + 2 * margin);
    const SmartPtr<graphics::ImagePainter> painter = picture->createPainter();
    const std::vector<std::pair<int, int>> pointers = {{screenWidth - 1, 12},
                                                       {screenWidth - 1, 240},
                                                       {screenWidth - 4, screenHeight - 30},
                                                       {8, screenHeight - 1},
                                                       {320, screenHeight - 1},
                                                       {screenWidth - 1, screenHeight - 1},
                                                       {0, 0},
                                                       {0, screenHeight - 1},
                                                       {600, 460}};
    const std::vector<std::pair<std::string, WideString>> tips = declaredTips();
    ASSERT_GT(tips.size(), 10u);
    std::vector<std::string> found;
    for (const auto& [id, text] : tips) {
        everywhere->setToolTipText(text);
        for (const auto& [x, y] : pointers) {
            // A new rest of the pointer: the tip is placed afresh.
            tip.setRoot(nullptr);
            tip.setRoot(root.get());
            tip.onMouseMove(x, y, 0);
            tip.update(16);
            std::fill(picture->pixels32(),
                      picture->pixels32() +
                          static_cast<std::size_t>(picture->getWidth()) * picture->getHeight(),
                      0u);
            painter->setOrigin(margin, margin);
            tip.paintShown(*painter);
            const int padding = label.getPadding();
            const Box box{tip.getTipX() - padding, tip.getTipY() - padding, label.getWidth() + 2 * padding,
                          label.getHeight() + 2 * padding};
            const Box painted = paintedBounds(*picture);
            const std::string where = id + " at (" + std::to_string(x) + ", " + std::to_string(y) + ")";
            if (!inside(box, {0, 0, screenWidth, screenHeight})) {
                found.push_back(where + ": the box " + box.described() + " leaves the game");
            }
            if (painted.x != box.x || painted.y != box.y || painted.w != box.w || painted.h != box.h) {
                found.push_back(where + ": painted " + painted.described() + ", the box " + box.described());
            }
        }
    }
    EXPECT_TRUE(found.empty()) << joined(found);
}

// A share of the goal or of the level's time in words, as the texts tell it.
std::string shareInWords(double share) {
    const std::pair<double, const char*> words[] = {{0.05, "a twentieth"}, {0.1, "a tenth"},
                                                    {0.2, "a fifth"},      {0.25, "a quarter"},
                                                    {1.0 / 3, "a third"},  {0.5, "half"}};
    for (const auto& [value, text] : words) {
        if (std::abs(value - share) < 1e-6) {
            return text;
        }
    }
    return "";
}

// The hint button shows one tip in every mode, so the three modes take the same share for a hint, each of
// its bar: VIB of the level's time, ACTION and RELAX of the goal. The tip and the help's words on hints
// name that share.
TEST(HintCost, TheHintsTipAndTheHelpNameTheShareEveryModeTakes) {
    const StoredSettings settings;
    const double share = settings.store->doubleRef(ids::cfgHintPenaltyVib);
    EXPECT_DOUBLE_EQ(settings.store->doubleRef(ids::cfgHintPenaltyAction), share);
    EXPECT_DOUBLE_EQ(settings.store->doubleRef(ids::cfgHintPenaltyRelax), share);
    const std::string words = shareInWords(share);
    ASSERT_FALSE(words.empty()) << "no words for a share of " << share;
    const std::string tip = kernel::narrowString(kernel::PropertyStore::getText(ids::tooltipHintNormal));
    EXPECT_NE(tip.find(words), std::string::npos) << tip;
    std::string help;
    for (const WideString& page : settings.texts(ids::helpContents)) {
        const std::string text = kernel::narrowString(page);
        const std::size_t heading = text.find("]Hints[/font]");
        if (heading != std::string::npos) {
            help = text.substr(heading, text.find("[font=", heading) - heading);
        }
    }
    ASSERT_FALSE(help.empty()) << "the help has no words on hints";
    EXPECT_NE(help.find(words), std::string::npos) << help;
}

// Only VIB plays against a clock that runs out: ACTION's bar empties while the player waits (the game ends
// when no move is left) and RELAX has no clock. The selection scene's tips of the three modes say so.
TEST(ModeTips, OnlyVibsTipSpeaksOfATimeThatRunsOut) {
    const StoredSettings settings;
    const auto tip = [](const char* id) { return kernel::narrowString(kernel::PropertyStore::getText(id)); };
    for (const char* id : {"TOOLTIP_SELECTION_ACTION", "TOOLTIP_SELECTION_RELAX"}) {
        for (const char* words : {"time runs out", "race", "Race"}) {
            EXPECT_EQ(tip(id).find(words), std::string::npos) << id << ": " << tip(id);
        }
    }
    EXPECT_NE(tip("TOOLTIP_SELECTION_ACTION").find("bar"), std::string::npos);
}

} // namespace
} // namespace content
