#include "game/frontend/DialogHint.h"

#include "engine/graphics/ImageFactory.h"
#include "engine/graphics/ImagePainter.h"
#include "engine/graphics/MemoryImage32.h"
#include "engine/kernel/NodeValue.h"
#include "engine/kernel/ObjectFactory.h"
#include "engine/kernel/PropertyStore.h"
#include "engine/kernel/ResourceManager.h"
#include "engine/ui/Button.h"
#include "engine/ui/CallbackModifier.h"
#include "engine/ui/DelayModifier.h"
#include "engine/ui/DialogManager.h"
#include "engine/ui/DialogPainter.h"
#include "engine/ui/FadeModifier.h"
#include "engine/ui/Label.h"
#include "engine/ui/Switch.h"
#include "game/foundation/GameIds.h"
#include "game/foundation/PibblePlayer.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace game {

namespace {

const kernel::ClassRegistrar registrar("DialogHint", DialogHint::createInstance);

constexpr int screenWidth = 640;
constexpr int screenHeight = 480;
constexpr int alphaLane = 0;
constexpr std::uint32_t alphaShift = 24;
constexpr std::uint32_t colourBits = 0x00FFFFFFu;

kernel::SmartPtr<graphics::MemoryImage32> veilImage;

bool isTimeBarHint(const std::string& key) {
    return key == ids::hintTimeBarAction || key == ids::hintTimeBarRelax || key == ids::hintTimeBarVib;
}

void moveBy(ui::GameNode* node, int dx, int dy) {
    if (node != nullptr) {
        node->setPosition(node->getX() + dx, node->getY() + dy);
    }
}

const char* bubbleFor(bool left, bool arrowUp) {
    return arrowUp ? (left ? ids::hintPainterTopLeft : ids::hintPainterTopRight)
                   : (left ? ids::hintPainterBottomLeft : ids::hintPainterBottomRight);
}

bool liesOnScreen(int position, int size, int screenSize) {
    return position >= 0 && position + size <= screenSize;
}

// The preferred side when the bubble lies whole on the screen there, else the other one when it does there;
// on neither, the preferred.
bool sideThatFits(bool preferFirst, int first, int second, int size, int screenSize) {
    const int preferred = preferFirst ? first : second;
    const int other = preferFirst ? second : first;
    if (!liesOnScreen(preferred, size, screenSize) && liesOnScreen(other, size, screenSize)) {
        return !preferFirst;
    }
    return preferFirst;
}

int ontoScreen(int position, int size, int screenSize) {
    return std::max(0, std::min(position, screenSize - size));
}

const graphics::ImageBase* framePicture(const ui::DialogPainter& painter, int cell) {
    const std::vector<std::string>& names = painter.getImageNames();
    kernel::ResourceManager* resources = kernel::ResourceManager::instance();
    if (resources == nullptr || static_cast<std::size_t>(cell) >= names.size() || names[cell].empty()) {
        return nullptr;
    }
    const kernel::Object* found = resources->getResource(names[cell], painter.getSection());
    return found != nullptr && found->isKindOf(graphics::ImageBase::classInfo)
               ? static_cast<const graphics::ImageBase*>(found)
               : nullptr;
}

int alphaOf(std::uint32_t pixel) {
    return static_cast<int>(pixel >> alphaShift);
}

// Thins the veil over a pixel to the darkness given; a pixel that is already clearer stays so.
void thinTo(std::uint32_t& pixel, int alpha) {
    if (alpha < alphaOf(pixel)) {
        pixel = (pixel & colourBits) | (static_cast<std::uint32_t>(alpha) << alphaShift);
    }
}

} // namespace

DialogHint::DialogHint(kernel::NodeValue& settings) : DialogPibble(settings) {
    hintSwitch = findComponentAs<ui::Switch>(ids::hintSwitch);
    buttonOk = findComponentAs<ui::Button>(ids::buttonOk);
    hintLabel = findComponentAs<ui::Label>(ids::labelHint);
    showLabel = findComponentAs<ui::Label>(ids::labelShow);
    bindCallback(ids::buttonOk, this, onOk, listenerList());
    // The switch is read only when OK is pressed.
    bindCallback(
        ids::hintSwitch, this, [](void*, ui::GameNode*) {}, listenerList());
}

