#include "engine/ui/WidgetCallback.h"

#include "engine/kernel/InputListener.h"
#include "engine/kernel/ListenerGroup.h"
#include "engine/ui/GameNode.h"

#include <algorithm>

namespace ui {

WidgetCallback::~WidgetCallback() = default;

void WidgetCallback::invoke(GameNode* sender) {
    if (function != nullptr) {
        function(receiver, sender);
    }
}

// The listener is a sibling part of the same widget, reached by a cross-cast: the class records only follow
// the object chain.
void WidgetCallback::enlistListeners(kernel::ListenerGroup& group) {
    joinGroup(group, dynamic_cast<kernel::InputListener*>(this), false);
}

void WidgetCallback::bind(void* newReceiver, Function newFunction) {
    receiver = newReceiver;
    function = newFunction;
}

void WidgetCallback::joinGroup(kernel::ListenerGroup& group, kernel::InputListener* listener, bool atFront) {
    if (listener == nullptr) {
        return;
    }
    group.add(listener, atFront);
    if (std::find(enlisted.begin(), enlisted.end(), listener) == enlisted.end()) {
        enlisted.push_back(listener);
    }
}

void WidgetCallback::leaveListenerGroups() {
    for (kernel::InputListener* listener : enlisted) {
        listener->leaveGroups();
    }
    enlisted.clear();
}

GameNode* bindCallback(GameNode* widget, void* receiver, WidgetCallback::Function function,
                       kernel::ListenerGroup& group) {
    // A cross-cast again: the callback is a part beside the node, whatever the widget's class.
    if (auto* callback = dynamic_cast<WidgetCallback*>(widget)) {
        callback->bind(receiver, function);
        callback->enlistListeners(group);
    }
    return widget;
}

} // namespace ui
