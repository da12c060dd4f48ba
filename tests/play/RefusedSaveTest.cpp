// A saved game that is not continued, through real files in each mode's scene as the selection scene starts
// it: a save the reader cannot take whole, or one holding a value the game never writes, gives a new game,
// is named in the log with the reason, and is kept once beside its path before the new game replaces it.
#include "game/foundation/SavedGames.h"

#include "DebugOutput.h"
#include "ModeWorld.h"
#include "VibWorld.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace {

using modetest::leave;
using modetest::ModeWorld;
using modetest::savedAtLevelThree;
using modetest::savePath;
using vibtest::VibWorld;
namespace ids = game::ids;
namespace fs = std::filesystem;

std::string copyPath(std::int32_t mode, int number = 1) {
    return savePath(mode) + ".damaged" + (number > 1 ? std::to_string(number) : std::string());
}

// The line the refusal leaves in the log, up to its reason.
std::string refusal(std::int32_t mode) {
    return "The saved game \"" + game::SavegamePath("Ann", mode) + "\" is not continued: ";
}

// One change to a whole save, and a word of the reason the log must give for it.
struct Edit {
    std::string what;
    std::function<std::string(std::string)> apply;
    std::string reason;
};

// The value of a key of "properties" replaced; an empty value takes the key away.
Edit property(const std::string& key, const std::string& value) {
    return {key + "=" + value,
            [key, value](std::string save) {
                const std::size_t node = save.find("id=\"properties\"");
                const std::size_t at = save.find(" " + key + "=\"", node);
                EXPECT_LT(at, save.find('>', node)) << key;
                const std::size_t from = at + key.size() + 3;
                const std::size_t end = save.find('"', from) + 1;
                return value.empty() ? save.erase(at, end - at) : save.replace(from, end - 1 - from, value);
            },
            "\"" + key + "\""};
}

// A character of a row of a grid section replaced (rows and characters from 0).
Edit character(const std::string& section, int row, int column, char replacement) {
    return {section + " " + replacement,
            [=](std::string save) {
                std::size_t at = save.find("<Vector id=\"" + section + "\"");
                for (int i = 0; i <= row; ++i) {
                    at = save.find("data=\"", at) + 6;
                }
                save[at + static_cast<std::size_t>(column)] = replacement;
                return save;
            },
            "\"" + section + "\""};
}

// The first occurrence of a text replaced.
Edit replaced(const std::string& text, const std::string& replacement, const std::string& reason) {
    return {text + " -> " + replacement,
            [=](std::string save) {
                const std::size_t at = save.find(text);
                EXPECT_NE(at, std::string::npos) << text;
                return save.replace(at, text.size(), replacement);
            },
            reason};
}

// Values no mode writes, and grid contents the game never stores.
std::vector<Edit> sharedEdits() {
    return {property("score", "-1"),
            property("score", "12abc"),
            property("score", "99999999999"),
            property("difficulty", "2"),
            property("numcolors", "0"),
            property("numcolors", "8"),
            character("layout", 1, 2, 'z'),
            character("colors", 1, 2, '9'),
            character("genders", 0, 3, '-'),
            character("styles", 2, 1, '3'),
            replaced("<Row data=\"", "<Row data=\"x", "characters, not"),
            replaced("<Collectable type=\"0\"", "<Collectable type=\"31\"", "\"collectables\""),
            replaced("<Collectable type=\"0\" col=\"0\" row=\"1\"",
                     "<Collectable type=\"0\" col=\"0\" row=\"0\"", "\"collectables\""),
            replaced("<Name nameindex=\"0\"", "<Name nameindex=\"-1\"", "\"nameindices\"")};
}

// The log names the save with the reason, and a copy holds what the save held.
void expectRefusal(const std::string& log, std::int32_t mode, const std::string& reason,
                   const std::string& save) {
    const std::size_t line = log.find(refusal(mode));
    ASSERT_NE(line, std::string::npos) << log;
    EXPECT_NE(log.find(reason, line), std::string::npos) << log;
    EXPECT_EQ(testsupport::TempDir::read(copyPath(mode)), save);
}

// Whatever was wrong with it, a refused save is kept once before the new game's first save replaces it:
// continued again it is not kept again, and the copy outlives the save.
TEST(RefusedSave, ARefusedSaveIsKeptOnceBeforeTheNewGameReplacesIt) {
    ModeWorld mode(playtest::actionScene);
    const std::string whole = savedAtLevelThree(mode);
    const std::size_t layout = whole.find("<Vector id=\"layout\"");
    const std::size_t colours = whole.find("<Vector id=\"colors\"");
    const std::size_t coloursEnd = whole.find("</Vector>", colours) + 9;
    std::string flipped = whole;
    flipped[whole.find("levelNr=\"3\"") + 9] ^= 0x10;
    std::string notUtf8 = whole;
    notUtf8.replace(whole.find("levelNr=\"3\"") + 9, 1, "\xC3\x28");
    std::string deep = whole.substr(0, layout);
    for (int level = 0; level < 100000; ++level) {
        deep += "<Vector>";
    }
    const struct {
        const char* what;
        std::string save;
    } cases[] = {
        {"cut at 1 byte", whole.substr(0, 1)},
        {"cut at 700 bytes", whole.substr(0, 700)},
        {"cut in half", whole.substr(0, whole.size() / 2)},
        {"empty", ""},
        {"a flipped bit", flipped},
        {"larger than any save",
         whole + "<!--" + std::string(kernel::ValueDocument::maxFileBytes, '-') + "-->"},
        {"100 000 deep", deep},
        {"not UTF-8", notUtf8},
        {"a section missing", whole.substr(0, colours) + whole.substr(coloursEnd)},
    };
    for (const auto& one : cases) {
        SCOPED_TRACE(one.what);
        const testsupport::DebugOutput output;
        mode.world.folder.write(savePath(mode.mode), one.save);
        for (int entered = 0; entered < 2; ++entered) {
            mode.enter(game::startKindContinue, game::difficultyFromSave);
            EXPECT_EQ(mode.levelNr(), 1);
            leave(mode);
        }
        const std::string log = output.take();
        EXPECT_NE(log.find(refusal(mode.mode)), std::string::npos) << log;
        const std::string kept = "it is kept as \"" + game::SavegamePath("Ann", mode.mode) + ".damaged\"";
        ASSERT_NE(log.find(kept), std::string::npos) << log;
        EXPECT_EQ(log.find(kept, log.find(kept) + 1), std::string::npos) << "kept once: " << log;

        mode.enter(game::startKindContinue, game::difficultyFromSave);
        mode.world.scene->saveGame();
        EXPECT_FALSE(mode.world.scene->gameSaveFailed());
        EXPECT_NE(testsupport::TempDir::read(savePath(mode.mode)), one.save);
        EXPECT_TRUE(testsupport::TempDir::read(copyPath(mode.mode)) == one.save);
        EXPECT_FALSE(fs::exists(copyPath(mode.mode, 2)));
        leave(mode);
        fs::remove(copyPath(mode.mode));
    }
}

