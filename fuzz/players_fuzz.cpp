// Feeds arbitrary bytes to the readers of the player list, a profile and the score tables, as damaged or
// hostile files in the players folder would be; what was read is written back and read once more. An input
// holds the three files one after another, cut by the marker line of FuzzFolder.h.

#include "engine/kernel/NodeValue.h"
#include "engine/kernel/ObjectFactory.h"
#include "engine/kernel/ScalarValue.h"
#include "engine/platform/HighScoreManager.h"
#include "engine/platform/PlayerManager.h"

#include "FuzzFolder.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

namespace {

// A game's profile: one key of its own beside the base's.
class FuzzPlayer : public platform::Player {
public:
    using Player::Player;
    void writeXml(kernel::NodeValue& node) override {
        Player::writeXml(node);
        node.setChild(new kernel::ScalarValue("level", level, kernel::Typing::Untyped));
    }
    void readXml(kernel::NodeValue& node) override {
        Player::readXml(node);
        level = node.getValue("level").asInt();
    }
    std::string getClassName() const override { return "FuzzPlayer"; }

    int level = 0;
};

kernel::Object* makeFuzzPlayer(kernel::Value& settings) {
    return new FuzzPlayer(settings.asNode());
}
const kernel::ClassRegistrar registerFuzzPlayer("FuzzPlayer", makeFuzzPlayer);

void loadSaveAndLoadPlayers() {
    platform::PlayerManager::create()->loadAll();
    if (platform::Player* current = platform::PlayerManager::instance()->getCurrentPlayer()) {
        current->markChanged();
    }
    // Whether the save worked matters only through what the second load finds.
    (void)platform::PlayerManager::instance()->saveAll();
    platform::PlayerManager::destroy();
    platform::PlayerManager::create()->loadAll();
    platform::PlayerManager::destroy();
}

void loadSaveAndLoadScores() {
    platform::HighScoreManager::create()->load();
    (void)platform::HighScoreManager::instance()->save();
    platform::HighScoreManager::destroy();
    platform::HighScoreManager::create()->load();
    platform::HighScoreManager::destroy();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzing::workInScratch();
    std::error_code ignored;
    std::filesystem::remove_all("players", ignored);
    const auto parts = fuzzing::splitParts(data, size, 3);
    fuzzing::writeFile("players/players.plrs", parts[0]);
    fuzzing::writeFile("players/A.plr", parts[1]);
    fuzzing::writeFile("players/scores.xml", parts[2]);
    loadSaveAndLoadPlayers();
    loadSaveAndLoadScores();
    return 0;
}
