#pragma once

#include "engine/kernel/SmartPtr.h"
#include "engine/kernel/VectorValue.h"
#include "engine/platform/InputDispatcher.h"
#include "engine/ui/Dialog.h"
#include "engine/ui/SceneCleaner.h"
#include "engine/ui/SceneRenderer.h"
#include "engine/ui/SceneRootNode.h"
#include "engine/ui/SceneUpdater.h"

#include <string>
#include <unordered_map>
#include <vector>

namespace kernel {
class NodeValue;
}

namespace ui {

// One whole screen: the tree of everything shown on it, the components that run that tree each frame,
// the dialogs it has made and those of them that are open. A scene is declared like a dialog but is in no
// tree itself: what it shows lies under its root node, its components first and its open dialogs after.
class Scene : public Dialog {
public:
    enum class State { New = 0, Current = 1, NotCurrent = 2 };

    Scene();
    // The dialog's keys; the declaration's id becomes the scene's name and "scenecomponents" is kept for
    // the first entry.
    explicit Scene(kernel::NodeValue& settings);
    ~Scene() override;

    // The manager enters and leaves scenes through the dialog's activation.
    void activate() override { onEnter(); }
    void deactivate() override { onLeave(); }
    // Loads on the first entry, activates the scene's group and lets its input dispatcher hear the window.
    virtual void onEnter();
    // Deactivates, stops listening to the window and releases what died in the last frame.
    virtual void onLeave();
    // The background only: the components are painted by the renderer with the rest of the tree.
    void paint(graphics::ImagePainter& painter) override;
    // Runs once, on the first entry: builds "scenecomponents" and fetches "scenebackground".
    virtual void load();
    // The default closes the window; the game's scenes decide for themselves.
    virtual void onCloseRequest();
    // The system ends the program (a logout, a shutdown, a kill): nobody may be there to answer a question.
    // The default closes the window at once; a scene that holds something to keep keeps it, then ends.
    virtual void onEndRequest();

    // The dialog kept under key (name when key is empty), made from the declaration name when there is
    // none yet. An open one is closed first. Null when the declaration builds no dialog.
    Dialog* createDialog(const std::string& name, bool exclusive = false, const std::string& key = {});
    // Puts the dialog on top of the scene and serves its group before every older one.
    void showDialog(Dialog* dialog);
    // The cleaner unlinks the dialog after the frame; the scene keeps it for a later showDialog.
    void closeDialog(Dialog* dialog);
    bool isDialogOpen(const std::string& key) const;
    // Closes the dialog and forgets it.
    void removeDialog(const std::string& key);
    void removeAllDialogs();
    Dialog* findDialog(const std::string& key) const;
    // Newest first.
    const std::vector<kernel::SmartPtr<Dialog>>& getOpenDialogs() const { return openDialogs; }
    // Every dialog the scene keeps, open or not, by key.
    const std::unordered_map<std::string, kernel::SmartPtr<Dialog>>& getDialogs() const { return dialogs; }

    State getState() const { return state; }
    void setState(State value) { state = value; }

    SceneRootNode* getRootNode() const { return rootNode.get(); }
    SceneUpdater* getSceneUpdater() const { return updater.get(); }
    SceneRenderer* getSceneRenderer() const { return renderer.get(); }
    SceneCleaner* getSceneCleaner() const { return cleaner.get(); }
    platform::InputDispatcher* getInputDispatcher() const { return inputDispatcher.get(); }

    static constexpr kernel::ClassInfo classInfo{&Dialog::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    void buildTree();
    void buildSceneComponents();
    void readBackground();
    void handRootToToolTip();
    void listenToWindow(bool listen);
    bool isOpen(const Dialog* dialog) const;
    void dropFromOpenList(const Dialog* dialog);

    kernel::SmartPtr<SceneUpdater> updater;
    kernel::SmartPtr<SceneRenderer> renderer;
    kernel::SmartPtr<SceneCleaner> cleaner;
    kernel::SmartPtr<SceneRootNode> rootNode;
    kernel::SmartPtr<platform::InputDispatcher> inputDispatcher;
    State state = State::New;
    std::unordered_map<std::string, kernel::SmartPtr<Dialog>> dialogs;
    std::vector<kernel::SmartPtr<Dialog>> openDialogs;
    kernel::SmartPtr<kernel::VectorValue> sceneComponents;
};

} // namespace ui