// The shared veil goes with any hint; a veil still showing holds its picture, and the next hint makes a
// new one.
DialogHint::~DialogHint() {
    veilImage = nullptr;
}

kernel::Object* DialogHint::createInstance(kernel::Value& settings) {
    return settings.isNode() ? new DialogHint(settings.asNode()) : nullptr;
}

graphics::ImageBase* DialogHint::sharedVeilImage() {
    return veilImage.get();
}

DialogHint::FrameInsets DialogHint::insetsOf(const ui::DialogPainter* painter) {
    FrameInsets insets;
    if (painter == nullptr) {
        return insets;
    }
    const auto width = [painter](int cell) {
        const graphics::ImageBase* image = framePicture(*painter, cell);
        return image != nullptr ? image->getWidth() : 0;
    };
    const auto height = [painter](int cell) {
        const graphics::ImageBase* image = framePicture(*painter, cell);
        return image != nullptr ? image->getHeight() : 0;
    };
    insets.left = width(ui::DialogPainter::LeftCell);
    insets.right = width(ui::DialogPainter::RightCell);
    insets.top = height(ui::DialogPainter::TopCell);
    insets.bottom = height(ui::DialogPainter::BottomCell);
    return insets;
}

void DialogHint::setTarget(ui::GameNode* node) {
    target = node;
}

void DialogHint::setHintText(const std::string& key) {
    hintKey = key;
    if (hintLabel != nullptr) {
        hintLabel->setText(kernel::PropertyStore::getText(key));
    }
}

void DialogHint::show() {
    DialogPibble::show();
    growByText();
    place();
    spreadVeil();
    fadeAll(0, 255);
}

void DialogHint::hide() {
    DialogPibble::hide();
    if (veil) {
        veil->kill();
    }
}

// The declared size leaves the text out: the dialog grows by the text's height and what stands below it
// moves down.
void DialogHint::growByText() {
    const int grow = hintLabel != nullptr ? hintLabel->getHeight() : 0;
    setHeight(getHeight() + grow);
    for (ui::GameNode* below : {static_cast<ui::GameNode*>(buttonOk), static_cast<ui::GameNode*>(showLabel),
                                static_cast<ui::GameNode*>(hintSwitch)}) {
        moveBy(below, 0, grow);
    }
}

void DialogHint::place() {
    if (target) {
        placeByTarget();
    } else if (isTimeBarHint(hintKey)) {
        usePainter(ids::hintPainterTimeBar);
        setPosition(timeBarX, screenHeight - getHeight() + timeBarBelow);
    } else {
        enlargeInTheMiddle();
    }
}

// The target's own position is compared with the screen's middle, as it stands in its parent. Across, that
// puts the bubble on the roomier side. Upright, a tall bubble may not fit above a target a little below the
// middle: it then hangs below the target when it lies whole on the screen there. What still reaches past
// an edge is pushed onto the screen.
void DialogHint::placeByTarget() {
    const int tx = target->getX();
    const int ty = target->getY();
    const bool left = tx < screenMiddleX;
    // A target in the upper half has the bubble below it, its arrow pointing up.
    const bool upper = ty < screenMiddleY;
    usePainter(bubbleFor(left, upper));
    const int belowY = ty - arrowAbove;
    const int aboveY = ty - getHeight() + arrowBelow;
    const bool below = sideThatFits(upper, belowY, aboveY, getHeight(), screenHeight);
    if (below != upper) {
        usePainter(bubbleFor(left, below));
    }
    setPosition(ontoScreen(left ? tx - arrowLeft : tx - getWidth() + arrowLeft, getWidth(), screenWidth),
                ontoScreen(below ? belowY : aboveY, getHeight(), screenHeight));
}

