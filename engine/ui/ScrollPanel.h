#pragma once

#include "engine/kernel/SmartPtr.h"
#include "engine/ui/Panel.h"

namespace graphics {
class ImagePainter;
}

namespace kernel {
class ListenerGroup;
class NodeValue;
class Value;
} // namespace kernel

namespace ui {

class Slider;

// A panel that shows a larger content panel through a window of its own size, scrolled by an optional
// horizontal and an optional vertical slider whose value (0 to 1) is the scroll position as a fraction of
// the overflow. Components added to it go into the content panel, which grows to hold them.
class ScrollPanel : public Panel {
public:
    // The panel's keys, then "panelcomponents" (a Vector of Nodes for the content panel) and the bars
    // "scrollbar_horizontal" and "scrollbar_vertical", each built by the factory.
    explicit ScrollPanel(kernel::NodeValue& settings);
    ~ScrollPanel() override;

    // With a horizontal bar the width is the bar's with its step buttons and the argument is unused; a
    // vertical bar sits right of that inner width and widens the panel.
    void setWidth(int value) override;
    // The same with heights: the vertical bar decides the inner height, a horizontal bar sits below it.
    void setHeight(int value) override;
    // Into the content panel, growing it (and the panel itself on an axis without a bar) to hold a sprite.
    bool addComponent(GameNode* node) override;
    // Clips the content to the window left free by the bars, at the panel's screen position.
    void relayout() override;
    // The clip follows the panel to where it is actually drawn: into a dialog's buffer, or after its
    // dialog was moved or shown somewhere else than where the panel was laid out.
    void paint(graphics::ImagePainter& painter) override;
    // The bars leave their listener groups with the panel, since the bars themselves are never killed.
    bool setDead(bool flag) override;

    void setHorizontalScroll(float fraction);
    void setVerticalScroll(float fraction);
    // Binds the bars to the scroll operations and enlists them in the owner's group; the owner calls it
    // once the dialog is built.
    void bindScrollbars(kernel::ListenerGroup& group);
    void setContentHeight(int h);

    Panel* getContentPanel() const { return contentPanel.get(); }
    Slider* getHorizontalBar() const { return horizontalBar.get(); }
    Slider* getVerticalBar() const { return verticalBar.get(); }

    static kernel::Object* createInstance(kernel::Value& settings);

    static constexpr kernel::ClassInfo classInfo{&Panel::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    void createContentPanel();
    kernel::SmartPtr<Slider> createBar(kernel::NodeValue& settings, const char* key);
    void growToHold(const Sprite& sprite);
    void clipContent(int x, int y);
    int verticalBarWidth() const;
    int horizontalBarHeight() const;

    static void onHorizontalSlider(void* receiver, GameNode* sender);
    static void onVerticalSlider(void* receiver, GameNode* sender);

    kernel::SmartPtr<Panel> contentPanel;
    kernel::SmartPtr<Slider> horizontalBar;
    kernel::SmartPtr<Slider> verticalBar;
};

} // namespace ui
