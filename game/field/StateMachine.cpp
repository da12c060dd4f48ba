#include "game/field/StateMachine.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace game {

// The table grows to hold the state; a negative state has no entry.
void StateMachine::setState(std::int32_t state, Handler handler, std::int32_t argument) {
    if (state < 0) {
        return;
    }
    if (static_cast<std::size_t>(state) >= handlers.size()) {
        handlers.resize(static_cast<std::size_t>(state) + 1);
    }
    handlers[static_cast<std::size_t>(state)] = {std::move(handler), argument};
    if (state == current) {
        active = handlers[static_cast<std::size_t>(state)];
    }
}

StateMachine::Entry StateMachine::entryOf(std::int32_t state) const {
    return state >= 0 && static_cast<std::size_t>(state) < handlers.size()
               ? handlers[static_cast<std::size_t>(state)]
               : Entry{};
}

void StateMachine::switchTo(std::int32_t state) {
    previous = current;
    active = entryOf(state);
    current = state;
    timeInState = 0;
}

void StateMachine::onUpdate(std::uint32_t elapsedMs) {
    if (isSuspended() || isDead()) {
        return;
    }
    const std::int64_t grown = std::int64_t{timeInState} + elapsedMs;
    timeInState =
        static_cast<std::int32_t>(std::min<std::int64_t>(grown, std::numeric_limits<std::int32_t>::max()));
    // A copy: the handler may register another for this state while it runs.
    const Entry running = active;
    if (running.handler) {
        running.handler(running.argument);
    }
}

void StateMachine::clearHandlers() {
    handlers.clear();
    active = Entry{};
}

} // namespace game
