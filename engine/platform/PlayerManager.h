#pragma once

#include "engine/kernel/NodeValue.h"
#include "engine/kernel/Object.h"
#include "engine/kernel/SmartPtr.h"
#include "engine/kernel/ValueDocument.h"
#include "engine/platform/Player.h"

#include <set>
#include <string>
#include <vector>

namespace platform {

// The player list and the current player, kept in the folder "players" below the working directory: one
// list file naming every profile and the current one, and one profile file per player. Only the current
// player's profile is ever read or written. A file that was not read whole is used as far as it was read,
// and kept beside its new version when a save first replaces it. Main thread only.
class PlayerManager : public kernel::Object {
public:
    using PlayerList = std::vector<kernel::SmartPtr<Player>>;

    // Far more than anyone keeps; a list naming more is damaged, and only its first ones are taken (each
    // listed player is a whole profile in memory).
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

    // Appends the player (the first one becomes current) and writes its profile; the list file waits for
    // saveAll. Returns the player.
    Player* addPlayer(Player* player);
    // Removes the first player of that name with its profile file and rewrites the list. When that player
    // was current, the first remaining one becomes current. False for an unknown name or a failed write.
    [[nodiscard]] bool deletePlayer(const std::string& name);
    // Byte-exact after escaping, so letter case counts.
    bool nameExists(const std::string& name) const;
    // Writes the current profile when it changed, then makes the named player current and reads its
    // profile. An unknown name, or a profile that could not be written, changes nothing and gives false.
    [[nodiscard]] bool selectPlayer(const std::string& name);
    // The first player whose escaped name equals the escaped given name, or the end.
    PlayerList::const_iterator findPlayer(const std::string& name) const;

    // Reads the profile file into the player; a missing file leaves the player as it is.
    void LoadPlayer(Player& player);
    // Writes the profile file when the player changed. True when nothing needed writing or the file was
    // written; after a failed write the player stays changed, so a later save tries again.
    [[nodiscard]] bool SavePlayer(Player& player);

    virtual void readFromNode(kernel::NodeValue& node);
    virtual void writeToNode(kernel::NodeValue& node) const;

    static constexpr kernel::ClassInfo classInfo{&kernel::Object::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    PlayerManager() = default;

    std::string listPath() const;
    std::string profilePath(const std::string& name) const;
    void appendListed(kernel::NodeValue& entry);
    void chooseCurrent(const std::string& name);
    kernel::SmartPtr<kernel::ValueDocument> load(const std::string& path);
    void keepIfNotReadWhole(const std::string& path);

    PlayerList players;
    std::string playersFolder;
    // The files read since the manager was made that were not read whole and have not been saved since.
    std::set<std::string> notReadWhole;
    // Counted, so that no removal from the list can leave it dangling.
    kernel::SmartPtr<Player> currentPlayer;
};

} // namespace platform
