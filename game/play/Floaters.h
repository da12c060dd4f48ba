#pragma once
// Short-lived signs over the field: a removal's points letter by letter, the pop-up signs of a new clown or
// party pibble and of a combo, and the READY and GO signs that start a level. Each builder puts its node
// under the parent given and animates it wholly with modifiers, the last of which removes it; nothing else
// holds it.

#include "engine/kernel/Rect.h"
#include "engine/kernel/TextConversion.h"
#include "engine/ui/CallbackModifier.h"

#include <cstdint>

namespace ui {
class GameNode;
class Sprite;
} // namespace ui

namespace game {

using FloaterCallback = ui::CallbackModifier::Function;

// The score floaters' letter animations, chosen by CFG_FLOATER_TYPE; 8 and 9 stand still.
inline constexpr std::int32_t floaterTypes = 10;

// The text (one blank is added) in the font of the pibble colour, letters coming in 150 ms apart after
// the delay, each moving the type's way; the whole floater goes after delay + 3000 ms.
void ShowScoreFloater(ui::GameNode* parent, int x, int y, const kernel::WideString& text, int delay,
                      std::int32_t colour, std::int32_t type);
// Pops the sprite in at (x, y) with a squash and stretch, lets it rise 40 pixels over 1.5 s, holds it
// and shrinks it away. Given an area, the sprite starts nearer its middle where it would otherwise leave
// it at some moment of that show; an empty area leaves it where it is put.
void ShowSpriteFloater(ui::GameNode* parent, ui::Sprite* sprite, int x, int y, int delay,
                       const kernel::Rect& area = {});
void ShowClownFloater(ui::GameNode* parent, int x, int y, int delay, const kernel::Rect& area = {});
void ShowPartyFloater(ui::GameNode* parent, int x, int y, int delay, const kernel::Rect& area = {});
// The combo's sign for its step (none for step 0), moved half its height off the point it would cover:
// up in the lower half of the screen, down in the upper half; then kept inside the area.
void ShowComboFloater(ui::GameNode* parent, int x, int y, int delay, std::int32_t comboStep, int avoidX,
                      int avoidY, const kernel::Rect& area = {});
// Pops the sprite in at (x, y), holds it and shrinks it away; then the callback runs, with the node going
// with it (without a callback, with the shrink).
void ShowCenterFloater(ui::GameNode* parent, ui::Sprite* sprite, int x, int y, int delay, int hold,
                       void* argument, FloaterCallback callback);
void ShowReadyFloater(ui::GameNode* parent, int x, int y, int delay, int hold, void* argument,
                      FloaterCallback callback);
void ShowGoFloater(ui::GameNode* parent, int x, int y, int delay, int hold, void* argument,
                   FloaterCallback callback);

} // namespace game
