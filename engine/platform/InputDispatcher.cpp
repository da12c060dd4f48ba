#include "engine/platform/InputDispatcher.h"

#include "engine/kernel/InputListener.h"
#include "engine/kernel/ListenerGroup.h"
#include "engine/platform/InputContext.h"
#include "engine/platform/PointerPosition.h"
#include "host/Window.h"

#include <algorithm>

namespace platform {

namespace {

// Positions come as unsigned 16-bit halves of lParam, so a position left of or above the window (a
// negative 16-bit value) is a large number; anything above this counts as such.
constexpr std::uint32_t negativeCoordinate = 60000;

bool isMouseMessage(std::uint32_t message) {
    return message >= host::WM_MOUSEMOVE && message <= host::WM_MBUTTONDBLCLK;
}

bool isKeyMessage(std::uint32_t message) {
    switch (message) {
    case host::WM_KEYDOWN:
    case host::WM_KEYUP:
    case host::WM_CHAR:
    case host::WM_SYSKEYDOWN:
    case host::WM_SYSKEYUP:
        return true;
    default:
        return false;
    }
}

int correctCoordinate(std::uint32_t value, int limit) {
    if (value > negativeCoordinate) {
        return 0;
    }
    // Clamped to the size itself, one past the last pixel.
    return static_cast<int>(std::min<std::uint32_t>(value, static_cast<std::uint32_t>(std::max(limit, 0))));
}

} // namespace

InputDispatcher::InputDispatcher(InputContext& context) : context(context) {}

InputDispatcher::InputDispatcher() : InputDispatcher(InputContext::application()) {}

InputDispatcher::~InputDispatcher() = default;

void InputDispatcher::onAppEvent(std::uint32_t message, std::uint32_t wParam, std::uint32_t lParam) {
    onWindowMessage(message, wParam, lParam);
}

void InputDispatcher::onWindowMessage(std::uint32_t message, std::uint32_t wParam, std::uint32_t lParam) {
    if (isMouseMessage(message)) {
        pointerX = static_cast<int>(lParam & 0xFFFF);
        pointerY = static_cast<int>(lParam >> 16);
    } else if (!isKeyMessage(message)) {
        return;
    }
    queue.push_back({message, wParam, lParam});
}

void InputDispatcher::addListener(kernel::ListenerGroup* group, bool atFront) {
    if (group == nullptr) {
        return;
    }
    groups.insert(atFront ? groups.begin() : groups.end(), group);
}

void InputDispatcher::removeListener(kernel::ListenerGroup* group) {
    std::erase(groups, group);
}

bool InputDispatcher::hasListener(const kernel::ListenerGroup* group) const {
    return group != nullptr && std::find(groups.begin(), groups.end(), group) != groups.end();
}

void InputDispatcher::clearEvents() {
    queue.clear();
}

void InputDispatcher::onFrame(std::uint32_t ms) {
    (void)ms;
    tick();
}

void InputDispatcher::tick() {
    if (queue.empty()) {
        queuePointerOutsideClient();
    }
    // Taken off before it is handed out, so a handler that empties the queue cannot lose the next one.
    while (!queue.empty()) {
        const InputEvent event = queue.front();
        queue.pop_front();
        deliver(event);
    }
}

// A pointer that left the window sends no messages of its own; this keeps the listeners' idea of it on
// the border nearest to it.
void InputDispatcher::queuePointerOutsideClient() {
    if (!context.hasFocus()) {
        return;
    }
    const host::POINT cursor = context.cursorPosition();
    if (cursor.x > 0 && cursor.x < context.gameWidth() && cursor.y > 0 && cursor.y < context.gameHeight()) {
        return;
    }
    pointerX = cursor.x;
    pointerY = cursor.y;
    const std::uint32_t x = static_cast<std::uint32_t>(cursor.x) & 0xFFFF;
    const std::uint32_t y = static_cast<std::uint32_t>(cursor.y) & 0xFFFF;
    queue.push_back({host::WM_MOUSEMOVE, 0, (y << 16) | x});
}

void InputDispatcher::deliver(const InputEvent& event) {
    switch (event.message) {
    case host::WM_KEYDOWN:
        onKeyDown(event.wParam);
        break;
    case host::WM_KEYUP:
        onKeyUp(event.wParam);
        break;
    case host::WM_CHAR:
        onChar(event.wParam);
        break;
    default:
        // The system key messages stay queued only to keep the order; nobody gets them.
        if (isMouseMessage(event.message)) {
            deliverMouse(event);
        }
        break;
    }
}

void InputDispatcher::deliverMouse(const InputEvent& event) {
    const int x = correctX(event.lParam);
    const int y = correctY(event.lParam);
    const std::uint32_t flags = event.wParam;
    pointerX = x;
    pointerY = y;
    switch (event.message) {
    case host::WM_MOUSEMOVE:
        onMouseMove(x, y, flags);
        break;
    case host::WM_LBUTTONDOWN:
    case host::WM_LBUTTONDBLCLK:
        onLeftDown(x, y, flags, event.message == host::WM_LBUTTONDBLCLK);
        break;
    case host::WM_LBUTTONUP:
        onLeftUp(x, y, flags);
        break;
    case host::WM_RBUTTONDOWN:
    case host::WM_RBUTTONDBLCLK:
        onRightDown(x, y, flags, event.message == host::WM_RBUTTONDBLCLK);
        break;
    case host::WM_RBUTTONUP:
        onRightUp(x, y, flags);
        break;
    case host::WM_MBUTTONDOWN:
    case host::WM_MBUTTONDBLCLK:
        onMiddleDown(x, y, flags, event.message == host::WM_MBUTTONDBLCLK);
        break;
    case host::WM_MBUTTONUP:
        onMiddleUp(x, y, flags);
        break;
    default:
        break;
    }
}

int InputDispatcher::correctX(std::uint32_t lParam) const {
    return correctCoordinate(lParam & 0xFFFF, context.gameWidth());
}

int InputDispatcher::correctY(std::uint32_t lParam) const {
    return correctCoordinate(lParam >> 16, context.gameHeight());
}

template <class Call> void InputDispatcher::walkGroups(const Call& call) {
    const std::vector<kernel::ListenerGroup*> walk = groups;
    for (kernel::ListenerGroup* const group : walk) {
        if (!hasListener(group)) {
            continue;
        }
        // Read first: a handler may remove the group, after which it must not be touched.
        bool exclusive = group->isExclusive();
        if (serveGroup(*group, call)) {
            return;
        }
        if (hasListener(group)) {
            exclusive = group->isExclusive();
        }
        if (exclusive) {
            return;
        }
    }
}

template <class Call> bool InputDispatcher::serveGroup(kernel::ListenerGroup& group, const Call& call) {
    if (!group.isActive()) {
        kernel::InputListener* const current = group.getCurrent();
        return current != nullptr && current->isEnabled() && call(*current);
    }
    const std::vector<kernel::InputListener*> members = group.getMembers();
    for (kernel::InputListener* const member : members) {
        // A member taken out by an earlier one (a dialog closing itself) may already be gone.
        if (!hasListener(&group) || !isMember(group, member)) {
            continue;
        }
        if (member->isEnabled() && call(*member)) {
            return true;
        }
    }
    return false;
}

bool InputDispatcher::isMember(const kernel::ListenerGroup& group,
                               const kernel::InputListener* listener) const {
    const auto& members = group.getMembers();
    return std::find(members.begin(), members.end(), listener) != members.end();
}

void InputDispatcher::onKeyDown(std::uint32_t key) {
    walkGroups([key](kernel::InputListener& listener) { return listener.onKeyDown(key); });
}

void InputDispatcher::onKeyUp(std::uint32_t key) {
    walkGroups([key](kernel::InputListener& listener) { return listener.onKeyUp(key); });
}

void InputDispatcher::onChar(std::uint32_t code) {
    walkGroups([code](kernel::InputListener& listener) { return listener.onChar(code); });
}

void InputDispatcher::onMouseMove(int x, int y, std::uint32_t keyFlags) {
    // Nobody takes a move: every enabled listener up to the first exclusive group sees it.
    walkGroups([=](kernel::InputListener& listener) {
        listener.onMouseMove(x, y, keyFlags);
        return false;
    });
}

void InputDispatcher::onLeftDown(int x, int y, std::uint32_t keyFlags, bool doubleClick) {
    walkGroups([=](kernel::InputListener& listener) {
        return listener.onLeftButtonDown(x, y, keyFlags, doubleClick);
    });
}

void InputDispatcher::onLeftUp(int x, int y, std::uint32_t keyFlags) {
    walkGroups([=](kernel::InputListener& listener) { return listener.onLeftButtonUp(x, y, keyFlags); });
}

void InputDispatcher::onMiddleDown(int x, int y, std::uint32_t keyFlags, bool doubleClick) {
    walkGroups([=](kernel::InputListener& listener) {
        return listener.onMiddleButtonDown(x, y, keyFlags, doubleClick);
    });
}

void InputDispatcher::onMiddleUp(int x, int y, std::uint32_t keyFlags) {
    walkGroups([=](kernel::InputListener& listener) { return listener.onMiddleButtonUp(x, y, keyFlags); });
}

void InputDispatcher::onRightDown(int x, int y, std::uint32_t keyFlags, bool doubleClick) {
    walkGroups([=](kernel::InputListener& listener) {
        return listener.onRightButtonDown(x, y, keyFlags, doubleClick);
    });
}

void InputDispatcher::onRightUp(int x, int y, std::uint32_t keyFlags) {
    walkGroups([=](kernel::InputListener& listener) { return listener.onRightButtonUp(x, y, keyFlags); });
}

} // namespace platform
