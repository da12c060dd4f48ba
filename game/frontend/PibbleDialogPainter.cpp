#include "game/frontend/PibbleDialogPainter.h"

#include "engine/kernel/NodeValue.h"
#include "engine/kernel/ObjectFactory.h"

namespace game {

namespace {

const kernel::ClassRegistrar registerPibbleDialogPainter("PibbleDialogPainter",
                                                         PibbleDialogPainter::createInstance);

} // namespace

PibbleDialogPainter::PibbleDialogPainter(kernel::NodeValue& settings) : ui::DialogPainter(settings) {}

PibbleDialogPainter::~PibbleDialogPainter() = default;

kernel::Object* PibbleDialogPainter::createInstance(kernel::Value& settings) {
    return new PibbleDialogPainter(settings.asNode());
}

} // namespace game
