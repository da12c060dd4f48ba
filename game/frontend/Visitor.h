#pragma once
// The visiting pibble that a typed code calls into any scene.

#include "engine/kernel/SmartPtr.h"
#include "engine/ui/Sprite.h"

namespace ui {
class Scene;
}

namespace game {

// The visitor flies in from the top-left corner to the middle of the screen, growing to twice its size
// and fading in, stays about two seconds, and flies off to the top-right corner, shrinking and fading out;
// it is gone 6000 ms after it came. It is drawn over everything the scene shows at the moment it comes,
// its dialogs too. Null, showing nothing, while its picture is not loaded or the scene has no tree.
kernel::SmartPtr<ui::Sprite> ShowVisitor(ui::Scene& scene);

} // namespace game
