#include "engine/kernel/ObjectFactory.h"
#include "engine/kernel/ScalarValue.h"
#include "engine/kernel/ValueDocument.h"
#include "engine/platform/PlayerManager.h"

#include "DebugOutput.h"
#include "PlayerFilesFixture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <vector>

using platform::PlayerManager;

namespace {

// A game's profile: one key of its own, and a count of deselections.
class TestPlayer : public platform::Player {
public:
    using Player::Player;
    void setLevel(int value) {
        level = value;
        markChanged();
    }
    void writeXml(kernel::NodeValue& node) override {
        Player::writeXml(node);
        node.setChild(new kernel::ScalarValue("level", level, kernel::Typing::Untyped));
    }
    void readXml(kernel::NodeValue& node) override {
        Player::readXml(node);
        level = node.getValue("level").asInt();
    }
    void onDeselect() override { ++deselected; }
    std::string getClassName() const override { return "TestPlayer"; }

    int level = 0;
    int deselected = 0;
};

kernel::Object* makeTestPlayer(kernel::Value& settings) {
    return new TestPlayer(settings.asNode());
}
const kernel::ClassRegistrar registerTestPlayer("TestPlayer", makeTestPlayer);
// As a game registers its profile class: players found again from their profiles are made by this name.
const kernel::ClassRegistrar registerAsProfile("Player", makeTestPlayer);

constexpr const char* listFile = "players/players.plrs";

class Players : public testsupport::PlayerFilesFixture {
protected:
    static PlayerManager& manager() { return *PlayerManager::create(); }
    static TestPlayer* add(const std::string& name) {
        return static_cast<TestPlayer*>(manager().addPlayer(new TestPlayer(name)));
    }
    static TestPlayer* current() { return static_cast<TestPlayer*>(manager().getCurrentPlayer()); }
    static void restart() {
        PlayerManager::destroy();
        manager().loadAll();
    }
};

TEST_F(Players, ListAndCurrentProfileSurviveARestart) {
    TestPlayer* ann = add("Ann");
    add("Bob B")->setLevel(9);
    EXPECT_EQ(current(), ann);
    ann->setLevel(7);
    ASSERT_TRUE(manager().saveAll());
    EXPECT_TRUE(has(listFile, "<TestPlayer name=\"Bob B\""));

    restart();
    ASSERT_EQ(manager().getPlayerCount(), 2);
    EXPECT_EQ(current()->getName(), "Ann");
    EXPECT_EQ(current()->level, 7);
    // Only the current profile is written: Bob's file still holds what addPlayer wrote.
    ASSERT_TRUE(manager().selectPlayer("Bob B"));
    EXPECT_EQ(current()->level, 0);
    for (const auto& [name, taken] : std::vector<std::pair<std::string, bool>>{
             {"Ann", true}, {"ann", false}, {"Bob B", true}, {"Bob_0_B", false}}) {
        EXPECT_EQ(manager().nameExists(name), taken) << name;
    }
}

TEST_F(Players, SelectWritesOnlyAChangedProfileAndDeleteMovesTheCurrentPlayer) {
    TestPlayer* ann = add("Ann");
    add("Bob");
    TestPlayer* cy = add("Cy");
    std::filesystem::remove("players/Ann.plr");
    ASSERT_TRUE(manager().selectPlayer("Bob"));
    EXPECT_FALSE(exists("players/Ann.plr"));
    EXPECT_EQ(ann->deselected, 1);
    current()->setLevel(3);
    ASSERT_TRUE(manager().selectPlayer("Ann"));
    EXPECT_TRUE(has("players/Bob.plr", "level=\"3\""));
    EXPECT_FALSE(manager().selectPlayer("Nobody") || manager().deletePlayer("Nobody"));

    ASSERT_TRUE(manager().deletePlayer("Bob"));
    EXPECT_FALSE(exists("players/Bob.plr") || has(listFile, "Bob"));
    ASSERT_TRUE(manager().deletePlayer("Ann"));
    EXPECT_EQ(current(), cy);
    EXPECT_TRUE(has(listFile, "currentplayer=\"Cy\""));
    ASSERT_TRUE(manager().deletePlayer("Cy"));
    EXPECT_FALSE(current() || has(listFile, "currentplayer"));
}

TEST_F(Players, ScrambledModesKeepTheFilesOnDiskWithTheSuffix) {
    for (const auto& [mode, stored] : std::vector<std::pair<int, std::string>>{
             {2, "players/x.plr"}, {3, "players/x.plr.!"}, {4, "players/x.plr.!"}}) {
        PlayerManager::destroy();
        kernel::ZipArchive::create("", mode);
        add("x")->setLevel(5);
        ASSERT_TRUE(manager().saveAll());
        EXPECT_EQ(has(stored, "level"), mode == 2) << mode;
        restart();
        ASSERT_NE(current(), nullptr);
        EXPECT_EQ(current()->level, 5) << mode;
        ASSERT_TRUE(manager().deletePlayer("x"));
        EXPECT_FALSE(exists(stored)) << mode;
    }
}

TEST_F(Players, DamagedFilesFallBackAndStayUntilTheNextWrite) {
    const std::string list = "<root><Players id=\"players\" currentplayer=\"A\"><Vector id=\"playernames\">"
                             "<TestPlayer name=\"A\"/></Vector></Players></root>";
    const std::string profile = "<root><Player id=\"player\" level=\"4\"/></root>";
    std::string deepNodes;
    for (int level = 0; level < 50000; ++level) {
        deepNodes += "<Node>";
    }
    struct Case {
        std::string list, profile;
        int count, level;
    };
    // A list that was not read whole finds its players again from their profiles.
    const std::vector<Case> cases = {
        {"", profile, 1, 4},
        {"\x01garbage<<", profile, 1, 4},
        {list.substr(0, 110), profile, 1, 4}, // what the reader made of a truncated file is kept
        {"<root><Players id=\"players\"><String id=\"playernames\" value=\"A\"/></Players></root>", profile,
         0, 0},
        // Unknown classes, a class that is no player and a scalar are left out; an unlisted current name
        // gives the first player.
        {"<root><Players id=\"players\" currentplayer=\"Z\"><Vector id=\"playernames\"><Nobody name=\"Q\"/>"
         "<HighScoreEntry/><Integer value=\"3\"/><TestPlayer name=\"A\"/></Vector></Players></root>",
         profile, 1, 4},
        {list, profile.substr(0, 30), 1, 0},
        {list, "<root><String id=\"player\" value=\"x\"/></root>", 1, 0},
        // Deeper than the parser's recursion could go.
        {list.substr(0, 71) + deepNodes, profile, 1, 4},
    };
    for (const Case& c : cases) {
        PlayerManager::destroy();
        std::filesystem::remove(listFile);
        dir.write(listFile, c.list);
        dir.write("players/A.plr", c.profile);
        manager().loadAll();
        ASSERT_EQ(manager().getPlayerCount(), c.count) << c.list;
        EXPECT_EQ(read(listFile), c.list);
        if (c.count > 0) {
            EXPECT_EQ(current()->level, c.level) << c.profile;
            ASSERT_TRUE(manager().saveAll());
            EXPECT_EQ(read("players/A.plr"), c.profile);
        }
    }
}

// A file that was not read whole still holds a player's progress: before the first save that replaces it,
// it is kept beside it under another name, once, and the debug output says what was wrong and where it went.
TEST_F(Players, AFileNotReadWholeIsKeptBeforeItsFirstSave) {
    const testsupport::DebugOutput output;
    const std::string list = "<root><Players id=\"players\" currentplayer=\"A\"><Vector id=\"playernames\">"
                             "<TestPlayer name=\"A\"/></Vector></Players></root>";
    const std::string damaged = "<root><Player id=\"player\" level=\"4\"/><Vector id=\"broken";
    dir.write(listFile, list);
    dir.write("players/A.plr", damaged);
    restart();
    ASSERT_NE(current(), nullptr);
    EXPECT_EQ(current()->level, 4) << "used as far as it reads";
    std::string heard = output.take();
    EXPECT_NE(heard.find("Reading \"players/A.plr\": "), std::string::npos) << heard;
    ASSERT_TRUE(manager().saveAll());
    EXPECT_FALSE(exists("players/A.plr.damaged")) << "unchanged, it is not written";
    EXPECT_EQ(read("players/A.plr"), damaged);

    current()->setLevel(5);
    ASSERT_TRUE(manager().saveAll());
    EXPECT_EQ(read("players/A.plr.damaged"), damaged);
    EXPECT_TRUE(has("players/A.plr", "level=\"5\""));
    heard = output.take();
    EXPECT_NE(heard.find("\"players/A.plr\" was not read whole; it is kept as \"players/A.plr.damaged\""),
              std::string::npos)
        << heard;
    current()->setLevel(6);
    ASSERT_TRUE(manager().saveAll());
    EXPECT_EQ(read("players/A.plr.damaged"), damaged) << "kept once";
    EXPECT_EQ(output.take(), "");

    // Damaged again: an earlier copy is never replaced. A list not read whole is kept the same way, and a
    // file that cannot be kept is still replaced by the save, with a word about it.
    const std::string damagedList = list.substr(0, list.size() - 10);
    dir.write(listFile, damagedList);
    dir.write("players/A.plr", "<root><Player id=\"player\" level=\"9\"/></r>");
    restart();
    EXPECT_EQ(current()->level, 9);
    current()->setLevel(10);
    ASSERT_TRUE(manager().saveAll());
    EXPECT_EQ(read("players/A.plr.damaged"), damaged);
    EXPECT_EQ(read("players/A.plr.damaged2"), "<root><Player id=\"player\" level=\"9\"/></r>");
    EXPECT_EQ(read("players/players.plrs.damaged"), damagedList);
    dir.write("players/A.plr", damaged);
    restart();
    current()->setLevel(11);
    host::testing::failCall("CreateHardLink");
    ASSERT_TRUE(manager().saveAll());
    EXPECT_TRUE(has("players/A.plr", "level=\"11\""));
    EXPECT_FALSE(exists("players/A.plr.damaged3"));
    EXPECT_NE(output.take().find("\"players/A.plr\" was not read whole and could not be kept"),
              std::string::npos);
}

// Far larger than any real profile: not read at all, so it costs no memory, and kept whole at the first save.
TEST_F(Players, AnOversizedProfileIsNotReadButKept) {
    const testsupport::DebugOutput output;
    add("A")->setLevel(3);
    ASSERT_TRUE(manager().saveAll());
    const std::string huge = "<root><Player id=\"player\" level=\"8\"/><!--" +
                             std::string(kernel::ValueDocument::maxFileBytes, '-') + "--></root>";
    dir.write("players/A.plr", huge);
    restart();
    EXPECT_EQ(current()->level, 0);
    EXPECT_NE(output.take().find("\"players/A.plr\": larger than 4194304 bytes, not read"),
              std::string::npos);
    current()->setLevel(1);
    ASSERT_TRUE(manager().saveAll());
    EXPECT_EQ(std::filesystem::file_size("players/A.plr.damaged"), huge.size());
    EXPECT_TRUE(has("players/A.plr", "level=\"1\""));
}

// Each listed player is a whole profile in memory: a list naming more than anyone keeps is damaged, its first
// players are taken with the current one, and the list is kept before a save rewrites it.
TEST_F(Players, AListOfMorePlayersThanAnyoneKeepsGivesItsFirstOnes) {
    const testsupport::DebugOutput output;
    std::string list = "<root><Players id=\"players\" currentplayer=\"p1003\"><Vector id=\"playernames\">";
    for (int i = 0; i < PlayerManager::maxListedPlayers + 5; ++i) {
        list += "<TestPlayer name=\"p" + std::to_string(i) + "\"/>";
    }
    list += "</Vector></Players></root>";
    dir.write(listFile, list);
    restart();
    EXPECT_EQ(manager().getPlayerCount(), PlayerManager::maxListedPlayers);
    EXPECT_EQ(current()->getName(), "p1003");
    EXPECT_NE(output.take().find("names more than 1000 players"), std::string::npos);
    ASSERT_TRUE(manager().saveAll());
    EXPECT_EQ(read("players/players.plrs.damaged"), list);
    EXPECT_TRUE(has(listFile, "\"p998\"") && has(listFile, "currentplayer=\"p1003\""));
    EXPECT_FALSE(has(listFile, "\"p999\"") || has(listFile, "p1000") || has(listFile, "p1004"));
    EXPECT_EQ(manager().getPlayers().back()->getName(), "p1003");
}

// A damaged list does not orphan a profile: the players whose profiles are in the folder are listed again
// (files that no name escapes to are no profiles), and a player made under the name of a profile that is
// there reads it rather than replacing it.
TEST_F(Players, ProfilesOutliveADamagedOrLostList) {
    const testsupport::DebugOutput output;
    add("Ann")->setLevel(7);
    add("Bob B_2");
    ASSERT_TRUE(manager().selectPlayer("Bob B_2"));
    current()->setLevel(2);
    ASSERT_TRUE(manager().saveAll());
    dir.write("players/x_9.plr", "");
    dir.write("players/a b.plr", "");
    const std::string list = read(listFile);
    dir.write(listFile, list.substr(0, list.find("<Vector") + 5));
    restart();
    ASSERT_EQ(manager().getPlayerCount(), 2);
    EXPECT_EQ(manager().getPlayers()[0]->getName(), "Ann");
    EXPECT_EQ(current()->getName(), "Bob B_2") << "the cut list still named the current one";
    EXPECT_EQ(current()->level, 2);
    EXPECT_NE(output.take().find("2 players were found again from their profiles"), std::string::npos);
    ASSERT_TRUE(manager().selectPlayer("Ann"));
    EXPECT_EQ(current()->level, 7);

    std::filesystem::remove(listFile);
    restart();
    EXPECT_FALSE(manager().hasPlayers());
    TestPlayer* ann = add("Ann");
    EXPECT_EQ(ann->level, 7);
    EXPECT_FALSE(ann->isChanged());
    EXPECT_TRUE(has("players/Ann.plr", "level=\"7\""));
}

// A well-formed list with an entry it cannot make a player of is damaged, not a first start: the players
// are found again from their profiles, the list is kept once before its rewrite (at exit) names them, and
// the log says why.
TEST_F(Players, AListEntryThatMakesNoPlayerIsDamage) {
    const struct {
        const char* entries;
        std::vector<std::string> names;
    } cases[] = {
        {"<EvilPlayer name=\"Alice\" />", {"Alice"}},
        {"<Integer id=\"Alice\" value=\"3\" />", {"Alice"}},
        {"<TestPlayer name=\"Bob\" /><EvilPlayer name=\"Alice\" />", {"Bob", "Alice"}},
    };
    for (const auto& one : cases) {
        SCOPED_TRACE(one.entries);
        std::filesystem::remove_all("players");
        PlayerManager::destroy();
        add("Alice")->setLevel(3);
        ASSERT_TRUE(manager().saveAll());
        const std::string list = std::string("<root><Players id=\"players\" currentplayer=\"Alice\">") +
                                 "<Vector id=\"playernames\">" + one.entries + "</Vector></Players></root>";
        dir.write(listFile, list);
        const testsupport::DebugOutput output;
        restart();
        std::vector<std::string> names;
        for (const auto& player : manager().getPlayers()) {
            names.push_back(player->getName());
        }
        EXPECT_EQ(names, one.names);
        ASSERT_NE(current(), nullptr);
        EXPECT_EQ(current()->getName(), "Alice");
        EXPECT_EQ(current()->level, 3);
        EXPECT_NE(output.take().find("the player list's entry \""), std::string::npos);

        ASSERT_TRUE(manager().saveAll());
        EXPECT_EQ(read("players/players.plrs.damaged"), list);
        EXPECT_TRUE(has(listFile, "name=\"Alice\""));
        restart();
        EXPECT_EQ(manager().getPlayerCount(), static_cast<int>(one.names.size()));
        ASSERT_TRUE(manager().saveAll());
        EXPECT_FALSE(exists("players/players.plrs.damaged2")) << "kept once";
        EXPECT_EQ(output.take().find("names no player"), std::string::npos);
    }
}

// A list or a profile that is there but cannot be read (no permission, a pipe) is not taken for a missing
// one: nothing is written over it in this run, and it holds nobody back.
TEST_F(Players, AFileThatCannotBeReadIsNeverSavedOver) {
    const testsupport::DebugOutput output;
    add("Ann")->setLevel(7);
    add("Bob");
    ASSERT_TRUE(manager().saveAll());
    host::testing::failCall("GetFileKind:players/Ann.plr", EACCES);
    restart();
    EXPECT_EQ(current()->level, 0);
    EXPECT_NE(output.take().find("Reading \"players/Ann.plr\": cannot be read"), std::string::npos);
    current()->setLevel(1);
    EXPECT_FALSE(manager().saveAll());
    host::testing::clearFailures();
    EXPECT_FALSE(manager().saveAll()) << "left alone for the whole run";
    EXPECT_TRUE(has("players/Ann.plr", "level=\"7\""));
    EXPECT_TRUE(manager().selectPlayer("Bob"));

    for (const char* file : {listFile, "players/Bob.plr"}) {
        std::filesystem::remove(file);
        ASSERT_EQ(::mkfifo(file, 0600), 0);
    }
    restart();
    EXPECT_EQ(manager().getPlayerCount(), 2) << "found again from their profiles";
    EXPECT_NE(output.take().find("not a usable file"), std::string::npos);
    EXPECT_FALSE(manager().saveAll());
    ASSERT_TRUE(manager().selectPlayer("Bob"));
    current()->setLevel(3);
    EXPECT_FALSE(manager().saveAll());
    EXPECT_TRUE(std::filesystem::is_fifo(listFile) && std::filesystem::is_fifo("players/Bob.plr"));
}

TEST_F(Players, AFailedWriteKeepsTheOldFilesAndReportsIt) {
    TestPlayer* ann = add("Ann");
    add("Bob");
    ASSERT_TRUE(manager().saveAll());
    const std::string oldList = read(listFile);
    const std::string oldProfile = read("players/Ann.plr");
    ann->setLevel(4);
    for (const char* step : {"writeFileAtomically:rename", "writeFileAtomically:write"}) {
        host::testing::failCall(step);
        EXPECT_FALSE(manager().saveAll() || manager().selectPlayer("Bob")) << step;
        host::testing::clearFailures();
        EXPECT_EQ(current(), ann);
        EXPECT_EQ(read(listFile), oldList);
        EXPECT_EQ(read("players/Ann.plr"), oldProfile);
        // The two profiles and the list, no temporary.
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator("players"), {}), 3);
    }
    ASSERT_TRUE(manager().saveAll());
    EXPECT_TRUE(has("players/Ann.plr", "level=\"4\""));
}

} // namespace
