#pragma once

#include <cstdint>
#include <vector>

namespace kernel {

class ListenerGroup;

// What reacts to keys and the mouse: a secondary base of dialogs, scenes and widgets, not an Object.
// Coordinates are game-area pixels and the key flags the message's key-state word. A handler returns
// true when it took the event; every default leaves it to others.
class InputListener {
public:
    InputListener() = default;
    // A copy belongs to no group.
    InputListener(const InputListener& other) : enabled(other.enabled) {}
    InputListener& operator=(const InputListener& other) {
        enabled = other.enabled;
        return *this;
    }
    // Leaves every group it is in, so no group is left pointing at a freed listener.
    virtual ~InputListener();

    virtual bool onKeyDown(std::uint32_t keyCode);
    virtual bool onKeyUp(std::uint32_t keyCode);
    virtual bool onChar(std::uint32_t charCode);
    virtual void onMouseMove(int x, int y, std::uint32_t keyFlags);
    // doubleClick is true for the second press of a double click.
    virtual bool onLeftButtonDown(int x, int y, std::uint32_t keyFlags, bool doubleClick);
    virtual bool onLeftButtonUp(int x, int y, std::uint32_t keyFlags);
    virtual bool onMiddleButtonDown(int x, int y, std::uint32_t keyFlags, bool doubleClick);
    virtual bool onMiddleButtonUp(int x, int y, std::uint32_t keyFlags);
    virtual bool onRightButtonDown(int x, int y, std::uint32_t keyFlags, bool doubleClick);
    virtual bool onRightButtonUp(int x, int y, std::uint32_t keyFlags);

    // Leaves every group it is in, as a member and as the current listener.
    void leaveGroups();

    virtual void setEnabled(bool flag) { enabled = flag; }
    virtual bool isEnabled() const { return enabled; }

private:
    friend class ListenerGroup;

    bool enabled = true;
    // The groups that list this listener or hold it as their current one.
    std::vector<ListenerGroup*> groups;
};

} // namespace kernel
