#include "engine/ui/Panel.h"

#include "engine/kernel/NodeValue.h"
#include "engine/kernel/ObjectFactory.h"

namespace ui {

namespace {

const kernel::ClassRegistrar registerPanel("Panel", Panel::createInstance);

// Every sprite below the node, at any depth.
void clipSubtree(GameNode& node, const kernel::Rect& clip) {
    for (GameNode* child = node.getFirstChild(); child != nullptr; child = child->getNextSibling()) {
        if (child->isKindOf(Sprite::classInfo)) {
            static_cast<Sprite*>(child)->setClipRect(clip.x, clip.y, clip.w, clip.h);
        }
        clipSubtree(*child, clip);
    }
}

} // namespace

Panel::Panel() {
    createContentNode();
}

Panel::Panel(kernel::NodeValue& settings) : Sprite(settings) {
    createContentNode();
    addDeclaredComponents(settings, "components");
}

Panel::~Panel() = default;

kernel::Object* Panel::createInstance(kernel::Value& settings) {
    return new Panel(settings.isNode() ? settings.asNode() : kernel::DUMMY_NODE());
}

// Made after the settings' own children, so the components are drawn over them.
void Panel::createContentNode() {
    contentNode = new GameNode();
    addChild(contentNode.get());
}

void Panel::addDeclaredComponents(kernel::NodeValue& settings, const char* key) {
    for (const kernel::SmartPtr<kernel::Value>& element : settings.getVector(key).children()) {
        if (element == nullptr || !element->isNode()) {
            continue;
        }
        // Held while it is added, so an object of another kind is released rather than leaked.
        const kernel::SmartPtr<kernel::Object> made =
            kernel::ObjectFactory::instance()->createObject(*element);
        if (made && made->isKindOf(GameNode::classInfo)) {
            addComponent(static_cast<GameNode*>(made.get()));
        }
    }
}

GameNode* Panel::findComponent(const std::string& name) {
    for (GameNode* child = contentNode->getFirstChild(); child != nullptr; child = child->getNextSibling()) {
        if (child->getName() == name) {
            return child;
        }
        if (!child->isDead() && child->isKindOf(Panel::classInfo)) {
            if (GameNode* found = static_cast<Panel*>(child)->findComponent(name)) {
                return found;
            }
        }
    }
    return nullptr;
}

bool Panel::addComponent(GameNode* node) {
    if (node == nullptr) {
        return false;
    }
    contentNode->addChild(node);
    setDirty(true);
    return true;
}

void Panel::removeComponent(GameNode* node) {
    if (node != nullptr) {
        node->setDead(true);
    }
    setDirty(true);
}

void Panel::relayout() {
    const kernel::Rect* clip = getClipRect();
    if (clip == nullptr) {
        return;
    }
    clipSubtree(*contentNode, *clip);
    setDirty(true);
}

} // namespace ui
