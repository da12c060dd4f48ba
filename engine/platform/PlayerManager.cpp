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
// The type of a profile's node, under which the game registers its profile class too: players found again
// from their profiles are made as that class.
constexpr const char* profileType = "Player";
constexpr const char* nameKey = "name";
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
    kernel::DocumentRead read;
    std::string listedCurrent;
    if (const kernel::SmartPtr<kernel::ValueDocument> document = files.load(listPath(), &read)) {
        kernel::NodeValue& list = document->getNode(listNode);
        readFromNode(list);
        listedCurrent = kernel::narrowString(list.getValue(currentKey).text());
    }
    // A list that was not read whole, or that names someone it cannot make, must not orphan the players it
    // lost: their profiles are still there.
    if (read.isDamaged() || read.isUnusable() || files.isNotReadWhole(listPath())) {
        findPlayersInFolder(listedCurrent);
    }
    if (currentPlayer) {
        LoadPlayer(*currentPlayer);
    }
}

bool PlayerManager::saveAll() {
    bool listSaved = false;
    if (!files.isLeftAlone(listPath())) {
        const kernel::SmartPtr<kernel::NodeValue> node(new kernel::NodeValue(listNode, "Players"));
        writeToNode(*node);
        files.keepIfNotReadWhole(listPath());
        listSaved = savePlayerFile(listPath(), node);
    }
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
    // A profile of that name may be there already, its list entry lost: it is the player's, read and not
    // replaced by a new one. One that is there but unusable is left alone.
    kernel::DocumentRead read;
    if (const kernel::SmartPtr<kernel::ValueDocument> document =
            files.load(profilePath(player->getName()), &read)) {
        player->readXml(document->getNode(profileNode));
    } else if (!read.isUnusable()) {
        // A profile that cannot be written now stays marked changed, so the next save tries it again; the
        // writer has reported the failure.
        (void)SavePlayer(*player);
    }
    return player;
}

bool PlayerManager::deletePlayer(const std::string& name) {
    const auto found = findPlayer(name);
    if (found == players.end()) {
        return false;
    }
    deletePlayerFile(profilePath(name));
    files.forget(profilePath(name));
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
        // A profile left alone keeps this run's progress in memory only: that it cannot be written does not
        // hold the player to it.
        if (!SavePlayer(*currentPlayer) && !files.isLeftAlone(profilePath(currentPlayer->getName()))) {
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
    const kernel::SmartPtr<kernel::ValueDocument> document = files.load(profilePath(player.getName()));
    if (document) {
        player.readXml(document->getNode(profileNode));
    }
}

bool PlayerManager::SavePlayer(Player& player) {
    if (!player.isChanged()) {
        return true;
    }
    if (files.isLeftAlone(profilePath(player.getName()))) {
        return false;
    }
    const kernel::SmartPtr<kernel::NodeValue> node(new kernel::NodeValue(profileNode, profileType));
    player.writeXml(*node);
    files.keepIfNotReadWhole(profilePath(player.getName()));
    if (!savePlayerFile(profilePath(player.getName()), node)) {
        player.markChanged();
        return false;
    }
    return true;
}

void PlayerManager::readFromNode(kernel::NodeValue& node) {
    const std::string current = kernel::narrowString(node.getValue(currentKey).text());
    const kernel::VectorValue::List& entries = node.getVector(namesKey).children();
    auto next = entries.begin();
    int unreadable = 0;
    for (; next != entries.end() && getPlayerCount() < maxListedPlayers; ++next) {
        if (!appendListed((*next)->asNode()) && ++unreadable == 1) {
            host::ReportProblem(("PlayerManager: the player list's entry \"" + (*next)->typeName() +
                                 "\" names no player; the players are looked for among the profiles\n")
                                    .c_str());
        }
    }
    // Only the game writes the list, and only players: an entry it cannot make is damage, not a player
    // who left. Without this a list naming nobody it can make reads as a first start, and the next save
    // writes it empty.
    if (unreadable > 0) {
        files.noteNotReadWhole(listPath());
    }
    if (next != entries.end()) {
        host::ReportProblem(("PlayerManager: the player list names more than " +
                             std::to_string(maxListedPlayers) + " players; the rest are left out\n")
                                .c_str());
        files.noteNotReadWhole(listPath());
        keepCurrentOf(next, entries.end(), current);
    }
    if (!players.empty()) {
        chooseCurrent(current);
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
    return playersFolder + "/" + escaped(name) + profileSuffix;
}

// An entry whose type names no player class (an unknown class, or a damaged file) is left out.
bool PlayerManager::appendListed(kernel::NodeValue& entry) {
    const kernel::SmartPtr<kernel::Object> made(kernel::ObjectFactory::instance()->createObject(entry));
    if (!made || !made->isKindOf(Player::classInfo)) {
        return false;
    }
    players.emplace_back(static_cast<Player*>(made.get()));
    return true;
}

// A list cut to fit keeps the one who plays: a current player among those left out takes the last place.
void PlayerManager::keepCurrentOf(kernel::VectorValue::List::const_iterator first,
                                  kernel::VectorValue::List::const_iterator last,
                                  const std::string& current) {
    if (findPlayer(current) != players.end()) {
        return;
    }
    const std::string wanted = escaped(current);
    for (; first != last; ++first) {
        kernel::NodeValue& entry = (*first)->asNode();
        if (escaped(Player::entryName(entry)) == wanted && appendListed(entry)) {
            players.erase(players.end() - 2);
            return;
        }
    }
}

// Each is listed as the list would have listed it; the profile itself is read when the player is chosen. The
// current player is the one the list named, when it is found.
void PlayerManager::findPlayersInFolder(const std::string& listedCurrent) {
    int found = 0;
    for (const std::string& name : profileNamesInFolder(playersFolder)) {
        if (getPlayerCount() >= maxListedPlayers) {
            break;
        }
        if (nameExists(name)) {
            continue;
        }
        const kernel::SmartPtr<kernel::NodeValue> entry(new kernel::NodeValue("", profileType));
        entry->setChild(new kernel::ScalarValue(nameKey, name, kernel::Typing::Untyped));
        found += appendListed(*entry) ? 1 : 0;
    }
    if (found == 0) {
        return;
    }
    host::ReportProblem(("PlayerManager: the player list was not read whole; " + std::to_string(found) +
                         " players were found again from their profiles\n")
                            .c_str());
    chooseCurrent(listedCurrent);
}

// A list naming no listed player as current (damaged, or edited by hand) starts with the first player.
void PlayerManager::chooseCurrent(const std::string& name) {
    const auto found = findPlayer(name);
    currentPlayer = found != players.end() ? *found : players.front();
}

} // namespace platform
