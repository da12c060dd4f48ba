#pragma once

#include "engine/ui/GameNode.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace game {

// The rules' clock: a node under the field that runs the handler of the field's current state once a
// frame. Handlers are registered by state number, each with an argument; a state without one does
// nothing. The machine starts in state 0 with no state before it (-1).
class StateMachine : public ui::GameNode {
public:
    using Handler = std::function<void(std::int32_t argument)>;

    StateMachine() = default;

    // When the state is the current one, the handler takes over at once.
    void setState(std::int32_t state, Handler handler, std::int32_t argument);
    virtual void switchTo(std::int32_t state);
    // The time in the state grows, then the handler runs; nothing while suspended or dead.
    void onUpdate(std::uint32_t elapsedMs) override;
    // Handlers reach into their owner: the owner drops them before it goes.
    void clearHandlers();

    std::int32_t getCurrent() const { return current; }
    std::int32_t getPrevious() const { return previous; }
    std::int32_t getTimeInState() const { return timeInState; }

    static constexpr kernel::ClassInfo classInfo{&ui::GameNode::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    struct Entry {
        Handler handler;
        std::int32_t argument = 0;
    };

    Entry entryOf(std::int32_t state) const;

    std::vector<Entry> handlers;
    Entry active;
    std::int32_t current = 0;
    std::int32_t previous = -1;
    std::int32_t timeInState = 0;
};

} // namespace game
