#include "game/field/GameEventListener.h"

namespace game {

namespace {

using Handler = void (GameEventListener::*)(const GameEvent&);

struct Route {
    std::int32_t type;
    Handler handler;
};

constexpr Route routes[] = {
    {eventType::paused, &GameEventListener::onPaused},
    {eventType::frozen, &GameEventListener::onFrozen},
    {eventType::go, &GameEventListener::onGo},
    {eventType::levelFinished, &GameEventListener::onLevelFinished},
    {eventType::levelFailed, &GameEventListener::onLevelFailed},
    {eventType::pibbleClicked, &GameEventListener::onPibbleClicked},
    {eventType::queueClicked, &GameEventListener::onQueueClicked},
    {eventType::clownClicked, &GameEventListener::onClownClicked},
    {eventType::partyClicked, &GameEventListener::onPartyClicked},
    {eventType::stubbornClicked, &GameEventListener::onStubbornClicked},
    {eventType::chainedClicked, &GameEventListener::onChainedClicked},
    {eventType::collectableClicked, &GameEventListener::onCollectableClicked},
    {eventType::vibClicked, &GameEventListener::onVibClicked},
    {eventType::clownAppeared, &GameEventListener::onClownAppeared},
    {eventType::partyAppeared, &GameEventListener::onPartyAppeared},
    {eventType::stubbornAppeared, &GameEventListener::onStubbornAppeared},
    {eventType::chainedAppeared, &GameEventListener::onChainedAppeared},
    {eventType::collectableAppeared, &GameEventListener::onCollectableAppeared},
    {eventType::unhappyAppeared, &GameEventListener::onUnhappyAppeared},
    {eventType::match, &GameEventListener::onMatch},
    {eventType::hintUsed, &GameEventListener::onHintUsed},
    {eventType::hintAvailable, &GameEventListener::onHintAvailable},
    {eventType::partyPoints, &GameEventListener::onPartyPoints},
    {eventType::resumed, &GameEventListener::onResumed},
    {eventType::idleReminder, &GameEventListener::onIdleReminder},
    {eventType::noMatchReminder, &GameEventListener::onNoMatchReminder},
    {eventType::ready, &GameEventListener::onReady},
};

} // namespace

bool GameEventListener::deliver(const GameEvent& event) {
    for (const Route& route : routes) {
        if (route.type == event.type) {
            (this->*route.handler)(event);
            return true;
        }
    }
    return false;
}

} // namespace game
