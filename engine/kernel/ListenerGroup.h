#pragma once

#include <vector>

namespace kernel {

class InputListener;

// The ordered input listeners of one dialog or scene. The group neither owns nor counts its members, but
// it and its listeners know each other: a listener that is destroyed leaves the group, and a group that
// is destroyed lets its listeners go, so neither is left pointing at the other.
class ListenerGroup {
public:
    ListenerGroup() = default;
    ListenerGroup(const ListenerGroup&) = delete;
    ListenerGroup& operator=(const ListenerGroup&) = delete;
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
    friend class InputListener;

    // The listener is being destroyed: it stops being a member and the current one.
    void forget(InputListener* listener);
    void link(InputListener* listener);
    // Drops the back-link once the listener is neither a member nor the current one.
    void unlinkIfGone(InputListener* listener);

    InputListener* current = nullptr;
    std::vector<InputListener*> members;
    bool exclusive = false;
    bool active = true;
};

} // namespace kernel
