#include "engine/ui/ScrollPanel.h"

#include "engine/graphics/ImagePainter.h"
#include "engine/kernel/NodeValue.h"
#include "engine/kernel/ObjectFactory.h"
#include "engine/kernel/Rect.h"
#include "engine/ui/Button.h"
#include "engine/ui/Slider.h"
#include "engine/ui/SliderGeometry.h"
#include "engine/ui/WidgetCallback.h"

namespace ui {

namespace {

const kernel::ClassRegistrar registerScrollPanel("ScrollPanel", ScrollPanel::createInstance);

// How far the bar's step buttons reach beyond its ends along its own axis.
int stepButtonsWidth(const Slider& bar) {
    int sum = 0;
    for (const Button* button : {bar.getDecrementButton(), bar.getIncrementButton()}) {
        sum += button != nullptr ? button->getWidth() : 0;
    }
    return sum;
}

int stepButtonsHeight(const Slider& bar) {
    int sum = 0;
    for (const Button* button : {bar.getDecrementButton(), bar.getIncrementButton()}) {
        sum += button != nullptr ? button->getHeight() : 0;
    }
    return sum;
}

// Zero when the content fits: a scroll never moves content that has nothing hidden.
int scrollOffset(int overflow, float fraction) {
    return overflow > 0 ? truncateToInt(static_cast<float>(overflow) * fraction) : 0;
}

} // namespace

ScrollPanel::ScrollPanel(kernel::NodeValue& settings) : Panel(settings) {
    createContentPanel();
    addDeclaredComponents(settings, "panelcomponents");
    horizontalBar = createBar(settings, "scrollbar_horizontal");
    verticalBar = createBar(settings, "scrollbar_vertical");
    setSize(getWidth(), getHeight());
    if (verticalBar) {
        verticalBar->updateTrack();
    }
    if (horizontalBar) {
        horizontalBar->updateTrack();
    }
    relayout();
}

ScrollPanel::~ScrollPanel() = default;

kernel::Object* ScrollPanel::createInstance(kernel::Value& settings) {
    return new ScrollPanel(settings.isNode() ? settings.asNode() : kernel::DUMMY_NODE());
}

void ScrollPanel::createContentPanel() {
    contentPanel = new Panel();
    Panel::addComponent(contentPanel.get());
}

// A declaration that makes no slider (an unregistered type, say) leaves the panel without that bar.
kernel::SmartPtr<Slider> ScrollPanel::createBar(kernel::NodeValue& settings, const char* key) {
    kernel::Value* declaration = settings.findChild(key);
    if (declaration == nullptr) {
        return nullptr;
    }
    const kernel::SmartPtr<kernel::Object> made =
        kernel::ObjectFactory::instance()->createObject(*declaration);
    if (!made || !made->isKindOf(Slider::classInfo)) {
        return nullptr;
    }
    kernel::SmartPtr<Slider> bar(static_cast<Slider*>(made.get()));
    Panel::addComponent(bar.get());
    return bar;
}

int ScrollPanel::verticalBarWidth() const {
    return verticalBar ? verticalBar->getWidth() : 0;
}

int ScrollPanel::horizontalBarHeight() const {
    return horizontalBar ? horizontalBar->getHeight() : 0;
}

bool ScrollPanel::addComponent(GameNode* node) {
    const bool added = contentPanel->addComponent(node);
    if (added && node->isKindOf(Sprite::classInfo)) {
        growToHold(static_cast<const Sprite&>(*node));
    }
    relayout();
    return added;
}

// The panel itself grows only on an axis without a bar; the content panel grows on both.
void ScrollPanel::growToHold(const Sprite& sprite) {
    const int right = sprite.getX() + sprite.getWidth();
    const int bottom = sprite.getY() + sprite.getHeight();
    if (!horizontalBar && getWidth() - verticalBarWidth() < right) {
        setWidth(right);
    }
    if (!verticalBar && getHeight() - horizontalBarHeight() < bottom) {
        setHeight(bottom);
    }
    if (contentPanel->getWidth() < right) {
        contentPanel->setWidth(right);
    }
    if (contentPanel->getHeight() < bottom) {
        contentPanel->setHeight(bottom);
    }
}

void ScrollPanel::setWidth(int value) {
    int inner = value;
    if (horizontalBar) {
        if (const Button* decrement = horizontalBar->getDecrementButton()) {
            horizontalBar->setX(decrement->getWidth());
        }
        inner = horizontalBar->getWidth() + stepButtonsWidth(*horizontalBar);
    }
    int full = inner;
    if (verticalBar) {
        verticalBar->setX(inner);
        full += verticalBar->getWidth();
    } else if (contentPanel->getWidth() < inner) {
        contentPanel->setWidth(inner);
    }
    Sprite::setWidth(full);
    relayout();
}

void ScrollPanel::setHeight(int value) {
    int inner = value;
    if (verticalBar) {
        if (const Button* decrement = verticalBar->getDecrementButton()) {
            verticalBar->setY(decrement->getHeight());
        }
        inner = verticalBar->getHeight() + stepButtonsHeight(*verticalBar);
    }
    int full = inner;
    if (horizontalBar) {
        horizontalBar->setY(inner);
        full += horizontalBar->getHeight();
    } else if (contentPanel->getHeight() < inner) {
        contentPanel->setHeight(inner);
    }
    Sprite::setHeight(full);
    relayout();
}

void ScrollPanel::relayout() {
    clipContent(getAbsoluteX(), getAbsoluteY());
}

// The renderer has moved the painter's origin to the parent's place in the target, which is where the
// clip must lie; the layout only knew the screen position at the time.
void ScrollPanel::paint(graphics::ImagePainter& painter) {
    const int x = painter.getOriginX() + getX();
    const int y = painter.getOriginY() + getY();
    const kernel::Rect* clip = contentPanel->getClipRect();
    if (clip == nullptr || clip->x != x || clip->y != y) {
        clipContent(x, y);
    }
    Panel::paint(painter);
}

void ScrollPanel::clipContent(int x, int y) {
    contentPanel->setClipRect(x, y, getWidth() - verticalBarWidth(), getHeight() - horizontalBarHeight());
    contentPanel->relayout();
}

bool ScrollPanel::setDead(bool flag) {
    if (flag) {
        for (Slider* bar : {horizontalBar.get(), verticalBar.get()}) {
            if (bar != nullptr) {
                bar->leaveAllListenerGroups();
            }
        }
    }
    return Panel::setDead(flag);
}

void ScrollPanel::setHorizontalScroll(float fraction) {
    const int overflow = contentPanel->getWidth() + verticalBarWidth() - getWidth();
    contentPanel->setX(-scrollOffset(overflow, fraction));
    if (horizontalBar) {
        horizontalBar->setValue(fraction);
    }
    relayout();
}

void ScrollPanel::setVerticalScroll(float fraction) {
    const int overflow = contentPanel->getHeight() + horizontalBarHeight() - getHeight();
    contentPanel->setY(-scrollOffset(overflow, fraction));
    if (verticalBar) {
        verticalBar->setValue(fraction);
    }
    relayout();
}

void ScrollPanel::bindScrollbars(kernel::ListenerGroup& group) {
    if (horizontalBar) {
        bindCallback(horizontalBar.get(), this, &ScrollPanel::onHorizontalSlider, group);
    }
    if (verticalBar) {
        bindCallback(verticalBar.get(), this, &ScrollPanel::onVerticalSlider, group);
    }
}

void ScrollPanel::setContentHeight(int h) {
    contentPanel->setHeight(h);
}

void ScrollPanel::onHorizontalSlider(void* receiver, GameNode*) {
    auto* panel = static_cast<ScrollPanel*>(receiver);
    panel->setHorizontalScroll(panel->horizontalBar->getValue());
}

void ScrollPanel::onVerticalSlider(void* receiver, GameNode*) {
    auto* panel = static_cast<ScrollPanel*>(receiver);
    panel->setVerticalScroll(panel->verticalBar->getValue());
}

} // namespace ui
