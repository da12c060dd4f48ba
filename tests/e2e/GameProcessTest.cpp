// The walks' ending of what a copy of the game left running: a stand-in for the game (a shell script in a
// folder of its own) starts a process of its own and runs on or ends, as the game does when a message box's
// process outlives it.

#include "GameProcess.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace e2e {
namespace {

namespace fs = std::filesystem;

// Running, and not a zombie (that is gone, waiting only for its parent's look).
bool runs(pid_t process) {
    const std::string stat = readFile("/proc/" + std::to_string(process) + "/stat");
    const std::size_t state = stat.rfind(") ");
    return state != std::string::npos && stat.compare(state + 2, 1, "Z") != 0;
}

class LeftRunning : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/pibbles-process-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        folder = pattern;
    }
    void TearDown() override { fs::remove_all(folder); }

    void writeGame(const std::string& script) const {
        std::ofstream(folder / "pibbles") << "#!/bin/sh\n" << script << "\n";
        fs::permissions(folder / "pibbles", fs::perms::owner_all);
    }
    // The stand-in starts a sleep of its own and writes its pid before the rest of the script.
    void writeGameWithChild(const std::string& rest) const {
        writeGame("sleep 600 &\necho $! > child.pid\n" + rest);
    }

    // The sleep's pid, once the stand-in has written it.
    pid_t child(Game& game) const {
        game.within(
            10, [&] { return readFile(folder / "child.pid").ends_with('\n'); }, 10);
        return std::atoi(readFile(folder / "child.pid").c_str());
    }

    fs::path folder;
};

TEST_F(LeftRunning, EveryProcessOfTheCopyIsEndedAndNamed) {
    struct Case {
        const char* name;
        const char* rest;
        bool gameRuns;
    };
    for (const Case& with :
         {Case{"the game runs on", "exec sleep 600", true}, Case{"the game has ended", "exit 0", false}}) {
        SCOPED_TRACE(with.name);
        writeGameWithChild(with.rest);
        Game game(folder, folder / "game.log");
        const pid_t sleeping = child(game);
        ASSERT_GT(sleeping, 0);
        if (!with.gameRuns) {
            ASSERT_TRUE(game.exitedWithin(10));
        }
        const std::vector<std::string> ended = game.endLeftBehind();
        EXPECT_EQ(ended.size(), with.gameRuns ? 2U : 1U);
        bool named = false;
        for (const std::string& process : ended) {
            named = named || process == std::to_string(sleeping) + " (sleep 600)";
        }
        EXPECT_TRUE(named) << testing::PrintToString(ended);
        EXPECT_FALSE(runs(sleeping));
        EXPECT_FALSE(game.running());
        EXPECT_TRUE(game.endLeftBehind().empty());
        fs::remove(folder / "child.pid");
    }
}

// A row that failed leaves its copy to the object's end, which ends the copy's processes and counts the copy.
TEST_F(LeftRunning, TheCopysEndEndsWhatItLeftAndCountsIt) {
    writeGameWithChild("exec sleep 600");
    const int before = copiesThatLeftProcesses();
    pid_t sleeping = 0;
    pid_t process = 0;
    {
        Game game(folder, folder / "game.log");
        sleeping = child(game);
        process = game.process();
    }
    EXPECT_FALSE(runs(sleeping));
    EXPECT_FALSE(runs(process));
    EXPECT_EQ(copiesThatLeftProcesses(), before + 1);

    // One that left nothing is not counted.
    writeGame("exit 0");
    {
        Game game(folder, folder / "game.log");
        ASSERT_TRUE(game.exitedWithin(10));
    }
    EXPECT_EQ(copiesThatLeftProcesses(), before + 1);
}

} // namespace
} // namespace e2e
