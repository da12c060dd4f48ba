#include "engine/ui/Dialog.h"

#include "engine/graphics/ImageFactory.h"
#include "engine/graphics/ImagePainter.h"
#include "engine/graphics/MemoryImage32.h"
#include "engine/kernel/NodeValue.h"
#include "engine/kernel/ObjectFactory.h"
#include "engine/kernel/ResourceManager.h"
#include "engine/kernel/TextConversion.h"
#include "engine/ui/DialogManager.h"
#include "engine/ui/DialogPainter.h"
#include "engine/ui/FrameCheck.h"
#include "engine/ui/SceneManager.h"
#include "engine/ui/ToolTip.h"

#include <cstdlib>
#include <cstring>

namespace ui {

namespace {

const kernel::ClassRegistrar registerDialog("Dialog", Dialog::createInstance);

// How far the pointer may wander from the press before the press becomes a drag.
constexpr int dragThreshold = 3;

std::string readText(const kernel::NodeValue& settings, const char* key) {
    return kernel::narrowString(settings.getValue(key).text());
}

// The painter's declaration: "painter" itself, else the top-level Node that "painterid" names in the
// dialog declarations; the empty Node when there is none.
kernel::NodeValue& painterDeclaration(kernel::NodeValue& settings) {
    if (kernel::Value* painter = settings.findChild("painter")) {
        return painter->isNode() ? painter->asNode() : kernel::DUMMY_NODE();
    }
    DialogManager* manager = DialogManager::instance();
    if (!settings.hasChild("painterid") || manager == nullptr) {
        return kernel::DUMMY_NODE();
    }
    return manager->getDocument().getNode(readText(settings, "painterid"));
}

// Copies the source's pixels into a 32-bit image of its size, all of them or those of the area; false when
// the source is of another depth or cannot be read (the target is then left as it was).
bool copyRows(graphics::ImageBase& source, graphics::MemoryImage32& target,
              const kernel::Rect* area = nullptr) {
    kernel::Rect part(0, 0, source.getWidth(), source.getHeight());
    if (area != nullptr) {
        kernel::Rect::intersect(part, *area, part);
    }
    if (source.getPixelFormat()->bytesPerPixel != 4 || !source.lockForReading()) {
        return false;
    }
    const auto* pixels = static_cast<const std::uint32_t*>(source.getPixels());
    if (pixels != nullptr && !part.isEmpty() && target.lock()) {
        const std::size_t rowBytes = static_cast<std::size_t>(part.w) * 4;
        for (int y = part.y; y < part.bottom(); ++y) {
            std::memcpy(target.pixels32() + target.pixelIndex(part.x, y),
                        pixels + source.pixelIndex(part.x, y), rowBytes);
        }
        target.unlock();
    }
    source.unlock();
    return pixels != nullptr;
}

// A plain 32-bit copy of the picture; null when it has no pixels of that depth to copy.
kernel::SmartPtr<graphics::MemoryImage32> copyImage(graphics::ImageBase& source) {
    kernel::SmartPtr<graphics::MemoryImage32> copy =
        graphics::createImage32(source.getWidth(), source.getHeight());
    if (copy) {
        copyRows(source, *copy);
    }
    return copy;
}

} // namespace

Dialog::Dialog() {
    initListeners();
    requestedWidth = getWidth();
    requestedHeight = getHeight();
}

Dialog::Dialog(kernel::NodeValue& settings) : Panel(settings) {
    initListeners();
    readFlags(settings);
    readPainter(settings);
    readBackground(settings);
}

Dialog::~Dialog() {
    // The group counts nobody, so no member may stay listed once the dialog is gone.
    const std::vector<kernel::InputListener*> members = listeners.getMembers();
    for (kernel::InputListener* member : members) {
        listeners.remove(member);
    }
    listeners.setCurrent(nullptr);
}

kernel::Object* Dialog::createInstance(kernel::Value& settings) {
    return new Dialog(settings.isNode() ? settings.asNode() : kernel::DUMMY_NODE());
}

void Dialog::initListeners() {
    listeners.setCurrent(this);
    if (const SceneManager* manager = SceneManager::instance()) {
        listenToToolTip(manager->toolTip());
    }
    listeners.setActive(false);
}

void Dialog::listenToToolTip(ToolTip* toolTip) {
    if (listedToolTip) {
        listeners.remove(listedToolTip.get());
    }
    listedToolTip = toolTip;
    if (toolTip != nullptr) {
        listeners.add(toolTip, false);
    }
}

void Dialog::readFlags(kernel::NodeValue& settings) {
    if (settings.hasChild("movable")) {
        movable = settings.getValue("movable").asBool();
    }
    if (settings.hasChild("resizable")) {
        resizable = settings.getValue("resizable").asBool();
    }
    if (settings.hasChild("usebuffer")) {
        setUseBuffer(settings.getValue("usebuffer").asBool());
    }
    if (settings.hasChild("autoenlarge")) {
        autoEnlarge = settings.getValue("autoenlarge").asBool();
    }
}

// The declared size stands as the requested one unless the minimum size replaces it, so a dialog whose
// painter may not enlarge it is never sized from an unset request.
void Dialog::readPainter(kernel::NodeValue& settings) {
    requestedWidth = getWidth();
    requestedHeight = getHeight();
    kernel::NodeValue& declaration = painterDeclaration(settings);
    if (&declaration == &kernel::DUMMY_NODE()) {
        return;
    }
    if (autoEnlarge) {
        setWidth(settings.getValue("minwidth").asInt());
        setHeight(settings.getValue("minheight").asInt());
    }
    const kernel::SmartPtr<kernel::Object> made =
        kernel::ObjectFactory::instance()->createObject(declaration);
    if (made && made->isKindOf(DialogPainter::classInfo)) {
        setPainter(static_cast<DialogPainter*>(made.get()));
    }
}

void Dialog::readBackground(kernel::NodeValue& settings) {
    kernel::ResourceManager* manager = kernel::ResourceManager::instance();
    if (!settings.hasChild("background") || !settings.hasChild("section") || manager == nullptr) {
        return;
    }
    kernel::Object* found =
        manager->getResource(readText(settings, "background"), readText(settings, "section"));
    if (found != nullptr && found->isKindOf(graphics::ImageBase::classInfo)) {
        setSurfaceImage(static_cast<graphics::ImageBase*>(found));
    }
}

void Dialog::setPainter(DialogPainter* painter) {
    if (painter == dialogPainter.get()) {
        return;
    }
    dialogPainter = painter;
    if (painter != nullptr) {
        painter->setChanged(true);
    }
    markBufferDirty();
    setSize(requestedWidth, requestedHeight);
    setDirty(true);
}

void Dialog::setWidth(int value) {
    requestedWidth = value;
    if (autoEnlarge && dialogPainter) {
        value = dialogPainter->snapWidth(value);
    }
    Sprite::setWidth(value);
    markBufferDirty();
}

void Dialog::setHeight(int value) {
    requestedHeight = value;
    if (autoEnlarge && dialogPainter) {
        value = dialogPainter->snapHeight(value);
    }
    Sprite::setHeight(value);
    markBufferDirty();
}

bool Dialog::addComponent(GameNode* node) {
    Panel::addComponent(node);
    markBufferDirty();
    return true;
}

void Dialog::removeComponent(GameNode* node) {
    Panel::removeComponent(node);
    markBufferDirty();
}

void Dialog::setUseBuffer(bool flag) {
    if (flag == useBuffer) {
        return;
    }
    getContentNode()->setVisible(!flag);
    useBuffer = flag;
    markBufferDirty();
}

void Dialog::setSurfaceImage(graphics::ImageBase* image) {
    if (image == surfaceImage.get()) {
        return;
    }
    surfaceImage = image;
    markBufferDirty();
}

void Dialog::activate() {
    listeners.setActive(true);
    markBufferDirty();
}

void Dialog::deactivate() {
    listeners.setActive(false);
}

GameNode* Dialog::bindCallback(const std::string& name, void* receiver, WidgetCallback::Function function,
                               kernel::ListenerGroup& group) {
    GameNode* component = findComponent(name);
    return component != nullptr ? ui::bindCallback(component, receiver, function, group) : nullptr;
}

// A dialog that cannot move leaves presses to its widgets, so a still click on a button fires.
bool Dialog::onLeftButtonDown(int x, int y, std::uint32_t, bool) {
    if (!movable || !containsPoint(x, y)) {
        return false;
    }
    pressX = lastX = x;
    pressY = lastY = y;
    dragState = DragState::Pressed;
    return true;
}

void Dialog::onMouseMove(int x, int y, std::uint32_t) {
    if (dragState == DragState::Pressed && dragThresholdPassed(x, y)) {
        // The widgets get no input while the dialog moves.
        deactivate();
        dragState = DragState::Dragging;
    } else if (dragState == DragState::Dragging) {
        setX(getX() + x - lastX);
        setY(getY() + y - lastY);
        lastX = x;
        lastY = y;
    }
}

bool Dialog::onLeftButtonUp(int x, int y, std::uint32_t) {
    const DragState state = dragState;
    dragState = DragState::Idle;
    if (state == DragState::Pressed) {
        return containsPoint(x, y);
    }
    if (state == DragState::Dragging) {
        activate();
        return true;
    }
    return false;
}

bool Dialog::dragThresholdPassed(int x, int y) const {
    return std::abs(x - pressX) > dragThreshold || std::abs(y - pressY) > dragThreshold;
}

void Dialog::paint(graphics::ImagePainter& painter) {
    if (FrameCheck::drawingWhole()) {
        paintWhole(painter);
        return;
    }
    if (useBuffer && componentsChanged()) {
        markBufferDirty();
    }
    if (bufferDirty || (dialogPainter && dialogPainter->isChanged())) {
        refreshImage();
    }
    Sprite::paint(painter);
}

// The frame check's drawing: the components drawn afresh over what lies under them into a buffer of its
// own, the dialog's left as it is.
void Dialog::paintWhole(graphics::ImagePainter& painter) {
    graphics::ImageBase* under = dialogPainter ? frameImage.get() : surfaceImage.get();
    const kernel::SmartPtr<graphics::MemoryImage32> buffer =
        useBuffer && under != nullptr && getImage() != nullptr ? copyImage(*under) : nullptr;
    if (!buffer) {
        Sprite::paint(painter);
        return;
    }
    const kernel::SmartPtr<graphics::ImagePainter> components = buffer->createPainter();
    drawComponents(*getContentNode(), *components);
    buffer->setAlphaMode(true);
    paintPicture(painter, *buffer);
}

namespace {

// Nested dialogs keep their own images up to date, so their subtrees are not entered.
bool subtreeChanged(const GameNode& node) {
    for (const GameNode* child = node.getFirstChild(); child != nullptr; child = child->getNextSibling()) {
        if (child->isDead() || !child->isVisible()) {
            continue;
        }
        const bool isSprite = child->isKindOf(Sprite::classInfo);
        if (isSprite && static_cast<const Sprite*>(child)->isDirty()) {
            return true;
        }
        if (!child->isKindOf(Dialog::classInfo) && subtreeChanged(*child)) {
            return true;
        }
    }
    return false;
}

} // namespace

bool Dialog::componentsChanged() const {
    return subtreeChanged(*getContentNode());
}

void Dialog::refreshImage() {
    prepareFrame();
    if (bufferDirty && (dialogPainter ? frameImage : surfaceImage)) {
        rebuildBuffer();
    }
}

// The frame goes into an image of the dialog's own: the background image may be shared with every other
// holder of that resource. No image is made for a size that is not positive.
void Dialog::prepareFrame() {
    if (!dialogPainter) {
        return;
    }
    const bool sizeMatches =
        frameImage && frameImage->getWidth() == getWidth() && frameImage->getHeight() == getHeight();
    if (!sizeMatches) {
        frameImage = graphics::createImage32(getWidth(), getHeight());
        dialogPainter->setChanged(true);
        markBufferDirty();
    }
    if (frameImage && dialogPainter->isChanged()) {
        const kernel::SmartPtr<graphics::ImagePainter> framePainter = frameImage->createPainter();
        dialogPainter->paint(*framePainter);
        markBufferDirty();
    }
}

void Dialog::rebuildBuffer() {
    graphics::ImageBase& under = dialogPainter ? *frameImage : *surfaceImage;
    if (useBuffer && redrawChangedComponents(under)) {
        bufferDirty = false;
        setDirty(true);
        return;
    }
    const kernel::Rect* display = getDisplayRect();
    const bool hadDisplay = display != nullptr;
    const int displayWidth = hadDisplay ? display->w : 0;
    const int displayHeight = hadDisplay ? display->h : 0;
    const kernel::SmartPtr<graphics::MemoryImage32> buffer = refreshedBuffer(under);
    if (!buffer) {
        return;
    }
    setImage(buffer.get());
    bufferPainter = buffer->createPainter();
    if (hadDisplay) {
        setDisplayWidth(displayWidth);
        setDisplayHeight(displayHeight);
    }
    componentRecorder = nullptr;
    if (useBuffer) {
        drawAllComponents(under, *buffer);
    }
    // Drawn with its own alpha, so the frame's soft edges stay soft; a buffer drawn again in place tells a
    // converted copy of it that it is stale.
    buffer->setAlphaMode(true);
    buffer->setModified(true);
    bufferVersion = buffer->getContentVersion();
    bufferDirty = false;
    setDirty(true);
}

// The components are written down as they are drawn, so that the next change need only be drawn again where
// their drawing differs (see SceneRenderer).
void Dialog::drawAllComponents(graphics::ImageBase& under, graphics::MemoryImage32& buffer) {
    componentRecorder = new FrameRecorder(*bufferPainter);
    componentRecorder->beginForwarding(kernel::Rect(0, 0, buffer.getWidth(), buffer.getHeight()));
    drawComponents(*getContentNode(), *componentRecorder);
    componentRecorder->swapRecording(componentsDrawn);
    underDrawn = &under;
    underVersion = under.getContentVersion();
}

// While the buffer and what lies under the components are as they were, only the area where the components'
// drawing differs is drawn again: a small button that pulses on a large dialog then costs its own size.
bool Dialog::redrawChangedComponents(graphics::ImageBase& under) {
    graphics::ImageBase* shown = getImage();
    if (!componentRecorder || !bufferPainter || shown == nullptr || bufferPainter->getImage() != shown ||
        shown->getClassInfo() != &graphics::MemoryImage32::classInfo ||
        shown->getContentVersion() != bufferVersion || &under != underDrawn ||
        under.getContentVersion() != underVersion || shown->getWidth() != under.getWidth() ||
        shown->getHeight() != under.getHeight()) {
        return false;
    }
    FrameRecorder& recorder = *componentRecorder;
    recorder.begin();
    drawComponents(*getContentNode(), recorder);
    const kernel::Rect area = recorder.changedArea(componentsDrawn);
    if (!area.isEmpty()) {
        const kernel::Rect drawn = recorder.withWholePairs(area);
        if (!copyRows(under, static_cast<graphics::MemoryImage32&>(*shown), &drawn)) {
            return false;
        }
        recorder.beginForwarding(drawn);
        drawComponents(*getContentNode(), recorder);
        shown->setModified(true);
        // The screen then draws the dialog again only where its buffer changed.
        shown->notePartChanged(bufferVersion, drawn);
        bufferVersion = shown->getContentVersion();
    }
    recorder.swapRecording(componentsDrawn);
    return true;
}

// The buffer is drawn again in place while it keeps its size: a new one for each change would have its pages
// mapped and faulted in every frame that a component changes (a button that pulses on a large dialog).
kernel::SmartPtr<graphics::MemoryImage32> Dialog::refreshedBuffer(graphics::ImageBase& under) {
    graphics::ImageBase* shown = getImage();
    if (bufferPainter && shown != nullptr && bufferPainter->getImage() == shown &&
        shown->getClassInfo() == &graphics::MemoryImage32::classInfo &&
        shown->getWidth() == under.getWidth() && shown->getHeight() == under.getHeight()) {
        auto* buffer = static_cast<graphics::MemoryImage32*>(shown);
        if (copyRows(under, *buffer)) {
            return buffer;
        }
    }
    return copyImage(under);
}

// The content node itself is drawn even though it is hidden while the buffer is on.
void Dialog::drawComponents(GameNode& node, graphics::ImagePainter& painter) {
    if (node.isDead() || (!node.isVisible() && &node != getContentNode())) {
        return;
    }
    if (node.isKindOf(Sprite::classInfo)) {
        static_cast<Sprite&>(node).paint(painter);
    }
    if (node.getFirstChild() == nullptr) {
        return;
    }
    painter.moveOrigin(node.getX(), node.getY());
    for (GameNode* child = node.getFirstChild(); child != nullptr; child = child->getNextSibling()) {
        drawComponents(*child, painter);
    }
    painter.moveOrigin(-node.getX(), -node.getY());
}

} // namespace ui
