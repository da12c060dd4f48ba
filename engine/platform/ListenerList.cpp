#include "engine/platform/ListenerList.h"

#include <algorithm>

namespace platform {

ListenerList::~ListenerList() {
    ++walkDepth;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (const kernel::SmartPtr<SceneComponent> listener = entries[i]) {
            letGo(*listener);
        }
    }
    entries.clear();
}

void ListenerList::addListener(SceneComponent* listener) {
    if (listener == nullptr) {
        return;
    }
    entries.emplace_back(listener);
    listener->setRegistered(true);
}

void ListenerList::notifyAll(std::uint32_t elapsed) {
    ++walkDepth;
    // The size is read again on every turn, so listeners appended during the walk get their tick too.
    for (std::size_t i = 0; i < entries.size(); ++i) {
        // Held for the whole turn: removing the entries may drop the list's last reference.
        if (const kernel::SmartPtr<SceneComponent> listener = entries[i]) {
            handleTurn(*listener, elapsed);
        }
    }
    --walkDepth;
    compactAfterWalk();
}

std::size_t ListenerList::listenerCount() const {
    return static_cast<std::size_t>(
        std::count_if(entries.begin(), entries.end(), [](const auto& entry) { return bool(entry); }));
}

void ListenerList::handleTurn(SceneComponent& listener, std::uint32_t elapsed) {
    if (listener.isRemoveRequested()) {
        if (kernel::SmartPtr<SceneComponent> successor = listener.takeSuccessor()) {
            addListener(successor.get());
        }
        letGo(listener);
        return;
    }
    if (!listener.isEnabled()) {
        return;
    }
    if (!listener.isStarted()) {
        listener.onStart();
        listener.setStarted(true);
    }
    listener.onFrame(elapsed);
}

void ListenerList::letGo(SceneComponent& listener) {
    listener.setRegistered(false);
    listener.onStop();
    removeEntriesOf(listener);
}

void ListenerList::removeEntriesOf(const SceneComponent& listener) {
    for (auto& entry : entries) {
        if (entry.get() == &listener) {
            entry.reset();
        }
    }
}

void ListenerList::compactAfterWalk() {
    if (walkDepth == 0) {
        std::erase_if(entries, [](const auto& entry) { return !entry; });
    }
}

} // namespace platform
