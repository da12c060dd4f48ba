#include "engine/ui/ToolTip.h"

#include "engine/graphics/ImagePainter.h"
#include "engine/kernel/NodeValue.h"
#include "engine/kernel/ObjectFactory.h"
#include "engine/platform/Application.h"
#include "engine/ui/Dialog.h"
#include "engine/ui/Panel.h"
#include "engine/ui/Sprite.h"
#include "engine/ui/ToolTipLabel.h"

#include <algorithm>

namespace ui {

namespace {

const kernel::ClassRegistrar registerToolTip("ToolTip", ToolTip::createInstance);

// The placement keeps at least this much room for the box that a tool-tip label draws around itself.
constexpr int boxMargin = 3;
// The gap between the pointer and a tip flipped to its left.
constexpr int flipGap = 2;
constexpr int fallbackGameWidth = 640;
constexpr int fallbackGameHeight = 480;

int gameWidth() {
    const platform::Application* application = platform::Application::instance();
    return application != nullptr ? application->getWidth() : fallbackGameWidth;
}

int gameHeight() {
    const platform::Application* application = platform::Application::instance();
    return application != nullptr ? application->getHeight() : fallbackGameHeight;
}

graphics::ImagePainter* backPainter() {
    const platform::Application* application = platform::Application::instance();
    return application != nullptr ? application->getBackPainter() : nullptr;
}

// How far the box a tool-tip label draws about itself reaches beyond it on each side: its padding. Other
// renderers draw within their own size.
int paddingOf(const Sprite& renderer) {
    if (renderer.isKindOf(ToolTipLabel::classInfo)) {
        return std::max(0, static_cast<const ToolTipLabel&>(renderer).getPadding());
    }
    return 0;
}

} // namespace

ToolTip::ToolTip() = default;

ToolTip::ToolTip(kernel::NodeValue& settings) {
    readRenderer(settings);
    if (settings.hasChild("showdelay")) {
        showDelay = settings.getValue("showdelay").asInt();
    }
    if (settings.hasChild("removedelay")) {
        removeDelay = settings.getValue("removedelay").asInt();
    }
}

ToolTip::~ToolTip() = default;

kernel::Object* ToolTip::createInstance(kernel::Value& settings) {
    return new ToolTip(settings.isNode() ? settings.asNode() : kernel::DUMMY_NODE());
}

// A renderer that is no sprite could not be painted, so it is not kept.
void ToolTip::readRenderer(kernel::NodeValue& settings) {
    kernel::Value* declaration = settings.findChild("renderer");
    if (declaration == nullptr || !declaration->isNode()) {
        return;
    }
    const kernel::SmartPtr<kernel::Object> made =
        kernel::ObjectFactory::instance()->createObject(*declaration);
    if (made && made->isKindOf(Sprite::classInfo)) {
        setRenderer(static_cast<Sprite*>(made.get()));
    }
}

// Forgetting the node when the tip is stopped also lets go of a dialog that holds this tool-tip.
void ToolTip::setRoot(GameNode* node) {
    root = node;
    if (node == nullptr) {
        shownNode.reset();
        foundNode = nullptr;
    }
}

void ToolTip::setRenderer(Sprite* sprite) {
    renderer = sprite;
}

void ToolTip::onMouseMove(int x, int y, std::uint32_t) {
    pointerX = x;
    pointerY = y;
}

void ToolTip::onFrame(std::uint32_t ms) {
    update(ms);
    if (graphics::ImagePainter* painter = backPainter()) {
        paintShown(*painter);
    }
}

void ToolTip::update(std::uint32_t ms) {
    shownThisFrame = false;
    if (!root || !renderer) {
        shownNode.reset();
        return;
    }
    foundNode = nullptr;
    findNodeAt(root.get());
    if (foundNode == nullptr || foundNode->getToolTipText() == nullptr) {
        shownNode.reset();
        return;
    }
    if (foundNode != shownNode.get()) {
        startTip(*foundNode);
    } else {
        countDownShow(ms);
    }
    // The frame in which the remove countdown runs out still shows the tip.
    if (isTipShown()) {
        removeCountdown -= static_cast<std::int32_t>(ms);
        shownThisFrame = true;
    }
}

// An open dialog hides the tips of everything painted before it, and so does a panel under the pointer:
// both clear what was found so far. The children are searched even below an invisible node.
void ToolTip::findNodeAt(GameNode* node) {
    if (node == nullptr || node->isDead()) {
        return;
    }
    if (node->isVisible() && node->isKindOf(Sprite::classInfo)) {
        Sprite* sprite = static_cast<Sprite*>(node);
        if (sprite->isKindOf(Dialog::classInfo)) {
            foundNode = nullptr;
        }
        if (sprite->containsPoint(pointerX, pointerY)) {
            if (sprite->isKindOf(Panel::classInfo)) {
                foundNode = nullptr;
            }
            if (sprite->getToolTipText() != nullptr) {
                foundNode = sprite;
            }
        }
    }
    for (GameNode* child = node->getFirstChild(); child != nullptr; child = child->getNextSibling()) {
        findNodeAt(child);
    }
}

// A tip that is due at once is placed at once: it would otherwise be painted wherever the last one stood.
void ToolTip::startTip(Sprite& node) {
    showCountdown = showDelay;
    removeCountdown = removeDelay;
    shownNode = &node;
    renderer->setToolTipText(*node.getToolTipText());
    if (showCountdown <= 0) {
        placeTip();
    }
}

void ToolTip::countDownShow(std::uint32_t ms) {
    if (showCountdown <= 0) {
        return;
    }
    showCountdown -= static_cast<std::int32_t>(ms);
    if (showCountdown <= 0) {
        placeTip();
    }
}

// Below the pointer; beside it when there is no room below; to its left (or against the right edge) when
// there is no room to the right. The box the renderer draws about itself stays whole inside the game: the
// room kept at the right and bottom edges is at least the box's padding, and a box that would start left of
// the game (a pointer at the very left, a wide tip flipped to the left) or above it is moved in.
void ToolTip::placeTip() {
    // The usual margin, or the box's own reach when a wider padding would pass the edge with it.
    const int padding = paddingOf(*renderer);
    const int margin = std::max(boxMargin, padding);
    const int width = renderer->getWidth() + margin;
    const int height = renderer->getHeight() + margin;
    tipX = pointerX;
    tipY = pointerY + offsetBelow;
    bool movedAside = false;
    if (tipY + height > gameHeight()) {
        tipX = pointerX + offsetBeside;
        tipY = pointerY;
        if (tipY + height > gameHeight()) {
            tipY = gameHeight() - height;
        }
        movedAside = true;
    }
    if (tipX + width > gameWidth()) {
        tipX = movedAside ? pointerX - width - flipGap : gameWidth() - width;
    }
    tipX = std::max(tipX, padding);
    tipY = std::max(tipY, padding);
}

void ToolTip::paintShown(graphics::ImagePainter& painter) {
    if (!shownThisFrame || !renderer) {
        return;
    }
    painter.moveOrigin(tipX, tipY);
    renderer->paint(painter);
    painter.moveOrigin(-tipX, -tipY);
}

} // namespace ui
