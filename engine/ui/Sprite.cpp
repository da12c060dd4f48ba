#include "engine/ui/Sprite.h"

#include "engine/graphics/ImagePainter.h"
#include "engine/kernel/NodeValue.h"
#include "engine/kernel/ObjectFactory.h"
#include "engine/kernel/PropertyStore.h"
#include "engine/kernel/ResourceManager.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace ui {

namespace {

kernel::Object* createSprite(kernel::Value& settings) {
    return new Sprite(settings.asNode());
}

const kernel::ClassRegistrar registrar("Sprite", createSprite);

// The settings names of the anchor kinds 0 to 8, in kind order.
constexpr std::array<std::string_view, 9> anchorNames{
    "topleft", "top", "topright", "left", "center", "right", "bottomleft", "bottom", "bottomright"};

const kernel::ScalarValue* findScalar(const kernel::NodeValue& settings, const std::string& key) {
    kernel::Value* value = settings.findChild(key);
    return value != nullptr && value->isScalar() ? &value->asScalar() : nullptr;
}

std::string textOf(const kernel::ScalarValue& value) {
    return kernel::narrowString(value.text());
}

int anchorKindNamed(std::string_view text) {
    for (std::size_t kind = 0; kind < anchorNames.size(); ++kind) {
        if (anchorNames[kind] == text) {
            return static_cast<int>(kind);
        }
    }
    return -1;
}

int wrapStyleNamed(std::string_view text) {
    if (text == "once") {
        return Sprite::Once;
    }
    if (text == "switch") {
        return Sprite::PingPong;
    }
    return Sprite::Loop;
}

} // namespace

Sprite::Sprite() = default;

Sprite::Sprite(kernel::NodeValue& settings) : GameNode(settings) {
    readSettings(settings);
}

Sprite::Sprite(int x, int y, graphics::ImageBase* value) {
    GameNode::setX(x);
    GameNode::setY(y);
    setImage(value);
}

Sprite::Sprite(int x, int y, int w, int h) {
    GameNode::setX(x);
    GameNode::setY(y);
    setWidth(w);
    setHeight(h);
}

Sprite::~Sprite() = default;

void Sprite::readSettings(kernel::NodeValue& settings) {
    readImage(settings);
    if (const kernel::ScalarValue* value = findScalar(settings, "width")) {
        setWidth(value->asInt());
    }
    if (const kernel::ScalarValue* value = findScalar(settings, "height")) {
        setHeight(value->asInt());
    }
    if (const kernel::ScalarValue* value = findScalar(settings, "alpha")) {
        setAlpha(value->asInt());
    }
    if (const kernel::ScalarValue* value = findScalar(settings, "color")) {
        setColor(static_cast<std::uint32_t>(value->asInt()));
    }
    readFrames(settings);
    readAnchor(settings);
    if (const kernel::ScalarValue* value = findScalar(settings, "tooltip")) {
        setToolTipText(kernel::PropertyStore::getText(textOf(*value)));
    }
    readAnimation(settings);
    if (const kernel::ScalarValue* value = findScalar(settings, "smoothrotatescale")) {
        smoothRotateScale = value->asBool();
    }
}

void Sprite::readImage(kernel::NodeValue& settings) {
    const kernel::ScalarValue* imageName = findScalar(settings, "image");
    const kernel::ScalarValue* section = findScalar(settings, "section");
    kernel::ResourceManager* resources = kernel::ResourceManager::instance();
    if (imageName == nullptr || section == nullptr || resources == nullptr) {
        return;
    }
    // The resource hands out its decoded picture; anything else under that name is not drawable.
    kernel::Object* found = resources->getResource(textOf(*imageName), textOf(*section));
    if (found != nullptr && found->isKindOf(graphics::ImageBase::classInfo)) {
        setImage(static_cast<graphics::ImageBase*>(found));
    }
}

