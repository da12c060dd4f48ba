#pragma once

#include "engine/kernel/SmartPtr.h"
#include "engine/platform/SceneComponent.h"

#include <cstdint>
#include <string>
#include <unordered_map>

namespace ui {

class Scene;
class SceneTransition;
class ToolTip;

// Runs the program's screens as the first frame listener: keeps the named scenes, switches between them
// (through a transition scene when one is installed) and runs the current scene each frame: its input,
// its own update, the updater, the renderer, the installed tool-tip and last the cleaner.
//
// A change takes three frames: the one that asks for it, the switch (the new scene is entered and nothing
// runs), and the next one (the replaced scene is left, then the new one runs). Only the very first scene
// runs in the frame of its switch, as there is nothing to leave.
class SceneManager : public platform::SceneComponent {
public:
    // The window's close request goes to the current scene while the manager exists.
    static SceneManager* create();
    // Null before create.
    static SceneManager* instance();
    static void destroy();

    // The application exists by the first frame even when it was made after the manager.
    void onStart() override;
    void onFrame(std::uint32_t ms) override;

    // The registry holds one reference; a scene registered under a name in use replaces the old one.
    void registerScene(const std::string& name, Scene* scene);
    // Null for a name that is not registered.
    Scene* findScene(const std::string& name) const;
    // Switches in a later frame; a name that is not registered changes nothing.
    void changeScene(const std::string& name);
    // Replaces a pending switch.
    void setNextScene(Scene* scene);
    // Used by the next switch; the game installs it just before changeScene.
    void setTransition(SceneTransition* scene);
    // Searches the pending scene's tree (else the current one's) and follows the pointer in the groups of
    // every registered scene and of the dialogs they keep, in place of the tool-tip installed before.
    // Null uninstalls.
    void setToolTip(ToolTip* tip);

    // At quit, before anything is saved: leaves each scene that has been entered and not yet left, once
    // and newest first: the target that a current transition has entered early, the current scene and the
    // replaced scene whose leave waits for the next frame.
    void leaveEnteredScenes();

    Scene* currentScene() const { return current.get(); }
    Scene* previousScene() const { return previous.get(); }
    Scene* nextScene() const { return next.get(); }
    SceneTransition* transitionScene() const { return transition.get(); }
    ToolTip* toolTip() const { return installedToolTip.get(); }

    static constexpr kernel::ClassInfo classInfo{&platform::SceneComponent::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    SceneManager() = default;
    ~SceneManager() override;

    static void installCloseHandler(bool install);
    // The window's close request, or the system's request to end, goes to the current scene.
    static bool forwardToCurrentScene(void (Scene::*request)());

    void dropDeadScenes();
    void switchScenes();
    void leavePreviousScene();
    void runCurrentScene(std::uint32_t ms);
    void listToolTipEverywhere(ToolTip* tip);

    std::unordered_map<std::string, kernel::SmartPtr<Scene>> registry;
    kernel::SmartPtr<Scene> previous;
    kernel::SmartPtr<Scene> current;
    kernel::SmartPtr<Scene> next;
    kernel::SmartPtr<SceneTransition> transition;
    kernel::SmartPtr<ToolTip> installedToolTip;
};

// The game's start-up names each scene and hands it to the manager, which holds one reference.
void RegisterScene(const std::string& name, Scene* scene);

} // namespace ui
