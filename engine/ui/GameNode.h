#pragma once

#include "engine/kernel/Object.h"
#include "engine/kernel/SmartPtr.h"
#include "engine/ui/ModifierList.h"

#include <cstdint>
#include <string>

namespace kernel {
class NodeValue;
class Value;
} // namespace kernel

namespace graphics {
class ImagePainter;
}

namespace ui {

class Modifier;

// A node of the scene tree: a position relative to its parent, three flags, a name and the modifiers that
// animate it. The tree is intrusive; the link that reaches a child (the parent's first-child link or the
// previous sibling's next link) holds the one reference that the tree has on it. Removal is deferred:
// kill marks the node dead and the scene's cleaner unlinks and releases it after the frame.
class GameNode : public kernel::Object {
public:
    GameNode();
    // Reads "name", "x", "y", "suspended", "visible" and builds the "children" and "modifiers" lists
    // through the object factory; a missing key keeps its default.
    explicit GameNode(kernel::NodeValue& settings);
    // Unlinks the node from its parent, releases its children and its modifiers.
    ~GameNode() override;

    // Each setter returns the value that it stored.
    virtual int getX() const;
    virtual int setX(int value);
    virtual int getY() const;
    virtual int setY(int value);
    virtual bool setDead(bool value);
    virtual bool setVisible(bool value);
    // The node's own work of a frame, before its modifiers run.
    virtual void onUpdate(std::uint32_t elapsedMs);

    // onUpdate, then the modifier list with its blocking, kill and remove-before flags.
    void update(std::uint32_t elapsedMs);
    // The updater's walk: this node always, then every child subtree that is neither dead nor suspended,
    // each node before its children.
    void updateTree(std::uint32_t elapsedMs);
    // The renderer's walk: nothing when this node is dead or invisible; else a sprite paints itself, then
    // the children follow in order with the painter's origin moved to this node's position.
    void paintTree(graphics::ImagePainter& painter);
    // The cleaner's walk, children before their parent: every dead node below this one is unlinked,
    // revived and released (its subtree goes with it unless held elsewhere).
    void removeDeadDescendants();

    // Moves the child from wherever it is to the end of this node's children and revives it.
    void addChild(GameNode* child);
    // Moves the node to directly after (before) this one, under this node's parent.
    void insertAfter(GameNode* node);
    void insertBefore(GameNode* node);
    // Revives the node and unlinks it; the result holds the reference the old parent's link had (a
    // fresh one for a node without parent). Dropping the result releases the node.
    kernel::SmartPtr<GameNode> detachFromParent();
    // Unlinks every child and releases them from the last to the first.
    void removeAllChildren();

    void setPosition(int x, int y);
    // Deferred removal: the cleaner unlinks and releases the node at the end of the frame.
    void kill();

    // Nothing when the modifier is already in the list. The list holds one reference.
    Modifier* addModifier(Modifier* modifier, bool atBack = true);
    void removeAllModifiers();
    const ModifierList& getModifierList() const { return modifiers; }

    // The position summed over the node and all its ancestors.
    int getAbsoluteX() const;
    int getAbsoluteY() const;

    const std::string& getName() const { return name; }
    void setName(std::string text);
    bool setSuspended(bool value);
    bool isSuspended() const { return suspended; }
    bool isVisible() const { return visible; }
    bool isDead() const { return dead; }
    GameNode* getParent() const { return parent; }
    GameNode* getFirstChild() const { return firstChild.get(); }
    GameNode* getNextSibling() const { return nextSibling.get(); }
    // The first child of that name, searching depth first; null when none has it.
    GameNode* findChild(const std::string& childName) const;

    static constexpr kernel::ClassInfo classInfo{&kernel::Object::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    void readSettings(kernel::NodeValue& settings);
    void createChildren(kernel::NodeValue& settings);
    void createModifiers(kernel::NodeValue& settings);
    // The link (parent's first-child or a sibling's next) that holds this node.
    kernel::SmartPtr<GameNode>& linkToSelf();
    kernel::SmartPtr<GameNode>& lastChildLink();
    // Links an already unlinked node (its reference in hand) into the given link of this node's parent.
    void linkInto(kernel::SmartPtr<GameNode>& link, kernel::SmartPtr<GameNode> node, GameNode* newParent);
    void paintChildren(graphics::ImagePainter& painter);

    GameNode* parent = nullptr;
    kernel::SmartPtr<GameNode> nextSibling;
    kernel::SmartPtr<GameNode> firstChild;
    int x = 0;
    int y = 0;
    bool dead = false;
    bool suspended = false;
    bool visible = true;
    ModifierList modifiers;
    std::string name;
};

} // namespace ui