// Each value of a save is read with the range the game writes it in; one outside it refuses the save, which
// gives a new game at level 1. At level 3 the chance's minimum is 20, and no tuning row's goal comes near the
// largest number.
TEST(RefusedSave, AValueTheGameNeverWritesRefusesTheSave) {
    const struct {
        const playtest::SceneKind& kind;
        std::vector<Edit> own;
    } modes[] = {
        {playtest::actionScene,
         {property("levelNr", "0"), property("levelNr", ""), property("numPibbles", "-1"),
          property("numPibblesGoal", "0"), property("numPibblesGoal", "2147483647"),
          property("stubbornTimer", "999999"), property("stubbornTimerStart", "0"),
          property("penaltyTimer", "-1"), property("penaltyTimer", "999999"),
          property("penaltyTimerStart", "-5"), property("chanceMinus", "-1"),
          property("chanceMultiplier", "-1")}},
        {playtest::relaxScene,
         {property("levelNr", "-3"), property("chanceValueMinimum", "-1"),
          property("chanceValueCurrent", "-1"), property("chanceValueCurrent", "19"),
          property("chanceValueStart", "-1"), property("numPibbles", "-1"), property("numPibblesGoal", "0"),
          property("numPibblesGoal", "2147483647"), property("chanceDelta3", "x")}},
    };
    for (const auto& one : modes) {
        SCOPED_TRACE(one.kind.className);
        ModeWorld mode(one.kind);
        const std::string whole = savedAtLevelThree(mode);
        std::vector<Edit> refused = sharedEdits();
        refused.insert(refused.end(), one.own.begin(), one.own.end());
        for (const Edit& edit : refused) {
            SCOPED_TRACE(edit.what);
            const std::string save = edit.apply(whole);
            const testsupport::DebugOutput output;
            mode.world.folder.write(savePath(mode.mode), save);
            mode.enter(game::startKindContinue, game::difficultyFromSave);
            EXPECT_EQ(mode.levelNr(), 1);
            expectRefusal(output.take(), mode.mode, edit.reason, save);
            leave(mode);
            fs::remove(copyPath(mode.mode));
        }
    }
}

// A VIB save's place in the course and its clock: a clock past its end (or with more left than the level
// gives) is refused before the field could lose the level, delete the save and enter the table. The whole
// clock, and one run down to its last seconds, are the game's own.
TEST(RefusedSave, AVibSaveOutsideTheCourseOrItsClockIsRefused) {
    std::string whole;
    {
        VibWorld vib;
        vib.enter();
        vib.scene().setChapterNr(3);
        vib.scene().setLevelNr(4);
        vib.field().setScore(210);
        vib.scene().saveGame();
        whole = testsupport::TempDir::read(savePath(game::gameModeVib));
        ASSERT_NE(whole.find("time=\"75\""), std::string::npos) << whole;
    }
    const struct {
        Edit edit;
        bool continued;
    } cases[] = {{property("chapterNr", "0"), false},   {property("chapterNr", "11"), false},
                 {property("levelNr", "0"), false},     {property("levelNr", "8"), false},
                 {property("time", "0"), false},        {property("time", "2147484"), false},
                 {property("timeleft", "-100"), false}, {property("timeleft", "76"), false},
                 {property("timeleft", "75"), true},    {property("timeleft", "2"), true}};
    for (const auto& one : cases) {
        SCOPED_TRACE(one.edit.what);
        VibWorld vib;
        const std::string save = one.edit.apply(whole);
        vib.world.folder.write(savePath(game::gameModeVib), save);
        const int entries = vib.scores().getEntryCount();
        const testsupport::DebugOutput output;
        vib.enter(game::startKindContinue, game::difficultyFromSave);
        EXPECT_EQ(vib.scene().getChapterNr(), one.continued ? 3 : 1);
        EXPECT_EQ(vib.field().getScore(), one.continued ? 210 : 0);
        if (one.continued) {
            EXPECT_FALSE(fs::exists(copyPath(game::gameModeVib)));
            continue;
        }
        vib.frames(10);
        EXPECT_GT(vib.field().getTimeLeft(), 0);
        EXPECT_EQ(vib.scores().getEntryCount(), entries);
        EXPECT_EQ(testsupport::TempDir::read(savePath(game::gameModeVib)), save);
        expectRefusal(output.take(), game::gameModeVib, one.edit.reason, save);
    }
}

} // namespace
