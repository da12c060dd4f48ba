#include "engine/platform/PlayerManager.h"

#include "engine/kernel/ObjectFactory.h"
#include "engine/kernel/PathUtil.h"
#include "engine/kernel/ScalarValue.h"
#include "engine/kernel/SingleInstance.h"
#include "engine/kernel/TextConversion.h"
#include "engine/kernel/VectorValue.h"
#include "engine/platform/PlayerFiles.h"
#include "host/System.h"

#include <algorithm>
#include <string>

namespace platform {
namespace {

constexpr const char* listNode = "players";
constexpr const char* profileNode = "player";
constexpr const char* currentKey = "currentplayer";
constexpr const char* namesKey = "playernames";

PlayerManager* theManager = nullptr;

std::string escaped(const std::string& name) {
    return kernel::escapeFileName(name, false);
}

} // namespace

PlayerManager* PlayerManager::create() {
    return kernel::createSingleInstance(theManager, [] {
        auto* manager = new PlayerManager();
        manager->playersFolder = playerFilesFolder;
        return manager;
    });
}

PlayerManager* PlayerManager::instance() {
    return theManager;
}

void PlayerManager::destroy() {
    kernel::destroySingleInstance(theManager);
}

void PlayerManager::loadAll() {
    const kernel::SmartPtr<kernel::ValueDocument> document = load(listPath());
    if (!document) {
        return;
    }
    readFromNode(document->getNode(listNode));
    if (currentPlayer) {
        LoadPlayer(*currentPlayer);
    }
}

bool PlayerManager::saveAll() {
    const kernel::SmartPtr<kernel::NodeValue> node(new kernel::NodeValue(listNode, "Players"));
    writeToNode(*node);
    keepIfNotReadWhole(listPath());
    const bool listSaved = savePlayerFile(listPath(), node);
    const bool profileSaved = !currentPlayer || SavePlayer(*currentPlayer);
    return listSaved && profileSaved;
}

Player* PlayerManager::addPlayer(Player* player) {
    if (player == nullptr) {
        return nullptr;
    }
    if (players.empty()) {
        currentPlayer = player;
    }
    players.emplace_back(player);
    // A profile that cannot be written now stays marked changed, so the next save tries it again; the writer
    // has reported the failure.
    (void)SavePlayer(*player);
    return player;
}

bool PlayerManager::deletePlayer(const std::string& name) {
    const auto found = findPlayer(name);
    if (found == players.end()) {
        return false;
    }
    deletePlayerFile(profilePath(name));
    notReadWhole.erase(profilePath(name));
    const kernel::SmartPtr<Player> removed = *found;
    players.erase(found);
    // The game selects another player first; anyone else deleting the current one gets the first remaining
    // player, whose profile is read as on every change of the current player.
    if (removed == currentPlayer) {
        currentPlayer = players.empty() ? nullptr : players.front();
        if (currentPlayer) {
            LoadPlayer(*currentPlayer);
        }
    }
    return saveAll();
}

bool PlayerManager::nameExists(const std::string& name) const {
    return findPlayer(name) != players.end();
}

bool PlayerManager::selectPlayer(const std::string& name) {
    const auto found = findPlayer(name);
    if (found == players.end()) {
        return false;
    }
    if (currentPlayer) {
        if (!SavePlayer(*currentPlayer)) {
            return false;
        }
        currentPlayer->onDeselect();
    }
    currentPlayer = *found;
    LoadPlayer(*currentPlayer);
    return true;
}

PlayerManager::PlayerList::const_iterator PlayerManager::findPlayer(const std::string& name) const {
    const std::string wanted = escaped(name);
    return std::find_if(players.begin(), players.end(), [&](const kernel::SmartPtr<Player>& player) {
        return escaped(player->getName()) == wanted;
    });
}

void PlayerManager::LoadPlayer(Player& player) {
    const kernel::SmartPtr<kernel::ValueDocument> document = load(profilePath(player.getName()));
    if (document) {
        player.readXml(document->getNode(profileNode));
    }
}

bool PlayerManager::SavePlayer(Player& player) {
    if (!player.isChanged()) {
        return true;
    }
    const kernel::SmartPtr<kernel::NodeValue> node(new kernel::NodeValue(profileNode, "Player"));
    player.writeXml(*node);
    keepIfNotReadWhole(profilePath(player.getName()));
    if (!savePlayerFile(profilePath(player.getName()), node)) {
        player.markChanged();
        return false;
    }
    return true;
}

void PlayerManager::readFromNode(kernel::NodeValue& node) {
    for (const kernel::SmartPtr<kernel::Value>& entry : node.getVector(namesKey).children()) {
        if (getPlayerCount() == maxListedPlayers) {
            host::OutputDebugString(("PlayerManager: the player list names more than " +
                                     std::to_string(maxListedPlayers) + " players; the rest are left out\n")
                                        .c_str());
            notReadWhole.insert(listPath());
            break;
        }
        appendListed(entry->asNode());
    }
    if (!players.empty()) {
        chooseCurrent(kernel::narrowString(node.getValue(currentKey).text()));
    }
}

void PlayerManager::writeToNode(kernel::NodeValue& node) const {
    if (currentPlayer) {
        node.setChild(new kernel::ScalarValue(currentKey, currentPlayer->getName(), kernel::Typing::Untyped));
    }
    const kernel::SmartPtr<kernel::VectorValue> names(new kernel::VectorValue(namesKey));
    for (const kernel::SmartPtr<Player>& player : players) {
        const kernel::SmartPtr<kernel::NodeValue> entry(new kernel::NodeValue("", player->getClassName()));
        player->save(*entry);
        names->append(entry);
    }
    node.setChild(names);
}

std::string PlayerManager::listPath() const {
    return playersFolder + "/players.plrs";
}

std::string PlayerManager::profilePath(const std::string& name) const {
    return playersFolder + "/" + escaped(name) + ".plr";
}

kernel::SmartPtr<kernel::ValueDocument> PlayerManager::load(const std::string& path) {
    bool damaged = false;
    kernel::SmartPtr<kernel::ValueDocument> document = loadPlayerFile(path, &damaged);
    if (damaged) {
        notReadWhole.insert(path);
    }
    return document;
}

// Once, before the first save that replaces the file: later saves replace a file that was read whole. The
// save goes on also when the file could not be kept (the debug output says so): the player's new progress
// is not held back for the old file's.
void PlayerManager::keepIfNotReadWhole(const std::string& path) {
    if (notReadWhole.erase(path) > 0) {
        keepDamagedPlayerFile(path);
    }
}

// An entry whose type names no player class (an unknown class, or a damaged file) is left out.
void PlayerManager::appendListed(kernel::NodeValue& entry) {
    const kernel::SmartPtr<kernel::Object> made(kernel::ObjectFactory::instance()->createObject(entry));
    if (made && made->isKindOf(Player::classInfo)) {
        players.emplace_back(static_cast<Player*>(made.get()));
    }
}

// A list naming no listed player as current (damaged, or edited by hand) starts with the first player.
void PlayerManager::chooseCurrent(const std::string& name) {
    const auto found = findPlayer(name);
    currentPlayer = found != players.end() ? *found : players.front();
}

} // namespace platform
