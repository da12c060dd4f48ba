#pragma once

#include "engine/kernel/Object.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace platform {

class AppEventListener;

// Hands every message of the window procedure to its listeners in registration order. The listeners
// are not counted: whoever adds one must remove it before it goes away.
class EventDispatcher : public kernel::Object {
public:
    // Private events, carried the same way as window messages.
    static constexpr std::uint32_t fullScreenChanged = 0xAF00FA00; // wParam 1 full screen, 0 window
    static constexpr std::uint32_t minimised = 0xAF00FA01;
    static constexpr std::uint32_t restored = 0xAF00FA02;

    EventDispatcher() = default;
    EventDispatcher(const EventDispatcher&) = delete;
    EventDispatcher& operator=(const EventDispatcher&) = delete;

    // Both take effect at once, also from inside a dispatch: a scene entered or left while a message is
    // being handed out changes the list without waiting for the dispatch to end. Null is ignored.
    // A listener that is already registered is not added again.
    virtual void addListener(AppEventListener* listener);
    // A listener removed during a dispatch is not called again by that dispatch, nor by any it is nested in.
    virtual void removeListener(AppEventListener* listener);

    // Listeners added while the message is handed out get the next message, not this one.
    void dispatch(std::uint32_t message, std::uint32_t wParam, std::uint32_t lParam);

    bool isDispatching() const { return dispatchDepth > 0; }
    bool hasListener(const AppEventListener* listener) const;
    std::size_t listenerCount() const;

    static constexpr kernel::ClassInfo classInfo{&kernel::Object::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    void compactAfterDispatch();

    // Removed entries are emptied in place and compacted only when no dispatch runs, so the positions
    // held by a dispatch (and by one nested in it, as the full-screen change is) stay valid.
    std::vector<AppEventListener*> listeners;
    // A depth rather than a flag: dispatches nest.
    int dispatchDepth = 0;
};

} // namespace platform
