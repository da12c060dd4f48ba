#pragma once

#include "engine/kernel/ListenerGroup.h"
#include "engine/kernel/SmartPtr.h"
#include "engine/platform/AppEventListener.h"
#include "engine/ui/GameNode.h"

#include <cstdint>
#include <memory>

namespace kernel {
class NodeValue;
class Value;
} // namespace kernel

namespace platform {
class InputDispatcher;
}

namespace ui {

class Button;
class Scene;

// The caption buttons of a full-screen window: minimise, back to a window and quit, laid out side by side
// to the left of the handler's own position and drawn on top of whatever scene is current. The handler
// gets its input through a dispatcher of its own, ticked by the frame timer after the frame is presented,
// so the buttons work whatever the scene does with its groups. It also answers the application's private
// events: it stores the full-screen option when the state changes, and mutes the sound while the window
// is minimised.
class FullScreenHandler : public GameNode, public platform::AppEventListener {
public:
    // The node's keys and the Nodes "button_minimize", "button_restore" and "button_quit". Registers with
    // the application's event dispatcher and the frame timer, and hides the default handler.
    explicit FullScreenHandler(kernel::NodeValue& settings);
    // Leaves every registration behind it: the event dispatcher, the frame timer and the group.
    ~FullScreenHandler() override;

    // Null when the declaration makes no handler; the operations of the default handler then do nothing.
    static FullScreenHandler* createDefault();
    static FullScreenHandler* defaultHandler();
    // Whether the point lies on a button of the default handler while it is shown (hidden, the game in a
    // window, its buttons take no clicks).
    static bool defaultButtonsContain(int x, int y);
    // The handler also leaves the scene it is drawn on, so it goes at once.
    static void destroyDefault();
    // Shows the default handler while enabled and in full screen, on top of the scene (the pending one,
    // else the current one, when null); its buttons react only when interactive too.
    static void setActive(bool enabled, bool interactive, Scene* scene);

    void onAppEvent(std::uint32_t message, std::uint32_t wParam, std::uint32_t lParam) override;

    static void onMinimizeClicked(void* receiver, GameNode* sender);
    static void onRestoreClicked(void* receiver, GameNode* sender);
    // The current scene decides whether to quit.
    static void onQuitClicked(void* receiver, GameNode* sender);

    Button* getButtonMinimize() const { return buttonMinimize.get(); }
    Button* getButtonRestore() const { return buttonRestore.get(); }
    Button* getButtonQuit() const { return buttonQuit.get(); }
    kernel::ListenerGroup& getGroup() const { return *group; }
    platform::InputDispatcher* getDispatcher() const { return dispatcher.get(); }
    bool isEnabled() const { return enabled; }

    static kernel::Object* createInstance(kernel::Value& settings);

    static constexpr kernel::ClassInfo classInfo{&GameNode::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    void registerListeners();
    void unregisterListeners();
    kernel::SmartPtr<Button> makeButton(kernel::NodeValue& settings, const char* name);
    void layOutButtons();
    void bindButtons();
    void releaseButtons();
    // Visible and interactive only in full screen; when shown, moved on top of the scene.
    void apply(bool enable, bool interactive, Scene* scene);

    kernel::SmartPtr<Button> buttonMinimize;
    kernel::SmartPtr<Button> buttonRestore;
    kernel::SmartPtr<Button> buttonQuit;
    std::unique_ptr<kernel::ListenerGroup> group;
    kernel::SmartPtr<platform::InputDispatcher> dispatcher;
    bool enabled = false;
};

} // namespace ui
