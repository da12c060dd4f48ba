#include "engine/kernel/ListenerGroup.h"

#include "engine/kernel/InputListener.h"

#include <algorithm>

namespace kernel {

ListenerGroup::~ListenerGroup() {
    for (InputListener* listener : members) {
        std::erase(listener->groups, this);
    }
    if (current != nullptr) {
        std::erase(current->groups, this);
    }
}

void ListenerGroup::add(InputListener* listener, bool atFront) {
    if (listener == nullptr) {
        return;
    }
    if (const auto entry = std::find(members.begin(), members.end(), listener); entry != members.end()) {
        members.erase(entry);
    }
    members.insert(atFront ? members.begin() : members.end(), listener);
    link(listener);
}

void ListenerGroup::remove(InputListener* listener) {
    if (listener == nullptr) {
        return;
    }
    if (const auto entry = std::find(members.begin(), members.end(), listener); entry != members.end()) {
        members.erase(entry);
    }
    unlinkIfGone(listener);
}

void ListenerGroup::setCurrent(InputListener* listener) {
    if (listener == current) {
        return;
    }
    InputListener* previous = current;
    current = listener;
    remove(previous);
    // Through add, so a listener that was already a member is moved rather than served twice per event.
    add(listener, false);
}

void ListenerGroup::forget(InputListener* listener) {
    std::erase(members, listener);
    if (current == listener) {
        current = nullptr;
    }
    std::erase(listener->groups, this);
}

void ListenerGroup::link(InputListener* listener) {
    if (std::find(listener->groups.begin(), listener->groups.end(), this) == listener->groups.end()) {
        listener->groups.push_back(this);
    }
}

void ListenerGroup::unlinkIfGone(InputListener* listener) {
    if (listener != current && std::find(members.begin(), members.end(), listener) == members.end()) {
        std::erase(listener->groups, this);
    }
}

} // namespace kernel
