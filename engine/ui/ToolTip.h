#pragma once

#include "engine/kernel/InputListener.h"
#include "engine/kernel/SmartPtr.h"
#include "engine/platform/SceneComponent.h"

#include <cstdint>

namespace graphics {
class ImagePainter;
} // namespace graphics

namespace kernel {
class NodeValue;
class Value;
} // namespace kernel

namespace ui {

class GameNode;
class Sprite;

// Shows the tool-tip text of the sprite under the pointer once the pointer has rested on it for the show
// delay, and stops showing it after the remove delay. The tip is no node of the scene: its renderer is
// painted near the pointer over the finished scene, by the scene's renderer once the tip is installed in the
// scene manager (so a tip at rest is not drawn again each frame), else straight onto the back buffer. Its
// listener part sits in the groups of the scenes and dialogs only to follow the pointer.
class ToolTip : public platform::SceneComponent, public kernel::InputListener {
public:
    static constexpr std::int32_t defaultShowDelay = 1000;
    static constexpr std::int32_t defaultRemoveDelay = 10000;
    // How far below the pointer the tip goes, and how far beside it when there is no room below.
    static constexpr int offsetBelow = 24;
    static constexpr int offsetBeside = 16;

    ToolTip();
    // "renderer" (a Node built by the factory, as a rule a ToolTipLabel), "showdelay", "removedelay".
    explicit ToolTip(kernel::NodeValue& settings);
    ~ToolTip() override;

    // update, then the tip painted onto the back buffer when this frame shows it.
    void onFrame(std::uint32_t ms) override;
    // The frame without the painting: the node under the pointer, the delays counted down.
    void update(std::uint32_t ms);
    // Paints the renderer at the tip's place when the last update showed it; the same every time until the
    // next update.
    void paintShown(graphics::ImagePainter& painter);
    void onMouseMove(int x, int y, std::uint32_t keyFlags) override;

    // The search below node; its result is the found node. Later matches win, as they are painted on top.
    void findNodeAt(GameNode* node);

    // The tree searched each frame: the current scene's root. Null stops the tip and forgets its node.
    void setRoot(GameNode* node);
    GameNode* getRoot() const { return root.get(); }
    void setRenderer(Sprite* sprite);
    Sprite* getRenderer() const { return renderer.get(); }

    Sprite* getShownNode() const { return shownNode.get(); }
    Sprite* getFoundNode() const { return foundNode; }
    int getTipX() const { return tipX; }
    int getTipY() const { return tipY; }
    void setShowDelay(std::int32_t ms) { showDelay = ms; }
    std::int32_t getShowDelay() const { return showDelay; }
    void setRemoveDelay(std::int32_t ms) { removeDelay = ms; }
    std::int32_t getRemoveDelay() const { return removeDelay; }
    // The tip is painted while the show countdown is over and the remove countdown is not.
    bool isTipShown() const { return showCountdown <= 0 && removeCountdown > 0; }

    static kernel::Object* createInstance(kernel::Value& settings);

    static constexpr kernel::ClassInfo classInfo{&platform::SceneComponent::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    void readRenderer(kernel::NodeValue& settings);
    void startTip(Sprite& node);
    void countDownShow(std::uint32_t ms);
    void placeTip();

    kernel::SmartPtr<GameNode> root;
    kernel::SmartPtr<Sprite> renderer;
    kernel::SmartPtr<Sprite> shownNode;
    // Only valid during and right after a search.
    Sprite* foundNode = nullptr;
    int pointerX = 0;
    int pointerY = 0;
    int tipX = 0;
    int tipY = 0;
    std::int32_t showCountdown = 0;
    std::int32_t showDelay = defaultShowDelay;
    std::int32_t removeCountdown = 0;
    std::int32_t removeDelay = defaultRemoveDelay;
    bool shownThisFrame = false;
};

} // namespace ui