void Sprite::readFrames(kernel::NodeValue& settings) {
    if (const kernel::ScalarValue* value = findScalar(settings, "frameoffset_x")) {
        frameStepX = value->asInt();
    }
    if (const kernel::ScalarValue* value = findScalar(settings, "frameoffset_y")) {
        frameStepY = value->asInt();
    }
    if (const kernel::ScalarValue* value = findScalar(settings, "framecount")) {
        setFrameCount(value->asInt());
    }
    // No frames are cut yet, so this changes nothing and a declared sprite starts at frame 0, as the
    // game's data expects.
    if (const kernel::ScalarValue* value = findScalar(settings, "currentframe")) {
        setCurrentFrame(value->asInt());
    }
    if (const kernel::ScalarValue* value = findScalar(settings, "reverseframes")) {
        setReverseFrames(value->asBool());
    }
    if (const kernel::ScalarValue* value = findScalar(settings, "framewrapstyle")) {
        wrapStyle = wrapStyleNamed(textOf(*value));
    }
}

void Sprite::readAnchor(kernel::NodeValue& settings) {
    const kernel::ScalarValue* ax = findScalar(settings, "anchorpoint_x");
    const kernel::ScalarValue* ay = findScalar(settings, "anchorpoint_y");
    if (ax != nullptr && ay != nullptr) {
        setAnchorPoint(static_cast<float>(ax->asDouble()), static_cast<float>(ay->asDouble()));
        return;
    }
    if (const kernel::ScalarValue* value = findScalar(settings, "anchorpoint")) {
        const int kind = anchorKindNamed(textOf(*value));
        if (kind >= 0) {
            setAnchor(kind);
        }
    }
}

void Sprite::readAnimation(kernel::NodeValue& settings) {
    const kernel::ScalarValue* init = findScalar(settings, "initanimation");
    if (init == nullptr || !init->asBool()) {
        return;
    }
    if (const kernel::ScalarValue* horizontal = findScalar(settings, "horizontalframelayout")) {
        setupFrames(frameCount, horizontal->asBool(), true);
    } else {
        setupFrames(-1, false, true);
    }
}

int Sprite::setX(int value) {
    GameNode::setX(value);
    followDisplayPosition();
    return getX();
}

int Sprite::setY(int value) {
    GameNode::setY(value);
    followDisplayPosition();
    return getY();
}

void Sprite::followDisplayPosition() {
    if (displayRect) {
        setDisplayWidth(displayRect->w);
        setDisplayHeight(displayRect->h);
    }
}

bool Sprite::setDead(bool value) {
    if (value != isDead()) {
        needsRepaint = true;
    }
    return GameNode::setDead(value);
}

bool Sprite::setVisible(bool value) {
    if (value != isVisible()) {
        needsRepaint = true;
    }
    return GameNode::setVisible(value);
}

void Sprite::setWidth(int value) {
    width = value;
    updateAnchorAndPivot();
    if (displayRect) {
        setDisplayWidth(value);
    }
}

void Sprite::setHeight(int value) {
    height = value;
    updateAnchorAndPivot();
    if (displayRect) {
        setDisplayHeight(value);
    }
}

void Sprite::setSize(int w, int h) {
    setWidth(w);
    setHeight(h);
}

void Sprite::updateAnchorAndPivot() {
    const float halfW = static_cast<float>(width) * 0.5f;
    const float halfH = static_cast<float>(height) * 0.5f;
    const float fullW = static_cast<float>(width);
    const float fullH = static_cast<float>(height);
    // Indexed by kind: column 0, half or full width; row 0, half or full height.
    const std::array<float, 3> columns{0.0f, halfW, fullW};
    const std::array<float, 3> rows{0.0f, halfH, fullH};
    if (anchorKind != Custom) {
        anchorPoint = graphics::PointF(columns[static_cast<std::size_t>(anchorKind % 3)],
                                       rows[static_cast<std::size_t>(anchorKind / 3)]);
    }
    pivotPoint = graphics::PointF(halfW, halfH);
}

