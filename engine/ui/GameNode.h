#pragma once

#include "engine/kernel/Object.h"

#include <string>
#include <utility>

namespace kernel {
class NodeValue;
}

namespace ui {

// A node of the scene tree. For now it carries only its name; the tree links, position, flags and
// modifiers join it with the rest of the node tree.
class GameNode : public kernel::Object {
public:
    GameNode() = default;
    // Built from its declaration; no key is read yet.
    explicit GameNode(kernel::NodeValue& settings);
    ~GameNode() override;

    const std::string& getName() const { return name; }
    void setName(std::string text) { name = std::move(text); }

    static constexpr kernel::ClassInfo classInfo{&kernel::Object::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    std::string name;
};

} // namespace ui
