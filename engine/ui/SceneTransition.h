#pragma once

#include "engine/kernel/SmartPtr.h"
#include "engine/ui/Scene.h"

namespace kernel {
class NodeValue;
}

namespace ui {

// A scene that runs between two scenes: it enters the target early, so the target can be drawn under the
// transition, and hands over to it when it has finished.
class SceneTransition : public Scene {
public:
    SceneTransition();
    explicit SceneTransition(kernel::NodeValue& settings);

    // The source's widgets get no input while the transition runs.
    void onEnter() override;
    // Given by the manager's switch; both scenes are held until the transition goes.
    virtual void setScenes(Scene* from, Scene* to);
    // Loads the target on its first entry and lets it hear the window, its widgets still inactive.
    virtual void enterTarget();
    // The switch to the target follows in the next frame; what the target heard while it was inactive is
    // dropped.
    virtual void finish();
    void callFinish() { finish(); }
    // At quit, while the transition is still current: the target entered early is left too, once. A
    // target not entered yet is not left.
    void leaveEnteredTarget();

    Scene* getSourceScene() const { return source.get(); }
    Scene* getTargetScene() const { return target.get(); }
    bool getReactivateTarget() const { return reactivateTarget; }
    void setReactivateTarget(bool flag) { reactivateTarget = flag; }

    static constexpr kernel::ClassInfo classInfo{&Scene::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    kernel::SmartPtr<Scene> source;
    kernel::SmartPtr<Scene> target;
    bool reactivateTarget = true;
    // Entered through enterTarget and not left since.
    bool targetEntered = false;
};

} // namespace ui
