#pragma once

#include "engine/ui/SceneTransition.h"
#include "game/frontend/TransitionPictures.h"

#include <string>

namespace kernel {
class NodeValue;
}

namespace ui {
class GameNode;
}

namespace game {

// The game's change of scene: the screen fades to black over a picture of the old scene, and the black
// fades away over a picture of the new one, which has been entered before the first fade began.
class TransitionScene : public ui::SceneTransition {
public:
    // The game makes its transitions without settings and then sets the duration.
    TransitionScene();
    // The scene's keys and "time", the length of each fade in ms.
    explicit TransitionScene(kernel::NodeValue& settings);
    ~TransitionScene() override;

    void onEnter() override;
    // A transition is made for one change of scene: left, it lets go of both scenes and its pictures, so
    // the scene it left (with whatever it showed) does not outlive it until the next change.
    void onLeave() override;
    void finish() override;

    void setDuration(int ms) { duration = ms; }
    int getDuration() const { return duration; }
    const TransitionPictures& getPictures() const { return pictures; }

    static constexpr kernel::ClassInfo classInfo{&ui::SceneTransition::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

    // Every change of scene in the game fades this long each way.
    static constexpr int gameDuration = 450;
    static constexpr int defaultDuration = 1000;

private:
    static void onBlack(void* argument, ui::GameNode* node);
    static void onCleared(void* argument, ui::GameNode* node);

    TransitionPictures pictures;
    int duration = defaultDuration;
};

// Installs a transition of the game's length and changes to the named scene through it.
void ChangeSceneWithTransition(const std::string& name);

} // namespace game
