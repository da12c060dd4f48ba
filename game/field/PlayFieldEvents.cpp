// The field's listeners: the game events go to each of them in the order they were added.
#include "game/field/PlayField.h"

#include "game/field/GameEventListener.h"

#include <algorithm>
#include <vector>

namespace game {

void PlayField::addListener(GameEventListener* listener) {
    listeners.push_back(listener);
}

void PlayField::removeListener(GameEventListener* listener) {
    const auto found = std::find(listeners.begin(), listeners.end(), listener);
    if (found != listeners.end()) {
        listeners.erase(found);
    }
}

// A listener may add or remove listeners while it hears the event: the walk goes over the list as it
// was, skipping one that is gone by its turn.
void PlayField::broadcast(const GameEvent& event) {
    const std::vector<GameEventListener*> hearing = listeners;
    for (GameEventListener* listener : hearing) {
        if (std::find(listeners.begin(), listeners.end(), listener) != listeners.end()) {
            listener->deliver(event);
        }
    }
}

} // namespace game
