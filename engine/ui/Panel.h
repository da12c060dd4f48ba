#pragma once

#include "engine/kernel/SmartPtr.h"
#include "engine/ui/GameNode.h"
#include "engine/ui/Sprite.h"

#include <string>

namespace kernel {
class NodeValue;
class Value;
} // namespace kernel

namespace ui {

// A sprite whose named components live under one content node, drawn over the panel's own children.
class Panel : public Sprite {
public:
    Panel();
    // The sprite's keys, then "components": a Vector of Nodes, each built by the factory and added in order.
    explicit Panel(kernel::NodeValue& settings);
    ~Panel() override;

    // The first component of that name, depth first through nested live panels; null when none bears it.
    virtual GameNode* findComponent(const std::string& name);
    // The same component when it is of the class asked for (or derives from it); else null.
    template <class Kind> Kind* findComponentAs(const std::string& name) {
        GameNode* found = findComponent(name);
        return found != nullptr && found->isKindOf(Kind::classInfo) ? static_cast<Kind*>(found) : nullptr;
    }
    virtual bool addComponent(GameNode* node);
    // Only marks the node dead: the scene's cleaner unlinks it after the frame.
    virtual void removeComponent(GameNode* node);
    // Hands the panel's clip rectangle to every sprite below the content node.
    virtual void relayout();

    GameNode* getContentNode() const { return contentNode.get(); }

    static kernel::Object* createInstance(kernel::Value& settings);

    static constexpr kernel::ClassInfo classInfo{&Sprite::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

protected:
    // Builds each Node of the Vector under the key with the factory and hands every game node it makes to
    // addComponent, in order; anything else is released. Called from a constructor, the addComponent reached
    // is that constructor's class's own, so a panel's "components" never go through a derived override.
    void addDeclaredComponents(kernel::NodeValue& settings, const char* key);

private:
    void createContentNode();

    kernel::SmartPtr<GameNode> contentNode;
};

} // namespace ui
