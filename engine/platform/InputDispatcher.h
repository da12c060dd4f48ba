#pragma once

#include "engine/platform/AppEventListener.h"
#include "engine/platform/InputEvent.h"
#include "engine/platform/SceneComponent.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

namespace kernel {
class InputListener;
class ListenerGroup;
} // namespace kernel

namespace platform {

class InputContext;

// Queues the mouse, key and character messages that reach it as an event listener and, once per frame
// as a frame listener, hands them to its listener groups. The groups are not counted: whoever adds one
// must remove it before it goes away.
class InputDispatcher : public SceneComponent, public AppEventListener {
public:
    // The context is not owned and must outlive the dispatcher.
    explicit InputDispatcher(InputContext& context);
    InputDispatcher();
    InputDispatcher(const InputDispatcher&) = delete;
    InputDispatcher& operator=(const InputDispatcher&) = delete;
    ~InputDispatcher() override;

    void onAppEvent(std::uint32_t message, std::uint32_t wParam, std::uint32_t lParam) override;
    // Queues what the groups may be given; everything else, the private events included, is ignored.
    virtual void onWindowMessage(std::uint32_t message, std::uint32_t wParam, std::uint32_t lParam);

    // Groups are served in list order. A group added twice is served twice per event. Open dialogs go
    // in front (atFront), each new one before the older ones, so the newest dialog is served first and
    // the scene's own group last. Null is ignored. Both may be called from inside a delivery.
    void addListener(kernel::ListenerGroup* group, bool atFront = false);
    // A group removed during a delivery is not served again by it.
    void removeListener(kernel::ListenerGroup* group);
    bool hasListener(const kernel::ListenerGroup* group) const;

    void clearEvents();
    std::size_t queuedEventCount() const { return queue.size(); }

    // Each runs the group walk with the matching listener operation.
    virtual void onKeyDown(std::uint32_t key);
    virtual void onKeyUp(std::uint32_t key);
    virtual void onChar(std::uint32_t code);
    virtual void onMouseMove(int x, int y, std::uint32_t keyFlags);
    virtual void onLeftDown(int x, int y, std::uint32_t keyFlags, bool doubleClick);
    virtual void onLeftUp(int x, int y, std::uint32_t keyFlags);
    virtual void onMiddleDown(int x, int y, std::uint32_t keyFlags, bool doubleClick);
    virtual void onMiddleUp(int x, int y, std::uint32_t keyFlags);
    virtual void onRightDown(int x, int y, std::uint32_t keyFlags, bool doubleClick);
    virtual void onRightUp(int x, int y, std::uint32_t keyFlags);

    // The delivery: everything queued, including what is queued meanwhile. The time is not used.
    void onFrame(std::uint32_t ms) override;
    void tick();

    static constexpr kernel::ClassInfo classInfo{&SceneComponent::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    void queuePointerOutsideClient();
    void deliver(const InputEvent& event);
    void deliverMouse(const InputEvent& event);
    int correctX(std::uint32_t lParam) const;
    int correctY(std::uint32_t lParam) const;

    // Call is bool(kernel::InputListener&): true when the listener took the event.
    template <class Call> void walkGroups(const Call& call);
    template <class Call> bool serveGroup(kernel::ListenerGroup& group, const Call& call);
    bool isMember(const kernel::ListenerGroup& group, const kernel::InputListener* listener) const;

    InputContext& context;
    // A walk goes over a copy of the groups (and of each group's members) and asks the live lists before
    // each turn, so groups and members may come and go anywhere in the lists while an event is handed out.
    std::vector<kernel::ListenerGroup*> groups;
    std::deque<InputEvent> queue;
};

} // namespace platform
