#include "engine/kernel/InputListener.h"

#include "engine/kernel/ListenerGroup.h"

namespace kernel {

InputListener::~InputListener() {
    leaveGroups();
}

void InputListener::leaveGroups() {
    // Each forget unlinks the group from this list, so take them from a copy.
    const std::vector<ListenerGroup*> joined = groups;
    for (ListenerGroup* group : joined) {
        group->forget(this);
    }
}

bool InputListener::onKeyDown(std::uint32_t) {
    return false;
}

bool InputListener::onKeyUp(std::uint32_t) {
    return false;
}

bool InputListener::onChar(std::uint32_t) {
    return false;
}

void InputListener::onMouseMove(int, int, std::uint32_t) {}

bool InputListener::onLeftButtonDown(int, int, std::uint32_t, bool) {
    return false;
}

bool InputListener::onLeftButtonUp(int, int, std::uint32_t) {
    return false;
}

bool InputListener::onMiddleButtonDown(int, int, std::uint32_t, bool) {
    return false;
}

bool InputListener::onMiddleButtonUp(int, int, std::uint32_t) {
    return false;
}

bool InputListener::onRightButtonDown(int, int, std::uint32_t, bool) {
    return false;
}

bool InputListener::onRightButtonUp(int, int, std::uint32_t) {
    return false;
}

} // namespace kernel
