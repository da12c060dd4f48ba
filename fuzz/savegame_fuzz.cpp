// Feeds arbitrary bytes to the continuing of a saved game, as a damaged or hostile save.xml would be: the
// same bytes are the player's save of each mode in turn, and each mode's scene is entered to continue it, the
// way the selection scene starts it. That runs the save through the level reader, PlayScene::loadGame, the
// mode's own values and their checks, onto the field; the game then plays a few frames of long and short
// steps, goes on to the next level, carries a finished level on as a quit does, and saves again. Entering
// must leave the save as it was: a continued game keeps its file until a newer save replaces it.
//
// The game's own tuning, texts and level catalogue are read from the source tree, and its level files with
// a smaller field.

#include "engine/kernel/ObjectFactory.h"
#include "engine/kernel/PropertyStore.h"
#include "engine/kernel/ResourceManager.h"
#include "engine/kernel/ValueDocument.h"
#include "engine/platform/HighScoreManager.h"
#include "engine/platform/PlayerManager.h"
#include "engine/ui/DialogManager.h"
#include "engine/ui/SceneManager.h"
#include "game/field/PlayField.h"
#include "game/foundation/GameGlobals.h"
#include "game/foundation/GameIds.h"
#include "game/foundation/LevelCatalogue.h"
#include "game/foundation/PibbleHighscoreEntry.h"
#include "game/foundation/PibblePlayer.h"
#include "game/foundation/PibbleScene.h"
#include "game/foundation/Random.h"
#include "game/foundation/SavedGames.h"
#include "game/play/PlayScene.h"

#include "FuzzFolder.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

namespace {

namespace ids = game::ids;

struct Mode {
    const char* className;
    const char* sceneName;
    std::int32_t number;
};
constexpr Mode modes[] = {{"PlaySceneVIB", ids::scenePlayVib, game::gameModeVib},
                          {"PlaySceneAction", ids::scenePlayAction, game::gameModeAction},
                          {"PlaySceneRelax", ids::scenePlayRelax, game::gameModeRelax}};

// Frames of the lengths a game meets: ordinary ones, a stall, and one long enough to run every timer out.
constexpr std::uint32_t frameLengths[] = {16, 16, 1000, 16, 60000, 16};

std::string source(const std::string& path) {
    return std::string(PIBBLES_SOURCE_DIR) + "/" + path;
}

std::string fileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string systemPath(std::string path) {
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

// The services a play scene reaches while it is entered and played, made once: the game's start-up
// settings, its catalogue and level files, a player who has seen every mode's rules, the highscore tables,
// and the three mode scenes with a plain scene to leave them for.
void makeWorld() {
    fuzzing::workInScratch();
    fuzzing::writeFile(game::LevelCatalogue::catalogueFile,
                       fileText(source(game::LevelCatalogue::catalogueFile)));
    // A refused save starts a new game; a small field keeps that quick (the game's own, nine by ten, takes
    // most of the time of an input to colour for its moves), and the save's own field is what is fuzzed.
    for (const char* file : {"media/levels/level_action.xml", "media/levels/level_relax.xml",
                             "media/levels/c01_l01.xml", "media/levels/c01_l02.xml"}) {
        std::string level = fileText(source(file));
        const std::size_t first = level.find("<Row data=\"");
        const std::size_t layoutEnd = level.find("</Vector>", first);
        if (first != std::string::npos && layoutEnd != std::string::npos) {
            level.replace(first, layoutEnd - first,
                          "<Row data=\"qxxxxq\" /><Row data=\"qxXxxq\" /><Row data=\"qxxxxq\" />");
        }
        fuzzing::writeFile(file, level);
    }
    fuzzing::writeFile("media/properties/collectables.xml", "<Rules><Vector id=\"collectables\" /></Rules>");

    kernel::PropertyStore::create();
    const kernel::SmartPtr<kernel::ValueDocument> settings(new kernel::ValueDocument());
    settings->addFile(source("media/properties/default.xml"));
    settings->addFile(source("locale/properties/text.xml"));
    settings->load();
    kernel::ObjectFactory::instance()->createChildren(*settings);
    kernel::ResourceManager::create();

    std::string declarations = "<Dialogs><Node id=\"dialogs\">";
    for (const Mode& mode : modes) {
        declarations += std::string("<") + mode.className + " id=\"" + mode.sceneName +
                        "\" width=\"640\" height=\"480\" />";
    }
    declarations += "</Node></Dialogs>";
    fuzzing::writeFile("dialogs.xml", declarations);
    ui::DialogManager::create("dialogs.xml");

    game::Random::create()->setSeed(4711);
    auto* player = new game::PibblePlayer("Ann");
    for (const Mode& mode : modes) {
        player->setSeenHowToPlay(mode.number, true);
    }
    platform::PlayerManager::create()->addPlayer(player);
    game::LevelCatalogue::create()->load();
    game::addMissingScoreTables(*platform::HighScoreManager::create());

    ui::SceneManager::create();
    for (const Mode& mode : modes) {
        ui::RegisterScene(mode.sceneName, static_cast<ui::Scene*>(
                                              ui::DialogManager::instance()->createDialog(mode.sceneName)));
    }
    ui::RegisterScene(ids::sceneSelection, new game::PibbleScene());
}

void frames() {
    for (const std::uint32_t ms : frameLengths) {
        ui::SceneManager::instance()->onFrame(ms);
    }
}

void continueAndPlay(const Mode& mode, std::string_view save) {
    const std::string path = systemPath(game::SavegamePath("Ann", mode.number));
    fuzzing::writeFile(path, save);
    game::setStartKind(game::startKindContinue);
    game::setDifficulty(game::difficultyFromSave);
    ui::SceneManager::instance()->changeScene(mode.sceneName);
    ui::SceneManager::instance()->onFrame(16);
    if (fileText(path) != save) {
        std::abort();
    }
    auto* scene = static_cast<game::PlayScene*>(game::PibbleScene::current());
    if (scene == nullptr || scene->getGameMode() != mode.number) {
        std::abort();
    }
    frames();
    scene->saveGame();
    if (mode.number == game::gameModeVib) {
        scene->finishVibLevel();
    } else {
        scene->gameFinishedForMode();
    }
    frames();
    scene->advanceLevelForQuit();
    scene->saveGame();
    // The scene is left in the frame after the switch.
    ui::SceneManager::instance()->changeScene(ids::sceneSelection);
    ui::SceneManager::instance()->onFrame(16);
    ui::SceneManager::instance()->onFrame(16);
    if (game::PlayField::instance() != nullptr) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool made = (makeWorld(), true);
    static_cast<void>(made);
    // Each input starts from the same draws of both the game's and the field's generators, so a finding
    // replays on its own.
    game::Random::instance()->setSeed(4711);
    std::srand(4711);
    const std::string_view save(reinterpret_cast<const char*>(data), size);
    for (const Mode& mode : modes) {
        continueAndPlay(mode, save);
    }
    return 0;
}
