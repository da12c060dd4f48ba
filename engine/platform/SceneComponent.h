#pragma once

#include "engine/kernel/Object.h"
#include "engine/kernel/SmartPtr.h"

#include <cstdint>

namespace platform {

// Anything that works once per frame: a frame listener of the FrameTimer, or one of a scene's own
// components. A ListenerList drives the flags; subclasses fill in the three frame operations.
class SceneComponent : public kernel::Object {
public:
    SceneComponent() = default;

    // Runs before the first frame in which the component is ticked.
    virtual void onStart() {}
    virtual void onFrame(std::uint32_t ms) { (void)ms; }
    // Runs when a list lets the component go.
    virtual void onStop() {}

    bool isEnabled() const { return enabled; }
    void setEnabled(bool flag) { enabled = flag; }
    bool isRemoveRequested() const { return removeRequested; }
    // The list takes the component out at its next turn, not at once, so a component may ask from
    // inside its own onFrame.
    void setRemoveRequested(bool flag) { removeRequested = flag; }
    bool isRegistered() const { return registered; }
    void setRegistered(bool flag) { registered = flag; }
    bool isStarted() const { return started; }
    void setStarted(bool flag) { started = flag; }

    // The component that takes this one's place in its list when it is taken out.
    SceneComponent* getSuccessor() const { return successor.get(); }
    void setSuccessor(SceneComponent* component) { successor = component; }
    kernel::SmartPtr<SceneComponent> takeSuccessor();

    static constexpr kernel::ClassInfo classInfo{&kernel::Object::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    bool enabled = true;
    bool removeRequested = false;
    bool registered = false;
    bool started = false;
    kernel::SmartPtr<SceneComponent> successor;
};

} // namespace platform
