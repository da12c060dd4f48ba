#pragma once

#include "game/field/GameEvent.h"

namespace game {

// What hears the field's game events: one operation per kind of event, each empty by default. The event
// is valid only during the call. A listener may call back into the field, and may add or remove
// listeners, itself too.
class GameEventListener {
public:
    virtual ~GameEventListener() = default;

    virtual void onPaused(const GameEvent& /*event*/) {}
    virtual void onFrozen(const GameEvent& /*event*/) {}
    virtual void onResumed(const GameEvent& /*event*/) {}
    virtual void onReady(const GameEvent& /*event*/) {}
    virtual void onGo(const GameEvent& /*event*/) {}
    virtual void onLevelFinished(const GameEvent& /*event*/) {}
    virtual void onLevelFailed(const GameEvent& /*event*/) {}
    virtual void onIdleReminder(const GameEvent& /*event*/) {}
    virtual void onNoMatchReminder(const GameEvent& /*event*/) {}
    virtual void onPibbleClicked(const GameEvent& /*event*/) {}
    virtual void onQueueClicked(const GameEvent& /*event*/) {}
    virtual void onClownClicked(const GameEvent& /*event*/) {}
    virtual void onPartyClicked(const GameEvent& /*event*/) {}
    virtual void onStubbornClicked(const GameEvent& /*event*/) {}
    virtual void onChainedClicked(const GameEvent& /*event*/) {}
    virtual void onCollectableClicked(const GameEvent& /*event*/) {}
    virtual void onVibClicked(const GameEvent& /*event*/) {}
    virtual void onClownAppeared(const GameEvent& /*event*/) {}
    virtual void onPartyAppeared(const GameEvent& /*event*/) {}
    virtual void onStubbornAppeared(const GameEvent& /*event*/) {}
    virtual void onChainedAppeared(const GameEvent& /*event*/) {}
    virtual void onCollectableAppeared(const GameEvent& /*event*/) {}
    virtual void onUnhappyAppeared(const GameEvent& /*event*/) {}
    virtual void onMatch(const GameEvent& /*event*/) {}
    virtual void onPartyPoints(const GameEvent& /*event*/) {}
    virtual void onHintUsed(const GameEvent& /*event*/) {}
    virtual void onHintAvailable(const GameEvent& /*event*/) {}

    // Calls the operation of the event's type; false, calling nothing, for a type no operation has.
    bool deliver(const GameEvent& event);
};

} // namespace game
