#include "engine/kernel/ListenerGroup.h"

#include <algorithm>

namespace kernel {

ListenerGroup::~ListenerGroup() = default;

void ListenerGroup::add(InputListener* listener, bool atFront) {
    if (listener == nullptr) {
        return;
    }
    remove(listener);
    members.insert(atFront ? members.begin() : members.end(), listener);
}

void ListenerGroup::remove(InputListener* listener) {
    if (listener == nullptr) {
        return;
    }
    if (const auto entry = std::find(members.begin(), members.end(), listener); entry != members.end()) {
        members.erase(entry);
    }
}

void ListenerGroup::setCurrent(InputListener* listener) {
    if (listener == current) {
        return;
    }
    remove(current);
    current = listener;
    // Through add, so a listener that was already a member is moved rather than served twice per event.
    add(listener, false);
}

} // namespace kernel