void DialogHint::enlargeInTheMiddle() {
    const int oldWidth = getWidth();
    const int oldHeight = getHeight();
    const int width = static_cast<int>(static_cast<float>(oldWidth) * enlargeWidth);
    const int height = static_cast<int>(static_cast<float>(oldHeight) * enlargeHeight);
    setPosition(static_cast<int>(screenMiddleX - static_cast<float>(oldWidth) * enlargeWidth / 2),
                static_cast<int>(screenMiddleY - static_cast<float>(oldHeight) * enlargeHeight / 2));
    setSize(width, height);
    const int dx = (getWidth() - oldWidth) / 2;
    const int dy = (getHeight() - oldHeight) / 2;
    if (buttonOk != nullptr) {
        buttonOk->setPosition(getWidth() / 2, buttonOk->getY() + dy);
    }
    for (ui::GameNode* part : {static_cast<ui::GameNode*>(showLabel), static_cast<ui::GameNode*>(hintSwitch),
                               static_cast<ui::GameNode*>(hintLabel)}) {
        moveBy(part, dx, dy);
    }
}

// A bubble that cannot be built leaves the dialog with the frame it has. The body keeps its size: the
// dialog grows by what the new frame's sides and rows take more than the old one's, and the contents move
// with its left side and top row.
void DialogHint::usePainter(const char* declaration) {
    ui::DialogManager* dialogs = ui::DialogManager::instance();
    const kernel::SmartPtr<kernel::Object> made =
        dialogs != nullptr ? dialogs->createObject(declaration) : nullptr;
    if (!made || !made->isKindOf(ui::DialogPainter::classInfo)) {
        return;
    }
    auto* painter = static_cast<ui::DialogPainter*>(made.get());
    const FrameInsets before = insetsOf(getPainter());
    const FrameInsets after = insetsOf(painter);
    const int width = getWidth() + (after.left + after.right) - (before.left + before.right);
    const int height = getHeight() + (after.top + after.bottom) - (before.top + before.bottom);
    setPainter(painter);
    setSize(width, height);
    moveContents(after.left - before.left, after.top - before.top);
}

void DialogHint::moveContents(int dx, int dy) {
    for (ui::GameNode* part : {static_cast<ui::GameNode*>(hintLabel), static_cast<ui::GameNode*>(hintSwitch),
                               static_cast<ui::GameNode*>(showLabel), static_cast<ui::GameNode*>(buttonOk)}) {
        moveBy(part, dx, dy);
    }
}

// Dark everywhere but under the bubble, as far as it lies on the screen, and over what it points at: the
// pibble of its target, or the time bar of a time bar's hint.
void DialogHint::spreadVeil() {
    if (!veilImage) {
        veilImage = graphics::createImage32(screenWidth, screenHeight);
        if (!veilImage) {
            return;
        }
        veilImage->setAlphaMode(true);
    }
    const kernel::SmartPtr<graphics::ImagePainter> painter = veilImage->createPainter();
    painter->fillLane(alphaLane, veilAlpha, 0, 0, screenWidth, screenHeight);
    clearUnderBubble(*veilImage);
    if (target) {
        lightTarget(*veilImage);
    } else if (isTimeBarHint(hintKey)) {
        lightTimeBar(*veilImage);
    }
    veilImage->setModified(true);
    if (!veil) {
        veil = new ui::Sprite(0, 0, nullptr);
    }
    veil->setImage(veilImage.get());
    insertBefore(veil.get());
}

// The bubble's own picture decides: its frame is drawn aside and the veil thins where the frame covers,
// so the soft rim and the tail's sides are lit and the clear corners and the room about the tail are not.
// Without a frame the dialog's whole rectangle stays clear.
void DialogHint::clearUnderBubble(graphics::MemoryImage32& image) const {
    const int left = std::max(0, getX());
    const int top = std::max(0, getY());
    const int right = std::min(screenWidth, getX() + getWidth());
    const int bottom = std::min(screenHeight, getY() + getHeight());
    if (right <= left || bottom <= top) {
        return;
    }
    ui::DialogPainter* frame = getPainter();
    const kernel::SmartPtr<graphics::MemoryImage32> bubble =
        frame != nullptr ? graphics::createImage32(getWidth(), getHeight()) : nullptr;
    if (!bubble) {
        const kernel::SmartPtr<graphics::ImagePainter> painter = image.createPainter();
        painter->fillLane(alphaLane, 0, left, top, right - left, bottom - top);
        return;
    }
    const kernel::SmartPtr<graphics::ImagePainter> bubblePainter = bubble->createPainter();
    frame->paint(*bubblePainter);
    // The dialog draws the same frame again when it paints itself.
    frame->setChanged(true);
    std::uint32_t* veilPixels = image.pixels32();
    const std::uint32_t* bubblePixels = bubble->pixels32();
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            const int cover = alphaOf(bubblePixels[bubble->pixelIndex(x - getX(), y - getY())]);
            thinTo(veilPixels[image.pixelIndex(x, y)], veilAlpha * (255 - cover) / 255);
        }
    }
}

