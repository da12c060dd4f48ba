#pragma once

#include "engine/kernel/ClassInfo.h"

#include <vector>

namespace kernel {
class InputListener;
class ListenerGroup;
} // namespace kernel

namespace ui {

class GameNode;

// How a widget reports a user action to its owner: a free function called with the owner's receiver and
// the widget itself. Every widget that reports actions embeds one beside its input listener part; binding
// it also enlists the widget's listeners in the owner's group.
//
// The part remembers the listeners it enlisted, so a killed widget stops taking input at once, before the
// cleaner frees it; a listener that is destroyed leaves its groups by itself.
class WidgetCallback {
public:
    using Function = void (*)(void* receiver, GameNode* sender);

    WidgetCallback() = default;
    WidgetCallback(const WidgetCallback&) = delete;
    WidgetCallback& operator=(const WidgetCallback&) = delete;

    // An embedding widget answers with its own record.
    virtual const kernel::ClassInfo* getClassInfo() const { return &classInfo; }
    // Nothing happens while no function is bound.
    virtual void invoke(GameNode* sender);
    // Enlists the widget's own listener at the back. A widget with more listeners (a slider with its step
    // buttons) overrides this and enlists each through joinGroup.
    virtual void enlistListeners(kernel::ListenerGroup& group);

    void bind(void* newReceiver, Function newFunction);
    void* getReceiver() const { return receiver; }
    Function getFunction() const { return function; }

    // Adds the listener to the group (moving an earlier copy) and remembers the membership.
    void joinGroup(kernel::ListenerGroup& group, kernel::InputListener* listener, bool atFront);
    // Takes every listener enlisted through joinGroup out of its group.
    void leaveListenerGroups();
    bool hasJoinedGroups() const { return !enlisted.empty(); }

    static constexpr kernel::ClassInfo classInfo{nullptr};

protected:
    // Only ever destroyed as part of its widget.
    ~WidgetCallback();

private:
    void* receiver = nullptr;
    Function function = nullptr;
    // The listeners enlisted through joinGroup; their groups are known to the listeners themselves, so a
    // group that is gone already is never reached from here.
    std::vector<kernel::InputListener*> enlisted;
};

// Binds the widget's callback and enlists its listeners in the group; a node that reports no actions is
// left alone. Returns the widget.
GameNode* bindCallback(GameNode* widget, void* receiver, WidgetCallback::Function function,
                       kernel::ListenerGroup& group);

} // namespace ui
