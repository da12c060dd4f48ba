#pragma once

#include <vector>

namespace kernel {

class InputListener;

// The ordered input listeners of one dialog or scene. The group neither owns nor counts its members:
// whoever adds a listener must remove it (and unset it as current) before the listener is destroyed.
class ListenerGroup {
public:
    ListenerGroup() = default;
    virtual ~ListenerGroup();

    // A listener that is already a member is moved, never listed twice. Null is ignored.
    void add(InputListener* listener, bool atFront);
    // Removes the listener's entry but leaves it current if it is.
    void remove(InputListener* listener);
    // The old current listener leaves the members; the new one (unless null) becomes the last member.
    void setCurrent(InputListener* listener);

    InputListener* getCurrent() const { return current; }
    const std::vector<InputListener*>& getMembers() const { return members; }

    // After an exclusive group no later group is served.
    bool isExclusive() const { return exclusive; }
    void setExclusive(bool flag) { exclusive = flag; }
    // An active group serves every enabled member in order, an inactive one only its current listener.
    bool isActive() const { return active; }
    void setActive(bool flag) { active = flag; }

private:
    InputListener* current = nullptr;
    std::vector<InputListener*> members;
    bool exclusive = false;
    bool active = true;
};

} // namespace kernel