void Sprite::setupFrames(int count, bool horizontal, bool useImageSize) {
    if (count >= 0) {
        setFrameCount(count);
    }
    const bool fromImage = useImageSize && image;
    const int fullW = fromImage ? image->getWidth() : width;
    const int fullH = fromImage ? image->getHeight() : height;
    if (horizontal) {
        const int frameW = fullW / frameCount;
        setWidth(frameW);
        setFirstFrameRect(0, 0, frameW, fullH);
        frameStepX = frameW;
        frameStepY = 0;
    } else {
        const int frameH = fullH / frameCount;
        setHeight(frameH);
        setFirstFrameRect(0, 0, fullW, frameH);
        frameStepX = 0;
        frameStepY = frameH;
    }
    setCurrentFrame(0);
}

void Sprite::setFrameCount(int count) {
    // A sprite always has at least one frame: frame counts divide and wrap frame indices.
    frameCount = std::max(count, 1);
}

void Sprite::setCurrentFrame(int index) {
    if ((index == currentFrame && sourceRect) || !firstFrameRect) {
        return;
    }
    currentFrame = index;
    const kernel::Rect first = *firstFrameRect;
    setSourceRect(first.x + frameStepX * index, first.y + frameStepY * index, first.w, first.h);
}

void Sprite::storeRect(std::optional<kernel::Rect>& rect, const kernel::Rect& value) {
    if (rect && *rect == value) {
        return;
    }
    rect = value;
    needsRepaint = true;
}

void Sprite::removeRect(std::optional<kernel::Rect>& rect) {
    if (rect) {
        rect.reset();
        needsRepaint = true;
    }
}

void Sprite::setClipRect(int x, int y, int w, int h) {
    storeRect(clipRect, kernel::Rect(x, y, w, h));
}

void Sprite::setClipRect(const kernel::Rect* rect) {
    if (rect == nullptr) {
        removeRect(clipRect);
    } else {
        storeRect(clipRect, *rect);
    }
}

void Sprite::setSourceRect(int x, int y, int w, int h) {
    storeRect(sourceRect, kernel::Rect(x, y, w, h));
}

void Sprite::setSourceRect(const kernel::Rect* rect) {
    if (rect == nullptr) {
        removeRect(sourceRect);
    } else {
        storeRect(sourceRect, *rect);
    }
}

void Sprite::setFirstFrameRect(int x, int y, int w, int h) {
    storeRect(firstFrameRect, kernel::Rect(x, y, w, h));
}

void Sprite::setDisplayRect(int x, int y, int w, int h) {
    storeRect(displayRect, kernel::Rect(x, y, w, h));
}

void Sprite::removeDisplayRect() {
    removeRect(displayRect);
    needsRepaint = true;
}

void Sprite::setDisplayWidth(int w) {
    if (!displayRect) {
        displayRect = kernel::Rect(getX(), getY(), width, height);
    }
    if (width == 0) {
        displayRect->w = 0;
    } else {
        // The anchor pixel stays at x while the drawing stretches about it.
        const float ax = anchorPoint.getX();
        const float stretch = static_cast<float>(w) / static_cast<float>(width);
        displayRect->x = graphics::roundToInt((static_cast<float>(getX()) + ax) - stretch * ax - ax);
        displayRect->w = w;
    }
    needsRepaint = true;
}

void Sprite::setDisplayHeight(int h) {
    if (!displayRect) {
        displayRect = kernel::Rect(getX(), getY(), width, height);
    }
    if (height == 0) {
        displayRect->h = 0;
    } else {
        const float ay = anchorPoint.getY();
        const float stretch = static_cast<float>(h) / static_cast<float>(height);
        displayRect->y = graphics::roundToInt((static_cast<float>(getY()) + ay) - stretch * ay - ay);
        displayRect->h = h;
    }
    needsRepaint = true;
}

void Sprite::setAlpha(int value) {
    if (value != alpha) {
        alpha = value;
        needsRepaint = true;
    }
}