// A soft round light about the pibble's body: clear within, the veil's darkness at its rim.
void DialogHint::lightTarget(graphics::MemoryImage32& image) const {
    const float cx = static_cast<float>(target->getX());
    const float cy = static_cast<float>(target->getY() - lightAboveFeet);
    const float rx = lightRadiusX + lightSoftness;
    const float ry = lightRadiusY + lightSoftness;
    const int left = std::max(0, static_cast<int>(cx - rx));
    const int right = std::min(screenWidth, static_cast<int>(cx + rx) + 1);
    const int top = std::max(0, static_cast<int>(cy - ry));
    const int bottom = std::min(screenHeight, static_cast<int>(cy + ry) + 1);
    std::uint32_t* pixels = image.pixels32();
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            // How far the pixel lies past the light's edge, about in pixels: 0 on the edge.
            const float dx = (static_cast<float>(x) - cx) / lightRadiusX;
            const float dy = (static_cast<float>(y) - cy) / lightRadiusY;
            const float reach = std::sqrt(dx * dx + dy * dy);
            const float beyond = (reach - 1.0f) * static_cast<float>(std::min(lightRadiusX, lightRadiusY));
            const float share = std::clamp(beyond / lightSoftness, 0.0f, 1.0f);
            thinTo(pixels[image.pixelIndex(x, y)], static_cast<int>(veilAlpha * share));
        }
    }
}

// The bar the hint speaks of, as the scene shows it.
void DialogHint::lightTimeBar(graphics::MemoryImage32& image) const {
    const ui::GameNode* scene = getParent();
    const ui::GameNode* found = scene != nullptr ? scene->findChild(ids::spriteTimeBar) : nullptr;
    if (found == nullptr || !found->isKindOf(ui::Sprite::classInfo)) {
        return;
    }
    const auto* bar = static_cast<const ui::Sprite*>(found);
    const int left = std::max(0, bar->getAbsoluteX());
    const int top = std::max(0, bar->getAbsoluteY());
    const int right = std::min(screenWidth, bar->getAbsoluteX() + bar->getWidth());
    const int bottom = std::min(screenHeight, bar->getAbsoluteY() + bar->getHeight());
    if (right > left && bottom > top) {
        const kernel::SmartPtr<graphics::ImagePainter> painter = image.createPainter();
        painter->fillLane(alphaLane, 0, left, top, right - left, bottom - top);
    }
}

void DialogHint::fadeAll(int from, int to) {
    for (ui::GameNode* node : {static_cast<ui::GameNode*>(hintSwitch), static_cast<ui::GameNode*>(hintLabel),
                               static_cast<ui::GameNode*>(showLabel), static_cast<ui::GameNode*>(buttonOk),
                               static_cast<ui::GameNode*>(veil.get()), static_cast<ui::GameNode*>(this)}) {
        if (node != nullptr) {
            node->addModifier(new ui::FadeModifier(from, to, fadeMs));
        }
    }
}

void DialogHint::onOk(void* dialog, ui::GameNode* /*sender*/) {
    auto* self = static_cast<DialogHint*>(dialog);
    PibblePlayer* player = currentPlayer();
    if (self->hintSwitch != nullptr && self->hintSwitch->isChecked() && player != nullptr) {
        player->setHintEnabled(self->hintKey, false);
    }
    self->fadeAll(255, 0);
    self->addModifier(new ui::DelayModifier(fadeMs));
    ui::GameNode* button = self->buttonOk;
    self->addModifier(new ui::CallbackModifier(
        self, [button](void* receiver, ui::GameNode*) { DialogPibble::closeSelf(receiver, button); }));
}

} // namespace game
