#pragma once

#include "engine/kernel/Object.h"
#include "engine/kernel/SmartPtr.h"
#include "engine/kernel/ValueDocument.h"

#include <cstdint>

namespace game {

class Pibble;
class PibblePlayer;

// The collectables' unlock rules ("media/properties/collectables.xml": a Vector "collectables" of nodes
// with "pibbleid" 1..30, the carrier's "colorid", the album's "albumorderid" and condition keys), the
// counter that paces how often a collectable goes on the field, and the factory of every pibble of the
// field. It lives as long as the field; the counter lives on in the current player's profile.
//
// Ids outside 1..30 stand for nothing: such an entry is never unlocked and has no colour.
class CollectablesManager : public kernel::Object {
public:
    static constexpr const char* rulesFile = "media/properties/collectables.xml";
    // "playedDuringNight" holds from this second of the day on and up to nightEnd.
    static constexpr std::int32_t nightStart = 79200;
    static constexpr std::int32_t nightEnd = 14400;

    // The seconds since midnight, local time; tests put a clock of their own in (null: the real one).
    using SecondsOfDay = std::int32_t (*)();
    static void setClock(SecondsOfDay clock);

    // Reads the rules, queues what the current player has earned, and takes the player's counter.
    static CollectablesManager* create();
    // Null before create.
    static CollectablesManager* instance();
    static void destroy();

    // Every entry the current player has neither queued nor claimed whose conditions all hold goes to the
    // front of the player's queue, noted with the play time it was earned at; the current scene hears of
    // it. Nothing without a current player.
    void checkUnlocks();
    // The "colorid" of the first entry with the id; 0 when none.
    std::int32_t colourOf(std::int32_t id) const;
    // A new pibble of a random colour at the cell's place (above the pibbles already waiting in its
    // column), taking the pointer only where the pibble mask allows, handed to the renderer. Without a
    // collectable on the field it counts towards the next one.
    kernel::SmartPtr<Pibble> createPibble(std::int32_t row, std::int32_t column);

    std::int32_t counter() const { return placementCounter; }
    void setCounter(std::int32_t value) { placementCounter = value; }

    // Whether all condition keys of the entry hold for the player, in the rules' order.
    static bool conditionsHold(const kernel::NodeValue& entry, const PibblePlayer& player);
    // 1 to 30.
    static bool isCollectableId(std::int32_t id);

    static constexpr kernel::ClassInfo classInfo{&kernel::Object::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    CollectablesManager();
    // Writes the counter back to the current player.
    ~CollectablesManager() override;

    static bool isNight();

    kernel::SmartPtr<kernel::ValueDocument> rules;
    std::int32_t placementCounter = 0;
};

} // namespace game
