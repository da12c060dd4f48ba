#include "engine/platform/EventDispatcher.h"

#include "engine/platform/AppEventListener.h"

#include <algorithm>

namespace platform {

void EventDispatcher::addListener(AppEventListener* listener) {
    if (listener == nullptr || hasListener(listener)) {
        return;
    }
    listeners.push_back(listener);
}

void EventDispatcher::removeListener(AppEventListener* listener) {
    std::replace(listeners.begin(), listeners.end(), listener, static_cast<AppEventListener*>(nullptr));
    compactAfterDispatch();
}

void EventDispatcher::dispatch(std::uint32_t message, std::uint32_t wParam, std::uint32_t lParam) {
    ++dispatchDepth;
    // Positions stay valid (nothing is erased while the depth is above 0) and the entries are read again
    // on every turn, so a listener removed by an earlier one is seen as an empty entry.
    const std::size_t count = listeners.size();
    for (std::size_t i = 0; i < count; ++i) {
        if (AppEventListener* const listener = listeners[i]) {
            listener->onAppEvent(message, wParam, lParam);
        }
    }
    --dispatchDepth;
    compactAfterDispatch();
}

bool EventDispatcher::hasListener(const AppEventListener* listener) const {
    return listener != nullptr && std::find(listeners.begin(), listeners.end(), listener) != listeners.end();
}

std::size_t EventDispatcher::listenerCount() const {
    return listeners.size() -
           static_cast<std::size_t>(std::count(listeners.begin(), listeners.end(), nullptr));
}

void EventDispatcher::compactAfterDispatch() {
    if (dispatchDepth == 0) {
        std::erase(listeners, nullptr);
    }
}

} // namespace platform