void Sprite::setColor(std::uint32_t value) {
    if (value != colour) {
        colour = value;
        needsRepaint = true;
    }
}

void Sprite::setRotation(float value) {
    rotation = value;
    needsRepaint = true;
}

float Sprite::getRotation() const {
    return rotation;
}

void Sprite::setScale(float value) {
    scale = value;
    needsRepaint = true;
}

void Sprite::setAnchor(int kind) {
    if (kind == anchorKind || kind < TopLeft || kind > Custom) {
        return;
    }
    anchorKind = kind;
    updateAnchorAndPivot();
    needsRepaint = true;
}

void Sprite::setAnchorPoint(float ax, float ay) {
    anchorPoint = graphics::PointF(ax, ay);
    anchorKind = Custom;
    needsRepaint = true;
}

void Sprite::setToolTipText(const kernel::WideString& text) {
    if (text.empty()) {
        toolTip.reset();
    } else if (toolTip) {
        *toolTip = text;
    } else {
        toolTip = std::make_unique<kernel::WideString>(text);
    }
}

bool Sprite::containsPoint(int px, int py) const {
    const int lx = px + anchorPoint.getRoundedX() - getAbsoluteX();
    const int ly = py + anchorPoint.getRoundedY() - getAbsoluteY();
    return lx >= 0 && lx < width && ly >= 0 && ly < height;
}

void Sprite::setImage(graphics::ImageBase* value) {
    if (value == image.get()) {
        return;
    }
    image = value;
    if (image) {
        setWidth(image->getWidth());
        setHeight(image->getHeight());
    } else {
        setWidth(0);
        setHeight(0);
    }
    needsRepaint = true;
}

void Sprite::paint(graphics::ImagePainter& painter) {
    if (image) {
        // Held for the drawing: a paint that swaps the image must not free the one being drawn.
        const kernel::SmartPtr<graphics::ImageBase> picture = image;
        paintPicture(painter, *picture);
    }
    needsRepaint = false;
}

void Sprite::paintPicture(graphics::ImagePainter& painter, graphics::ImageBase& picture) {
    const int savedAlpha = painter.getAlpha();
    painter.setAlpha(alpha);
    const int px = getX() - anchorPoint.getRoundedX();
    const int py = getY() - anchorPoint.getRoundedY();
    std::optional<kernel::Rect> savedClip;
    if (clipRect) {
        savedClip = painter.getClip();
        painter.setClip(*clipRect);
    }
    if (rotation == 0.0f && scale == 1.0f) {
        drawPlain(painter, picture, px, py);
    } else {
        drawTurned(painter, picture, px, py);
    }
    painter.setAlpha(savedAlpha);
    if (savedClip) {
        painter.setClip(*savedClip);
    }
}

void Sprite::drawPlain(graphics::ImagePainter& painter, graphics::ImageBase& picture, int px, int py) {
    if (!displayRect) {
        if (sourceRect) {
            painter.blit(picture, px, py, *sourceRect);
        } else {
            painter.blit(picture, px, py);
        }
        return;
    }
    const kernel::Rect part =
        sourceRect ? *sourceRect : kernel::Rect(0, 0, picture.getWidth(), picture.getHeight());
    const kernel::Rect& to = *displayRect;
    painter.drawScaled(picture, part.x, part.y, part.w, part.h, to.x, to.y, to.w, to.h);
}

void Sprite::drawTurned(graphics::ImagePainter& painter, graphics::ImageBase& picture, int px, int py) {
    const double angle = rotation;
    const double factor = scale;
    const int pivotX = pivotPoint.getRoundedX();
    const int pivotY = pivotPoint.getRoundedY();
    if (smoothRotateScale) {
        painter.drawRotatedSmooth(picture, angle, factor, px, py, pivotX, pivotY);
    } else {
        painter.drawRotated(picture, angle, factor, px, py, pivotX, pivotY);
    }
}

} // namespace ui
