#pragma once

#include "engine/graphics/ImageBase.h"
#include "engine/kernel/Rect.h"
#include "engine/kernel/SmartPtr.h"
#include "engine/platform/SceneComponent.h"

#include <cstdint>
#include <string>

namespace graphics {
class ImagePainter;
}

namespace ui {

class GameNode;

// The proof that what the partial paths put on the screen is the picture itself. Asked for through the
// environment, it draws every frame again whole, right after the scene's renderer drew it: the same tree
// and the tool-tip into a picture of its own, with every picture kept between frames passed by (the
// renderer's redraw of only what changed, the field's cache, the dialogs' buffers). Once the frame is
// presented, that picture must equal the back buffer, and the window must show the back buffer as a whole
// presentation would (the host compares it).
//
// Each differing frame is counted; a line on stderr tells the frame, the scene and the smallest rectangle
// that holds every differing pixel, once for each new rectangle (a mark left behind would otherwise fill the
// output frame after frame). Its end tells how many of the frames checked differed.
class FrameCheck : public platform::SceneComponent {
public:
    // Set to anything but "" or "0"; read once, at start-up. Set to a folder, the first frames whose back
    // buffer differed somewhere new are also kept there, as drawn and as drawn whole (frame-N-drawn.ppm,
    // frame-N-whole.ppm).
    static constexpr const char* variable = "PIBBLES_CHECK_FRAMES";
    static constexpr int picturesKept = 40;

    // A check made as the frame timer's last listener so far when the environment asks for one; null
    // otherwise. The timer holds it; it must come after the application, which presents the frame.
    static FrameCheck* startWhenAsked();
    // True while a check draws its whole picture: what keeps pictures between frames draws without them,
    // and changes none of its own state.
    static bool drawingWhole();

    FrameCheck();
    ~FrameCheck() override;

    void onStart() override;
    void onFrame(std::uint32_t ms) override;

    // Told by the scene renderer right after it drew a frame from the root: the check draws it whole now.
    static void frameDrawn(GameNode& root);

    static constexpr kernel::ClassInfo classInfo{&platform::SceneComponent::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    // The frame drawn whole from the root, as a scene's renderer draws it, into a picture of the back
    // buffer's size and depth (the one given when it fits); null without an application to paint on.
    static kernel::SmartPtr<graphics::ImageBase> drawWhole(GameNode& root, graphics::ImageBase* reuse);
    void report(const std::string& what);

    kernel::SmartPtr<graphics::ImageBase> whole;
    // The back buffer of the frame drawn whole since the last check; null when none was.
    kernel::SmartPtr<graphics::ImageBase> drawnOn;
    int checkedFrames = 0;
    int differingFrames = 0;
    // What the last line told, so that a difference that stays is told once.
    std::string lastTold;
    kernel::Rect lastBack;
    std::string keepIn;
    int keptPictures = 0;
};

} // namespace ui
