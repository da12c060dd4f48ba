#pragma once

#include "engine/kernel/SmartPtr.h"
#include "engine/ui/Label.h"
#include "engine/ui/SceneTransition.h"
#include "game/frontend/TransitionPictures.h"
#include "game/frontend/TransitionScene.h"

#include <climits>
#include <cstdint>
#include <string>

namespace kernel {
class NodeValue;
}

namespace ui {
class GameNode;
}

namespace game {

// The way into a play scene: it fades to black over the old scene, then shows a loading text with running
// dots until the resource loader has loaded everything requested, and only then enters the play scene
// and fades in over its picture.
class LoadingTransitionScene : public ui::SceneTransition {
public:
    // The game makes its transitions without settings and then sets the duration.
    LoadingTransitionScene();
    // The scene's keys and "time", the length of each fade in ms.
    explicit LoadingTransitionScene(kernel::NodeValue& settings);
    ~LoadingTransitionScene() override;

    void onUpdate(std::uint32_t elapsedMs) override;
    void onEnter() override;
    // A transition is made for one change of scene: left, it lets go of both scenes and its pictures, so
    // the scene it left (with whatever it showed) does not outlive it until the next change.
    void onLeave() override;
    void finish() override;

    void setDuration(int ms) { duration = ms; }
    int getDuration() const { return duration; }
    const TransitionPictures& getPictures() const { return pictures; }
    // None until the screen is black.
    ui::Label* getLoadingLabel() const { return loadingLabel.get(); }
    bool isWaitingForLoad() const { return waitingForLoad; }

    static constexpr kernel::ClassInfo classInfo{&ui::SceneTransition::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    static void onBlack(void* argument, ui::GameNode* node);
    static void onDotStep(void* argument, ui::GameNode* node);
    static void onCleared(void* argument, ui::GameNode* node);

    void showLoadingLabel();
    void placeLoadingLabel();
    void stepDots();
    bool loadingDone() const;
    void enterLoadedTarget();

    TransitionPictures pictures;
    int duration = TransitionScene::defaultDuration;
    // Past the last count, so the first step writes the bare text.
    int dotCount = INT_MAX;
    kernel::SmartPtr<ui::Label> loadingLabel;
    bool waitingForLoad = false;
};

// The selection scene's way into a play scene: through a loading transition of the game's length.
void StartPlayScene(const std::string& name);

} // namespace game
