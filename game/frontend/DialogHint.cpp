#include "game/frontend/DialogHint.h"

#include "engine/graphics/ImageFactory.h"
#include "engine/graphics/ImagePainter.h"
#include "engine/graphics/MemoryImage32.h"
#include "engine/kernel/NodeValue.h"
#include "engine/kernel/ObjectFactory.h"
#include "engine/kernel/PropertyStore.h"
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

namespace game {

namespace {

const kernel::ClassRegistrar registrar("DialogHint", DialogHint::createInstance);

constexpr int screenWidth = 640;
constexpr int screenHeight = 480;
constexpr int alphaLane = 0;

kernel::SmartPtr<graphics::MemoryImage32> veilImage;

bool isTimeBarHint(const std::string& key) {
    return key == ids::hintTimeBarAction || key == ids::hintTimeBarRelax || key == ids::hintTimeBarVib;
}

void moveBy(ui::GameNode* node, int dx, int dy) {
    if (node != nullptr) {
        node->setPosition(node->getX() + dx, node->getY() + dy);
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

// The target's own position is compared with the screen's middle, as it stands in its parent.
void DialogHint::placeByTarget() {
    const int tx = target->getX();
    const int ty = target->getY();
    const bool left = tx < screenMiddleX;
    const bool top = ty < screenMiddleY;
    usePainter(top ? (left ? ids::hintPainterTopLeft : ids::hintPainterTopRight)
                   : (left ? ids::hintPainterBottomLeft : ids::hintPainterBottomRight));
    setPosition(left ? tx - arrowLeft : tx - getWidth() + arrowLeft,
                top ? ty - arrowAbove : ty - getHeight() + arrowBelow);
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

// A bubble that cannot be built leaves the dialog with the frame it has.
void DialogHint::usePainter(const char* declaration) {
    ui::DialogManager* dialogs = ui::DialogManager::instance();
    const kernel::SmartPtr<kernel::Object> made =
        dialogs != nullptr ? dialogs->createObject(declaration) : nullptr;
    if (made && made->isKindOf(ui::DialogPainter::classInfo)) {
        setPainter(static_cast<ui::DialogPainter*>(made.get()));
    }
}

// Dark everywhere but over the dialog, as far as the dialog lies on the screen.
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
    const int left = std::max(0, getX());
    const int top = std::max(0, getY());
    const int width =
        getX() + getWidth() > screenWidth ? screenWidth - getX() : getWidth() + std::min(0, getX());
    const int height =
        getY() + getHeight() > screenHeight ? screenHeight - getY() : getHeight() + std::min(0, getY());
    if (width > 0 && height > 0) {
        painter->fillLane(alphaLane, 0, left, top, width, height);
    }
    veilImage->setModified(true);
    if (!veil) {
        veil = new ui::Sprite(0, 0, nullptr);
    }
    veil->setImage(veilImage.get());
    insertBefore(veil.get());
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
