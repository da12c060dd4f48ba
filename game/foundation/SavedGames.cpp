#include "game/foundation/SavedGames.h"

#include "engine/kernel/PathUtil.h"
#include "game/foundation/GameGlobals.h"
#include "host/Files.h"
#include "host/Time.h"

#include <algorithm>

namespace game {

namespace {

constexpr const char* savegameRoot = "media\\savegames\\";
constexpr const char* savegameFile = "save.xml";
constexpr int deleteRetries = 10;
constexpr int retryWaitMs = 10;

const char* modeFolder(std::int32_t mode) {
    switch (mode) {
    case gameModeVib:
        return "vib";
    case gameModeAction:
        return "action";
    case gameModeRelax:
        return "relax";
    default:
        return "";
    }
}

} // namespace

// The escaped form never holds "_._" or "_-_", so these forms meet no other name.
std::string savegameFolderName(const std::string& playerName) {
    if (playerName.empty()) {
        return "_-_";
    }
    if (std::all_of(playerName.begin(), playerName.end(), [](char c) { return c == '.'; })) {
        std::string dots;
        for (std::size_t i = 0; i < playerName.size(); ++i) {
            dots += "_._";
        }
        return dots;
    }
    return kernel::escapeFileName(playerName, false);
}

std::string SavegamePath(const std::string& playerName, std::int32_t mode) {
    const std::string folder = savegameRoot + savegameFolderName(playerName) + "\\" + modeFolder(mode);
    kernel::createDirectoryTree(folder);
    return folder + "\\" + savegameFile;
}

bool SavegameExists(const std::string& playerName, std::int32_t mode) {
    return kernel::fileExists(SavegamePath(playerName, mode));
}

void DeleteSavegame(const std::string& playerName, std::int32_t mode) {
    const std::string path = SavegamePath(playerName, mode);
    if (!kernel::fileExists(path)) {
        return;
    }
    host::DeleteFile(path.c_str());
    for (int retry = 0; retry < deleteRetries && kernel::fileExists(path); ++retry) {
        host::Sleep(retryWaitMs);
        host::DeleteFile(path.c_str());
    }
}

} // namespace game
