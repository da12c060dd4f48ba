#include "game/field/Pibble.h"

#include "engine/graphics/ImageFactory.h"
#include "engine/graphics/ImagePainter.h"
#include "game/field/FieldRenderer.h"
#include "game/field/PibbleColours.h"
#include "game/field/PibbleImages.h"
#include "game/foundation/GameIds.h"
#include "game/foundation/GameUtilities.h"

#include <algorithm>

namespace game {

namespace {

constexpr int earFrames = 3;
constexpr int partyBackFrames = 23;
constexpr int vibShineFrames = 8;
constexpr int vibMatchFrames = 6;
// Around a dust cloud's point.
constexpr int dustHalfWidth = 50;
constexpr int dustHalfHeight = 62;

// The layers the composed picture is made of, in drawing order (the chain only while chained).
constexpr int composedLayers[] = {pibbleLayer::shadow, pibbleLayer::ears, pibbleLayer::feet,
                                  pibbleLayer::body,   pibbleLayer::head, pibbleLayer::dechain};

// The shared overlays: loaded once, when the layer has no picture yet.
struct Overlay {
    int layer;
    const char* name;
    int frames;
};
constexpr Overlay commonOverlays[] = {{pibbleLayer::shadow, ids::pibbleShadow, 1},
                                      {pibbleLayer::dust, ids::pibbleDust, 10},
                                      {pibbleLayer::swoosh, ids::pibbleSwoosh, 10},
                                      {pibbleLayer::comboMatch, ids::pibbleComboMatch, 1},
                                      {pibbleLayer::blink, ids::pibbleBlink, 1}};

} // namespace

Pibble::Pibble() {
    for (kernel::SmartPtr<ui::Sprite>& part : layers) {
        part = new ui::Sprite(0, 0, nullptr);
        part->setAnchorPoint(anchorX, anchorY);
        part->setVisible(false);
        addChild(part.get());
    }
    composed = blankPibblePicture(frameWidth, frameHeight);
    if (!composed) {
        composed = graphics::createImage32(frameWidth, frameHeight);
    }
    setImage(composed.get());
    setAnchorPoint(anchorX, anchorY);
}

Pibble::~Pibble() = default;

void Pibble::setColour(std::int32_t value) {
    if (value != colour) {
        setLookDirty();
    }
    colour = value;
}

void Pibble::setStyle(std::int32_t value) {
    if (value != style) {
        setLookDirty();
    }
    style = value;
}

void Pibble::setCollectableId(std::int32_t value) {
    if (value != collectableId) {
        setLookDirty();
    }
    collectableId = value;
}

void Pibble::setFlags(std::int32_t value) {
    if (value != flags) {
        setLookDirty();
    }
    flags = value;
}

// A resting pibble is shown from the renderer's cache, which is repainted only where it is told to be: the
// old look would stay on the board until something else happened to repaint there.
void Pibble::setLookDirty() {
    lookDirty = true;
    if (FieldRenderer* renderer = FieldRenderer::instance()) {
        renderer->invalidate(updateBounds());
    }
}

void Pibble::setFlag(std::int32_t bit, bool on) {
    setFlags(on ? flags | bit : flags & ~bit);
}

void Pibble::setClown(bool on) {
    setFlag(pibbleFlag::clown, on);
    if (on) {
        setColour(colour::clown);
    }
}

void Pibble::addModifierType(std::uint32_t bits) {
    if ((modifierTypes & bits) == 0) {
        modifierTypes |= bits;
    }
}

// Toggling the bits out, as when only some of several were set, would set the others and leave the pibble
// counted as animated for ever.
void Pibble::removeModifierType(std::uint32_t bits) {
    modifierTypes &= ~bits;
}

float Pibble::darkFactor() const {
    if (!isStubborn() || colour < colour::firstReal || colour > colour::lastReal) {
        return 0.0f;
    }
    return propertyFloat(ids::cfgDarkFactors[colour - colour::firstReal]);
}

void Pibble::setStubborn(bool on) {
    if (on != isStubborn()) {
        setLookDirty();
    }
    if (on) {
        flags |= pibbleFlag::stubborn;
        return;
    }
    if (!isStubborn()) {
        return;
    }
    flags &= ~pibbleFlag::stubborn;
    if (!hasModifierType(animationBit::stubborn)) {
        return;
    }
    layer(pibbleLayer::stubborn).removeAllModifiers();
    removeAllModifiers();
    removeModifierType(animationBit::stubborn);
    if (!anyModifierType() && FieldRenderer::instance() != nullptr) {
        FieldRenderer::instance()->addFieldItem(this);
    }
}

// Building the look.

void Pibble::setLayerImage(int index, graphics::ImageBase* image, int frames) {
    ui::Sprite& part = layer(index);
    part.setImage(image);
    if (image != nullptr && frames > 0) {
        part.setupFrames(frames, false, true);
    }
}

void Pibble::loadOnce(int index, const char* name, int frames) {
    if (layer(index).getImage() == nullptr) {
        setLayerImage(index, pibbleImage(name), frames > 1 ? frames : 0);
    }
}

void Pibble::build() {
    for (const int index : {pibbleLayer::feet, pibbleLayer::body, pibbleLayer::head, pibbleLayer::ears,
                            pibbleLayer::partyHat, pibbleLayer::partyBack}) {
        layer(index).setImage(nullptr);
    }
    if (hasCollectable()) {
        buildCollectable();
        return;
    }
    const std::string prefix = pibbleImagePrefix(colour);
    if (prefix.empty()) {
        return;
    }
    buildParts(prefix);
    buildOverlays();
    buildHead(prefix);
}

// A collectable pibble's own parts, never darkened and never cut into frames, on the common shadow.
void Pibble::buildCollectable() {
    const std::string prefix = ids::pibbleCollectablePrefix + std::to_string(collectableId);
    setLayerImage(pibbleLayer::feet, pibbleImage(prefix + ids::pibbleFeet), 0);
    setLayerImage(pibbleLayer::body, pibbleImage(prefix + ids::pibbleBody), 0);
    setLayerImage(pibbleLayer::head, pibbleImage(prefix + ids::pibbleHead), 0);
    setLayerImage(pibbleLayer::ears, pibbleImage(prefix + ids::pibbleEars), 0);
    setLayerImage(pibbleLayer::shadow, pibbleImage(ids::pibbleShadow), 0);
}

void Pibble::buildParts(const std::string& prefix) {
    const float factor = darkFactor();
    setLayerImage(pibbleLayer::feet, darkenedPibbleImage(prefix + ids::pibbleFeet, factor), 0);
    setLayerImage(pibbleLayer::body, darkenedPibbleImage(prefix + ids::pibbleBody, factor), 0);
    setLayerImage(pibbleLayer::head, darkenedPibbleImage(prefix + ids::pibbleHead, factor), 1);
    setLayerImage(pibbleLayer::ears, darkenedPibbleImage(prefix + ids::pibbleEars, factor), earFrames);
    if (isParty()) {
        setLayerImage(pibbleLayer::partyHat, pibbleImage(prefix + ids::pibblePartyHat), 0);
        setLayerImage(pibbleLayer::partyBack, pibbleImage(prefix + ids::pibblePartyBack), partyBackFrames);
    }
    if (isVib()) {
        setLayerImage(pibbleLayer::vibStatic, pibbleImage(prefix + ids::pibbleVibStatic), 0);
        loadOnce(pibbleLayer::vibMatch, ids::pibbleVibMatch, vibMatchFrames);
    }
}

void Pibble::buildOverlays() {
    for (const Overlay& overlay : commonOverlays) {
        loadOnce(overlay.layer, overlay.name, overlay.frames);
    }
    if (isChained()) {
        loadOnce(pibbleLayer::dechain, ids::pibbleDechain, 7);
    }
    if (isClown()) {
        loadOnce(pibbleLayer::clownGlow, ids::pibbleClownGlow, 13);
    }
    if (isStubborn()) {
        loadOnce(pibbleLayer::stubbornMatch, ids::pibbleStubbornMatch, 6);
        loadOnce(pibbleLayer::stubborn, ids::pibbleStubborn, 10);
    }
}

// A happy or unhappy head wins over the stubborn one; only the stubborn head is darkened.
void Pibble::buildHead(const std::string& prefix) {
    if (isStubborn()) {
        setLayerImage(pibbleLayer::head, darkenedPibbleImage(prefix + ids::pibbleHeadStubborn, darkFactor()),
                      1);
    }
    if (style == headStyle::happy) {
        setLayerImage(pibbleLayer::head, pibbleImage(prefix + ids::pibbleHeadHappy), 1);
    } else if (style == headStyle::unhappy) {
        setLayerImage(pibbleLayer::head, pibbleImage(prefix + ids::pibbleHeadUnhappy), 1);
    }
}

void Pibble::compose() {
    std::vector<PibblePart> parts;
    for (const int index : composedLayers) {
        const ui::Sprite& part = layer(index);
        graphics::ImageBase* image = part.getImage();
        if (image == nullptr || (index == pibbleLayer::dechain && !isChained())) {
            continue;
        }
        const kernel::Rect* frame = part.getSourceRect();
        parts.push_back(
            {image, frame != nullptr ? *frame : kernel::Rect(0, 0, image->getWidth(), image->getHeight())});
    }
    if (graphics::MemoryImage32* look = composedPibble(parts, frameWidth, frameHeight)) {
        composed = look;
        setImage(look);
    }
    prepareVibShine();
}

// The shine's frames show the pibble inside the glow: the composed look drawn into a copy of the strip,
// shared by every VIB pibble of the colour.
void Pibble::prepareVibShine() {
    const std::string prefix = pibbleImagePrefix(colour);
    if (!isVib() || hasCollectable() || prefix.empty()) {
        return;
    }
    graphics::ImageBase* strip = pibbleImage(prefix + ids::pibbleVibShine);
    graphics::ImageBase* shine =
        strip != nullptr ? vibShineWithPibble(colour, *strip, vibShineFrames, *composed) : nullptr;
    if (shine != layer(pibbleLayer::vibShine).getImage()) {
        setLayerImage(pibbleLayer::vibShine, shine, vibShineFrames);
    }
}

// Drawing.

void Pibble::setAlpha(int value) {
    FieldSprite::setAlpha(value);
    for (const kernel::SmartPtr<ui::Sprite>& part : layers) {
        part->setAlpha(value);
    }
}

void Pibble::paint(graphics::ImagePainter& painter) {
    refreshLook();
    const int x = getX();
    const int y = getDrawnY();
    if (modifierTypes == 0) {
        if (isVib()) {
            painter.moveOrigin(x, y);
            layer(pibbleLayer::vibStatic).paint(painter);
            painter.moveOrigin(-x, -y);
        }
        paintComposed(painter);
        return;
    }
    painter.moveOrigin(x, y);
    paintPass(painter, Pass::Back);
    if (hasModifierType(animationBit::moving)) {
        paintPass(painter, Pass::Body);
    } else {
        painter.moveOrigin(-x, -y);
        paintComposed(painter);
        painter.moveOrigin(x, y);
    }
    paintPass(painter, Pass::Front);
    painter.moveOrigin(-x, -y);
}

void Pibble::refreshLook() {
    if (lookDirty) {
        build();
        compose();
        lookDirty = false;
    }
}

void Pibble::paintComposed(graphics::ImagePainter& painter) {
    FieldSprite::paint(painter);
}

void Pibble::paintPass(graphics::ImagePainter& painter, Pass pass) {
    for (int index = 0; index < pibbleLayer::count; ++index) {
        if (!shownInPass(index, pass)) {
            continue;
        }
        if (index == pibbleLayer::dust) {
            paintDust(painter);
        } else {
            layer(index).paint(painter);
        }
    }
}

bool Pibble::shownInPass(int index, Pass pass) const {
    const bool inHole = hasModifierType(animationBit::holes);
    switch (pass) {
    case Pass::Back:
        switch (index) {
        case pibbleLayer::vibStatic:
            return isVib() && !inHole;
        case pibbleLayer::dust:
            return hasModifierType(animationBit::dust);
        case pibbleLayer::hole:
            return inHole;
        case pibbleLayer::swoosh:
            return hasModifierType(animationBit::hole);
        case pibbleLayer::vibMatch:
            return hasModifierType(animationBit::vibMatch);
        case pibbleLayer::stubbornMatch:
            return hasModifierType(animationBit::stubbornMatch);
        case pibbleLayer::comboMatch:
            return hasModifierType(animationBit::comboGlow);
        case pibbleLayer::partyBack:
            return isParty();
        default:
            return false;
        }
    case Pass::Body:
        return index >= pibbleLayer::ears && index <= pibbleLayer::head;
    case Pass::Front:
        switch (index) {
        case pibbleLayer::blink:
            return hasModifierType(animationBit::blink);
        case pibbleLayer::vibShine:
            return hasModifierType(animationBit::vibShine) && !inHole;
        case pibbleLayer::dechain:
            return hasModifierType(animationBit::dechain) || isChained();
        case pibbleLayer::stubborn:
            return hasModifierType(animationBit::stubborn) && !hasModifierType(animationBit::stubbornMatch);
        case pibbleLayer::partyHat:
            return isParty() && partyHatShown;
        case pibbleLayer::clownGlow:
            return hasModifierType(animationBit::clownGlow);
        default:
            return false;
        }
    }
    return false;
}

// The origin is the pibble's; each cloud is drawn with its anchor on its own point.
void Pibble::paintDust(graphics::ImagePainter& painter) {
    const int x = getX();
    const int y = getDrawnY();
    for (const DustPoint& point : dustPoints) {
        painter.moveOrigin(point.x - x, point.y - y);
        layer(pibbleLayer::dust).paint(painter);
        painter.moveOrigin(x - point.x, y - point.y);
    }
}

void Pibble::paintShadow(graphics::ImagePainter& painter) {
    if (!hasModifierType(animationBit::moving)) {
        return;
    }
    // The shadow pass comes before the pibbles' own: a pibble new in this frame has its layers built here,
    // or it would fall without a shadow in its first frame.
    refreshLook();
    if (hasModifierType(animationBit::holes) && layer(pibbleLayer::feet).getY() != 0) {
        return;
    }
    painter.moveOrigin(getX(), getY());
    layer(pibbleLayer::shadow).paint(painter);
    painter.moveOrigin(-getX(), -getY());
}

kernel::Rect Pibble::updateBounds() {
    kernel::Rect area;
    if (getY() > 0) {
        area = kernel::Rect(getX() - getAnchorPoint().getRoundedX(),
                            getDrawnY() - getAnchorPoint().getRoundedY(), getWidth(), getHeight());
        area.setBottom(getY() + belowFeet);
    }
    if (hasModifierType(animationBit::dust)) {
        for (const DustPoint& point : dustPoints) {
            area = kernel::Rect::joined(area, kernel::Rect(point.x - dustHalfWidth, point.y - dustHalfHeight,
                                                           2 * dustHalfWidth, 2 * dustHalfHeight));
        }
    }
    bounds = area;
    return bounds;
}

void Pibble::addDustPoint(const void* owner, int x, int y) {
    removeDustPoint(owner);
    dustPoints.push_back({owner, x, y});
}

void Pibble::removeDustPoint(const void* owner) {
    std::erase_if(dustPoints, [owner](const DustPoint& point) { return point.owner == owner; });
}

void Pibble::stopAnimations() {
    removeAllModifiers();
    for (const kernel::SmartPtr<ui::Sprite>& part : layers) {
        part->removeAllModifiers();
        part->setPosition(0, 0);
        part->setClipRect(nullptr);
    }
    dustPoints.clear();
    setDepthOffset(0);
    setDirection(direction::none);
    const bool animated = anyModifierType();
    modifierTypes = 0;
    if (animated && FieldRenderer::instance() != nullptr) {
        FieldRenderer::instance()->addFieldItem(this);
    }
}

} // namespace game
