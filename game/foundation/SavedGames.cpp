#include "game/foundation/SavedGames.h"

#include "engine/kernel/PathUtil.h"
#include "game/foundation/GameGlobals.h"
#include "host/Files.h"
#include "host/System.h"
#include "host/Time.h"

#include <algorithm>
#include <filesystem>
#include <set>

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

// The saved games found unusable in this run, by their full path: each is named in the log once (it is
// asked for at every save and every look from the selection scene), and left alone for the rest of the
// run, even should it become readable meanwhile.
bool foundUnusable(const std::string& path, bool now, const std::string& reason) {
    static std::set<std::string> found;
    std::error_code ignored;
    const std::string full = (std::filesystem::current_path(ignored) / path).string();
    if (!now) {
        return found.contains(full);
    }
    if (found.insert(full).second) {
        host::ReportProblem(("The saved game \"" + path + "\" is left alone: " + reason + "\n").c_str());
    }
    return true;
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

kernel::StoredFile SavegameState(const std::string& playerName, std::int32_t mode) {
    const std::string path = SavegamePath(playerName, mode);
    std::string reason;
    const kernel::StoredFile state = kernel::storedFileState(path, &reason);
    return foundUnusable(path, state == kernel::StoredFile::Unusable, reason) ? kernel::StoredFile::Unusable
                                                                              : state;
}

bool SavegameExists(const std::string& playerName, std::int32_t mode) {
    return SavegameState(playerName, mode) == kernel::StoredFile::Readable;
}

void DeleteSavegame(const std::string& playerName, std::int32_t mode) {
    if (SavegameState(playerName, mode) != kernel::StoredFile::Readable) {
        return;
    }
    const std::string path = SavegamePath(playerName, mode);
    host::DeleteFile(path.c_str());
    for (int retry = 0; retry < deleteRetries && kernel::fileExists(path); ++retry) {
        host::Sleep(retryWaitMs);
        host::DeleteFile(path.c_str());
    }
}

} // namespace game
