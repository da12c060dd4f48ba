#pragma once

#include "engine/graphics/MemoryImage32.h"
#include "engine/kernel/SmartPtr.h"
#include "engine/ui/CallbackModifier.h"
#include "engine/ui/Sprite.h"

namespace ui {
class GameNode;
class Scene;
} // namespace ui

namespace game {

// The pictures a transition scene shows: still full-screen pictures of the scene it leaves and of the
// scene it enters, and the black overlay whose fades hide the switch. The transition draws nothing live,
// so neither scene needs to run while it is current.
class TransitionPictures {
public:
    // Puts the source picture and the overlay (on top) under the transition's root.
    explicit TransitionPictures(ui::GameNode& root);
    TransitionPictures(const TransitionPictures&) = delete;
    TransitionPictures& operator=(const TransitionPictures&) = delete;
    ~TransitionPictures();

    void snapshotSource(ui::Scene* scene) { snapshot(scene, *sourceSprite); }
    void snapshotTarget(ui::Scene* scene) { snapshot(scene, *targetSprite); }
    // The target picture goes above everything the root holds and the overlay above it again.
    void showTarget(ui::GameNode& root);
    // A blocking fade of the overlay, and then the step.
    void fadeOverlay(int from, int to, int duration, void* argument, ui::CallbackModifier::Function then);
    // Lets go of the three full-screen pictures once the transition is over: the sprites stay where they
    // are and draw nothing.
    void release();

    ui::Sprite* getSourceSprite() const { return sourceSprite.get(); }
    ui::Sprite* getTargetSprite() const { return targetSprite.get(); }
    ui::Sprite* getOverlaySprite() const { return overlaySprite.get(); }
    graphics::MemoryImage32* getOverlayImage() const { return overlayImage.get(); }

    // The application's size, else the game's fixed 640 x 480.
    static int gameWidth();
    static int gameHeight();

private:
    static kernel::SmartPtr<ui::Sprite> makeScreenSprite(graphics::MemoryImage32* image);
    static kernel::SmartPtr<graphics::MemoryImage32> makeOverlayImage();
    // Paints the scene into the sprite's image as the renderer paints a frame.
    static void snapshot(ui::Scene* scene, ui::Sprite& sprite);

    kernel::SmartPtr<ui::Sprite> sourceSprite;
    kernel::SmartPtr<ui::Sprite> targetSprite;
    kernel::SmartPtr<ui::Sprite> overlaySprite;
    kernel::SmartPtr<graphics::MemoryImage32> overlayImage;
};

} // namespace game
