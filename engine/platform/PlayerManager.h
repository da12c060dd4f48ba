#pragma once

#include "engine/kernel/NodeValue.h"
#include "engine/kernel/Object.h"
#include "engine/kernel/SmartPtr.h"
#include "engine/kernel/ValueDocument.h"
#include "engine/kernel/VectorValue.h"
#include "engine/platform/Player.h"
#include "engine/platform/PlayerFileStates.h"

#include <string>
#include <vector>

namespace platform {

// The player list and the current player, kept in the folder "players" below the working directory: one
// list file naming every profile and the current one, and one profile file per player. Only the current
// player's profile is ever read or written. A file that was not read whole is used as far as it was read,
// and kept beside its new version when a save first replaces it; a list not read whole, or with an entry it
// cannot make a player of, lists again the players whose profiles are in the folder. A file that is there
// but cannot be read (a folder, a pipe, no permission) is taken for no file but never written in this run.
// Main thread only.
class PlayerManager : public kernel::Object {
public:
    using PlayerList = std::vector<kernel::SmartPtr<Player>>;

    // Far more than anyone keeps; a list naming more is damaged, and only its first ones are taken, the
    // current player always among them (each listed player is a whole profile in memory).
    static constexpr int maxListedPlayers = 1000;

    static PlayerManager* create();
    // Null before create.
    static PlayerManager* instance();
    static void destroy();

    bool hasPlayers() const { return !players.empty(); }
    int getPlayerCount() const { return static_cast<int>(players.size()); }
    const PlayerList& getPlayers() const { return players; }
    // Null when nobody is listed.
    Player* getCurrentPlayer() const { return currentPlayer.get(); }

    // The list file, then the current player's profile. A missing list leaves no players.
    void loadAll();
    // The list file, then the current profile when it changed. True when every file was written.
    [[nodiscard]] bool saveAll();

    // Appends the player (the first one becomes current) and writes its profile, or reads it when a profile
    // of that name is there already; the list file waits for saveAll. Returns the player.
    Player* addPlayer(Player* player);
    // Removes the first player of that name with its profile file and rewrites the list. When that player
    // was current, the first remaining one becomes current. False for an unknown name or a failed write.
    [[nodiscard]] bool deletePlayer(const std::string& name);
    // Byte-exact after escaping, so letter case counts.
    bool nameExists(const std::string& name) const;
    // Writes the current profile when it changed, then makes the named player current and reads its
    // profile. An unknown name, or a profile that could not be written, changes nothing and gives false
    // (a profile left alone as unusable holds nobody back).
    [[nodiscard]] bool selectPlayer(const std::string& name);
    // The first player whose escaped name equals the escaped given name, or the end.
    PlayerList::const_iterator findPlayer(const std::string& name) const;

    // Reads the profile file into the player; a missing file leaves the player as it is.
    void LoadPlayer(Player& player);
    // Writes the profile file when the player changed. True when nothing needed writing or the file was
    // written; after a failed write, or with a file left alone, the player stays changed, so a later save
    // tries again.
    [[nodiscard]] bool SavePlayer(Player& player);

    virtual void readFromNode(kernel::NodeValue& node);
    virtual void writeToNode(kernel::NodeValue& node) const;

    static constexpr kernel::ClassInfo classInfo{&kernel::Object::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    PlayerManager() = default;

    std::string listPath() const;
    std::string profilePath(const std::string& name) const;
    bool appendListed(kernel::NodeValue& entry);
    void chooseCurrent(const std::string& name);
    void findPlayersInFolder(const std::string& listedCurrent);
    void keepCurrentOf(kernel::VectorValue::List::const_iterator first,
                       kernel::VectorValue::List::const_iterator last, const std::string& current);

    PlayerList players;
    std::string playersFolder;
    // The list's and the profiles' files as this manager read them.
    PlayerFileStates files;
    // Counted, so that no removal from the list can leave it dangling.
    kernel::SmartPtr<Player> currentPlayer;
};

} // namespace platform
