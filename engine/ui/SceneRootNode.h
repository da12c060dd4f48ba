#pragma once

#include "engine/ui/GameNode.h"

namespace ui {

// The top of a scene's tree. It behaves as any node; its class tells a scene's root from other nodes.
class SceneRootNode : public GameNode {
public:
    SceneRootNode() = default;

    static constexpr kernel::ClassInfo classInfo{&GameNode::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }
};

} // namespace ui
