#include "engine/ui/GameNode.h"

namespace ui {

GameNode::GameNode(kernel::NodeValue& settings) {
    (void)settings;
}

GameNode::~GameNode() = default;

} // namespace ui
