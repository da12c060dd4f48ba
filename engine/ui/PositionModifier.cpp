#include "engine/ui/PositionModifier.h"

namespace ui {

PositionModifier::PositionModifier(int fromX, int fromY)
    : fromX(fromX), fromY(fromY), currentX(static_cast<float>(fromX)), currentY(static_cast<float>(fromY)) {}

} // namespace ui
