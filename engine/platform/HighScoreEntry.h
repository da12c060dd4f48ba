#pragma once

#include "engine/kernel/NodeValue.h"
#include "engine/kernel/Object.h"

#include <string>

namespace platform {

// One line of a highscore table: a player's name and a score. Registered as "HighScoreEntry"; the game
// registers its own entry class, and tables make their entries by the type that each saved entry carries.
class HighScoreEntry : public kernel::Object {
public:
    // "playername" and "scorevalue"; missing keys read as empty and 0.
    explicit HighScoreEntry(const kernel::NodeValue& settings);
    HighScoreEntry(std::string playerName, int score);

    // The creator registered under "HighScoreEntry".
    static kernel::Object* createFromSettings(kernel::Value& settings);

    const std::string& getPlayerName() const { return playerName; }
    int getScore() const { return score; }

    // Adds the untyped "scorevalue", then "playername". A subclass calls this first, then adds its keys.
    virtual void save(kernel::NodeValue& node) const;
    // Own score no greater than the other's.
    virtual bool isLowerOrEqual(const HighScoreEntry& other) const;
    // The type of the saved node: the name under which the class is registered, so that reading the table
    // back makes the same class. A subclass returns its own.
    virtual std::string getClassName() const;

    static constexpr kernel::ClassInfo classInfo{&kernel::Object::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    std::string playerName;
    int score = 0;
};

} // namespace platform
