// Feeds arbitrary bytes to the game's profile reader, as a damaged or hostile player list and profile would
// be: the profile is loaded through the player manager, asked everything the game asks of it, changed by the
// operations that index its tables, saved and loaded once more. Loading alone must leave the file as it was.
// An input holds the list and the profile one after another, cut by the marker line of FuzzFolder.h.

#include "engine/platform/PlayerManager.h"
#include "game/foundation/GameIds.h"
#include "game/foundation/PibblePlayer.h"

#include "FuzzFolder.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

using game::PibblePlayer;

std::string fileText(const char* path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Each value is widened before it is added: a profile may hold any int, so int sums would overflow here.
template <class... Values> void add(std::int64_t& sum, Values... values) {
    ((sum += static_cast<std::int64_t>(values)), ...);
}

std::int64_t askEverything(PibblePlayer& player) {
    std::int64_t sum = 0;
    add(sum, player.completionPercent(), player.vibLevelsDone(), player.biggestCombo(), player.totalMatches(),
        player.claimedCollectableCount(), player.firstQueuedCollectable(), player.queuedCollectableCount(),
        player.gamemodeSaveFlag(), player.secondsPlayed());
    for (int id = -1; id <= 32; ++id) {
        add(sum, player.isCollectableClaimed(id), player.claimTime(id), player.dataGatherAvailable(id),
            player.dataGatherClaimed(id), player.isCollectableQueued(id), player.numMatches(id),
            player.comboPerformed(id));
    }
    for (int difficulty = -1; difficulty <= 2; ++difficulty) {
        add(sum, player.highestVibChapter(difficulty), player.highestVibLevel(difficulty),
            player.highestActionLevel(difficulty), player.highestRelaxLevel(difficulty));
    }
    for (int mode = -1; mode <= 3; ++mode) {
        add(sum, PibblePlayer::isHardModeUnlocked(mode), player.hasSeenHowToPlay(mode));
    }
    for (const char* hint : game::ids::hints) {
        add(sum, player.isHintEnabled(hint));
    }
    return sum;
}

void change(PibblePlayer& player) {
    const int id = player.firstQueuedCollectable();
    player.claimCollectable(id);
    player.queueCollectableRandomly(id);
    player.countMatch(player.numPibblesRemoved());
    player.addPibblesRemoved(player.numStubbornRemoved());
    player.addStubbornRemoved(player.numPibblesRemoved());
    player.addTwoStubbornMatches(player.twoStubbornMatches());
    player.setComboPerformed(player.twoStubbornMatches());
    player.setShowHints(!player.showHints());
    player.markChanged();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzing::workInScratch();
    std::error_code ignored;
    std::filesystem::remove_all("players", ignored);
    const auto parts = fuzzing::splitParts(data, size, 2);
    fuzzing::writeFile("players/players.plrs", parts[0]);
    fuzzing::writeFile("players/A.plr", parts[1]);

    platform::PlayerManager::create()->loadAll();
    if (fileText("players/A.plr") != parts[1]) {
        std::abort();
    }
    if (PibblePlayer* player = game::currentPlayer()) {
        askEverything(*player);
        change(*player);
        askEverything(*player);
    }
    (void)platform::PlayerManager::instance()->saveAll();
    platform::PlayerManager::destroy();
    platform::PlayerManager::create()->loadAll();
    if (PibblePlayer* player = game::currentPlayer()) {
        askEverything(*player);
    }
    platform::PlayerManager::destroy();
    return 0;
}
