#include "engine/ui/GameNode.h"

#include "engine/graphics/ImagePainter.h"
#include "engine/kernel/NodeValue.h"
#include "engine/kernel/ObjectFactory.h"
#include "engine/kernel/TextConversion.h"
#include "engine/ui/Modifier.h"
#include "engine/ui/Sprite.h"

#include <utility>
#include <vector>

namespace ui {

namespace {

kernel::Object* createGameNode(kernel::Value& settings) {
    return new GameNode(settings.asNode());
}

const kernel::ClassRegistrar registrar("GameNode", createGameNode);

// A key that is missing or not a scalar reads as absent, so the field keeps its default.
const kernel::ScalarValue* findScalar(const kernel::NodeValue& settings, const std::string& key) {
    kernel::Value* value = settings.findChild(key);
    return value != nullptr && value->isScalar() ? &value->asScalar() : nullptr;
}

// Builds each element of the Vector through the factory. An element whose type has no creator, or whose
// object is of the wrong kind, is skipped: the rest of the declaration still builds.
template <class Use> void createEach(kernel::NodeValue& settings, const std::string& key, Use use) {
    kernel::Value* list = settings.findChild(key);
    if (list == nullptr || !list->isVector()) {
        return;
    }
    for (const kernel::SmartPtr<kernel::Value>& element : list->asVector().children()) {
        // Held while it is handed over, so an object nobody takes is freed.
        kernel::SmartPtr<kernel::Object> made = kernel::ObjectFactory::instance()->createObject(*element);
        if (made) {
            use(*made);
        }
    }
}

} // namespace

GameNode::GameNode() = default;

GameNode::GameNode(kernel::NodeValue& settings) {
    readSettings(settings);
    createChildren(settings);
    createModifiers(settings);
}

GameNode::~GameNode() {
    if (parent != nullptr) {
        // Only reached when the node was freed while still linked. The link's reference is dropped along
        // with the link; the two extra references keep that drop from freeing this node a second time.
        addRef();
        addRef();
        kernel::SmartPtr<GameNode>& link = linkToSelf();
        kernel::SmartPtr<GameNode> held = std::move(link);
        link = std::move(nextSibling);
        parent = nullptr;
    }
    removeAllChildren();
    modifiers.clear();
}

void GameNode::readSettings(kernel::NodeValue& settings) {
    if (const kernel::ScalarValue* value = findScalar(settings, "name")) {
        name = kernel::narrowString(value->text());
    }
    if (const kernel::ScalarValue* value = findScalar(settings, "x")) {
        x = value->asInt();
    }
    if (const kernel::ScalarValue* value = findScalar(settings, "y")) {
        y = value->asInt();
    }
    if (const kernel::ScalarValue* value = findScalar(settings, "suspended")) {
        suspended = value->asBool();
    }
    if (const kernel::ScalarValue* value = findScalar(settings, "visible")) {
        visible = value->asBool();
    }
}

void GameNode::createChildren(kernel::NodeValue& settings) {
    createEach(settings, "children", [this](kernel::Object& made) {
        if (made.isKindOf(GameNode::classInfo)) {
            addChild(static_cast<GameNode*>(&made));
        }
    });
}

void GameNode::createModifiers(kernel::NodeValue& settings) {
    createEach(settings, "modifiers", [this](kernel::Object& made) {
        if (made.isKindOf(Modifier::classInfo)) {
            addModifier(static_cast<Modifier*>(&made), true);
        }
    });
}

int GameNode::getX() const {
    return x;
}

int GameNode::setX(int value) {
    x = value;
    return x;
}

int GameNode::getY() const {
    return y;
}

int GameNode::setY(int value) {
    y = value;
    return y;
}

bool GameNode::setDead(bool value) {
    dead = value;
    return dead;
}

bool GameNode::setVisible(bool value) {
    visible = value;
    return visible;
}

void GameNode::onUpdate(std::uint32_t elapsedMs) {
    (void)elapsedMs;
}

void GameNode::update(std::uint32_t elapsedMs) {
    onUpdate(elapsedMs);
    modifiers.update(*this, elapsedMs);
}

void GameNode::updateTree(std::uint32_t elapsedMs) {
    update(elapsedMs);
    // Each child is held while it runs, so a modifier that unlinks it cannot free it under the walk; an
    // unlinked child has no next sibling, which ends the walk for this frame.
    for (kernel::SmartPtr<GameNode> child = firstChild; child; child = child->nextSibling) {
        if (!child->dead && !child->suspended) {
            child->updateTree(elapsedMs);
        }
    }
}

void GameNode::paintTree(graphics::ImagePainter& painter) {
    if (dead || !visible) {
        return;
    }
    if (isKindOf(Sprite::classInfo)) {
        static_cast<Sprite*>(this)->paint(painter);
    }
    if (firstChild) {
        paintChildren(painter);
    }
}

void GameNode::paintChildren(graphics::ImagePainter& painter) {
    const int originX = painter.getOriginX();
    const int originY = painter.getOriginY();
    painter.setOrigin(originX + getX(), originY + getY());
    for (GameNode* child = firstChild.get(); child != nullptr; child = child->nextSibling.get()) {
        child->paintTree(painter);
    }
    painter.setOrigin(originX, originY);
}

void GameNode::removeDeadDescendants() {
    kernel::SmartPtr<GameNode> child = firstChild;
    while (child) {
        // Taken first: unlinking the child clears its link to the next one.
        kernel::SmartPtr<GameNode> next = child->nextSibling;
        child->removeDeadDescendants();
        if (child->dead) {
            child->detachFromParent();
        }
        child = std::move(next);
    }
}

void GameNode::addChild(GameNode* child) {
    if (child == nullptr) {
        return;
    }
    // A node cannot become its own descendant: the tree would turn into a cycle.
    for (const GameNode* above = this; above != nullptr; above = above->parent) {
        if (above == child) {
            return;
        }
    }
    kernel::SmartPtr<GameNode> held = child->detachFromParent();
    linkInto(lastChildLink(), std::move(held), this);
    child->setDead(false);
}

void GameNode::insertAfter(GameNode* node) {
    // Siblings exist only under a parent.
    if (node == nullptr || node == this || parent == nullptr || nextSibling.get() == node) {
        return;
    }
    kernel::SmartPtr<GameNode> held = node->detachFromParent();
    linkInto(nextSibling, std::move(held), parent);
    node->setDead(false);
}

void GameNode::insertBefore(GameNode* node) {
    if (node == nullptr || node == this || parent == nullptr || node->nextSibling.get() == this) {
        return;
    }
    kernel::SmartPtr<GameNode> held = node->detachFromParent();
    // Looked up after the detach, which may have mended the link that reached this node.
    linkInto(linkToSelf(), std::move(held), parent);
    node->setDead(false);
}

void GameNode::linkInto(kernel::SmartPtr<GameNode>& link, kernel::SmartPtr<GameNode> node,
                        GameNode* newParent) {
    node->nextSibling = std::move(link);
    node->parent = newParent;
    link = std::move(node);
}

kernel::SmartPtr<GameNode> GameNode::detachFromParent() {
    setDead(false);
    if (parent == nullptr) {
        return kernel::SmartPtr<GameNode>(this);
    }
    kernel::SmartPtr<GameNode>& link = linkToSelf();
    kernel::SmartPtr<GameNode> held = std::move(link);
    link = std::move(nextSibling);
    parent = nullptr;
    return held;
}

kernel::SmartPtr<GameNode>& GameNode::linkToSelf() {
    kernel::SmartPtr<GameNode>* link = &parent->firstChild;
    while (link->get() != this) {
        link = &(*link)->nextSibling;
    }
    return *link;
}

kernel::SmartPtr<GameNode>& GameNode::lastChildLink() {
    kernel::SmartPtr<GameNode>* link = &firstChild;
    while (*link) {
        link = &(*link)->nextSibling;
    }
    return *link;
}

void GameNode::removeAllChildren() {
    std::vector<kernel::SmartPtr<GameNode>> chain;
    kernel::SmartPtr<GameNode> child = std::move(firstChild);
    while (child) {
        child->parent = nullptr;
        kernel::SmartPtr<GameNode> next = std::move(child->nextSibling);
        chain.push_back(std::move(child));
        child = std::move(next);
    }
    while (!chain.empty()) {
        chain.pop_back();
    }
}

void GameNode::setPosition(int newX, int newY) {
    setX(newX);
    setY(newY);
}

void GameNode::kill() {
    setDead(true);
}

Modifier* GameNode::addModifier(Modifier* modifier, bool atBack) {
    return modifiers.add(*this, modifier, atBack);
}

void GameNode::removeAllModifiers() {
    modifiers.clear();
}

int GameNode::getAbsoluteX() const {
    int sum = 0;
    for (const GameNode* node = this; node != nullptr; node = node->parent) {
        sum += node->getX();
    }
    return sum;
}

int GameNode::getAbsoluteY() const {
    int sum = 0;
    for (const GameNode* node = this; node != nullptr; node = node->parent) {
        sum += node->getY();
    }
    return sum;
}

void GameNode::setName(std::string text) {
    name = std::move(text);
}

bool GameNode::setSuspended(bool value) {
    suspended = value;
    return suspended;
}

GameNode* GameNode::findChild(const std::string& childName) const {
    for (GameNode* child = firstChild.get(); child != nullptr; child = child->nextSibling.get()) {
        if (child->name == childName) {
            return child;
        }
        if (GameNode* below = child->findChild(childName)) {
            return below;
        }
    }
    return nullptr;
}

} // namespace ui
