// The typed codes in the ACTION scene as the selection scene starts it: the win code ends the level as won
// and the lose code as lost, each told once as the scene's own test would tell it; the party code turns a
// pibble of the idle field into a party pibble.
#include "engine/kernel/NodeValue.h"
#include "engine/platform/DataGathering.h"
#include "game/field/Pibble.h"
#include "game/field/PlayField.h"
#include "game/foundation/GameGlobals.h"
#include "game/frontend/CheatCodeManager.h"
#include "game/frontend/SelectionScene.h"

#include "ModeWorld.h"

#include <gtest/gtest.h>

#include <string>

namespace {

namespace ids = game::ids;

class CodesInPlay : public ::testing::Test {
protected:
    void SetUp() override {
        manager = game::CheatCodeManager::create();
        kernel::NodeValue declaration(ids::sceneSelection, "SelectionScene");
        menu = new game::SelectionScene(declaration);
        mode.enter();
        game::setLevelEndKind(0);
    }
    void TearDown() override {
        mode.world.scene->removeAllDialogs();
        game::CheatCodeManager::destroy();
    }

    void type(const std::string& text) const {
        for (const char c : text) {
            manager->typeCharacter(static_cast<unsigned char>(c));
        }
    }
    static std::size_t records() {
        return platform::DataGathering::instance()->getSessions().back().getRecords().size();
    }
    std::int32_t partyPibbles() const {
        const game::PlayField& field = *mode.world.field();
        std::int32_t count = 0;
        for (std::int32_t row = 1; row <= field.rowCount(); ++row) {
            for (std::int32_t column = 1; column <= field.columnCount(); ++column) {
                const game::Pibble* pibble = field.pibbleAt(row, column);
                count += pibble != nullptr && pibble->isParty() ? 1 : 0;
            }
        }
        return count;
    }

    modetest::ModeWorld mode{playtest::actionScene, modetest::levelEndDeclaration};
    game::CheatCodeManager* manager = nullptr;
    kernel::SmartPtr<game::SelectionScene> menu;
};

TEST_F(CodesInPlay, TheWinCodeEndsTheLevelAsWonOnce) {
    const std::size_t before = records();
    type("plinkmarrowtidesx");
    EXPECT_TRUE(mode.world.scene->isLevelEndSent());
    EXPECT_TRUE(mode.world.scene->isDialogOpen(ids::dialogLevelEnd));
    EXPECT_EQ(game::levelEndKind(), game::levelEndFinished);
    EXPECT_EQ(mode.world.field()->state(), game::fieldState::levelOver);
    EXPECT_FALSE(mode.world.scene->isGameOver());
    EXPECT_EQ(records(), before + 1);

    // Neither a second code nor the scene's own test tells this level's end again.
    game::setLevelEndKind(0);
    type("sowfernglimmerbat");
    type("plinkmarrowtidesx");
    mode.world.frames(100);
    EXPECT_EQ(game::levelEndKind(), 0);
    EXPECT_EQ(records(), before + 1);
}

TEST_F(CodesInPlay, TheLoseCodeEndsTheLevelAsLost) {
    type("sowfernglimmerbat");
    EXPECT_TRUE(mode.world.scene->isLevelEndSent());
    EXPECT_EQ(game::levelEndKind(), game::levelEndFailed);
    EXPECT_TRUE(mode.world.scene->isGameOver());
}

TEST_F(CodesInPlay, ThePartyCodeMakesAPartyPibbleOnTheIdleFieldOnly) {
    const std::int32_t before = partyPibbles();
    type("brisketon");
    EXPECT_EQ(partyPibbles(), before + 1);

    mode.world.field()->incRunningAnimations();
    type("brisketon");
    EXPECT_EQ(partyPibbles(), before + 1);
    mode.world.field()->decRunningAnimations();
}

} // namespace
