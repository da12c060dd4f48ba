// The end of a run over the VIB scene with its chapter map open: the chapter chosen on the map becomes the
// saved game, at its first level with the score kept; without the map nothing is saved.
#include "engine/kernel/ValueDocument.h"
#include "game/foundation/GameGlobals.h"
#include "game/frontend/DialogPibble.h"
#include "game/run/RunGame.h"

#include "../play/VibWorld.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

namespace ids = game::ids;

const char* const savePath = "media/savegames/Ann/vib/save.xml";

TEST(ChapterMapAtExit, TheChosenChapterIsSavedAtItsFirstLevel) {
    vibtest::VibWorld world{R"(<DialogProgress id="DIALOG_PROGRESS" width="640" height="480" />)"};
    world.enter();
    world.field().setScore(555);
    EXPECT_FALSE(game::commitChapterMap());
    EXPECT_FALSE(std::filesystem::exists(savePath));

    game::setProgressMapChapter(3, true);
    game::DialogPibble::openDialog(ids::dialogProgress, &world.scene(), true);
    ASSERT_TRUE(world.scene().isDialogOpen(ids::dialogProgress));
    EXPECT_TRUE(game::commitChapterMap());
    ASSERT_TRUE(std::filesystem::exists(savePath));
    const kernel::SmartPtr<kernel::ValueDocument> saved = new kernel::ValueDocument(savePath);
    saved->load();
    const kernel::NodeValue& properties = saved->getNode("properties");
    EXPECT_EQ(properties.getValue("chapterNr").asInt(), 3);
    EXPECT_EQ(properties.getValue("levelNr").asInt(), 1);
    EXPECT_EQ(properties.getValue("score").asInt(), 555);
    world.scene().removeAllDialogs();
    game::setProgressMapChapter(0, false);
}

} // namespace
