#pragma once

#include "engine/graphics/RecordingPainter.h"
#include "engine/kernel/InputListener.h"
#include "engine/kernel/ListenerGroup.h"
#include "engine/kernel/SmartPtr.h"
#include "engine/ui/FrameRecorder.h"
#include "engine/ui/Panel.h"
#include "engine/ui/WidgetCallback.h"

#include <cstdint>
#include <string>

namespace graphics {
class ImageBase;
class ImagePainter;
class MemoryImage32;
} // namespace graphics

namespace ui {

class DialogPainter;
class ToolTip;

// A panel that can be dragged, is framed by a dialog painter, may draw its components into one image
// of its own, and owns the listener group through which its widgets get input. The group is active
// while the dialog is shown and not being dragged.
class Dialog : public Panel, public kernel::InputListener {
public:
    Dialog();
    // Reads "movable", "resizable", "usebuffer", "autoenlarge", "painter" or "painterid", "minwidth",
    // "minheight" and "background" with "section". Built inactive.
    explicit Dialog(kernel::NodeValue& settings);
    ~Dialog() override;

    void paint(graphics::ImagePainter& painter) override;
    void setWidth(int value) override;
    void setHeight(int value) override;
    bool addComponent(GameNode* node) override;
    void removeComponent(GameNode* node) override;

    // The group serves all its members while active, else only the dialog's own listener.
    virtual void activate();
    virtual void deactivate();
    // Binds the named component's callback and enlists its listeners in the group (as a rule this
    // dialog's own); returns the component, null when none bears the name.
    virtual GameNode* bindCallback(const std::string& name, void* receiver, WidgetCallback::Function function,
                                   kernel::ListenerGroup& group);

    // Dragging; the game's dialogs call these from their own overrides too.
    void onMouseMove(int x, int y, std::uint32_t keyFlags) override;
    bool onLeftButtonDown(int x, int y, std::uint32_t keyFlags, bool doubleClick) override;
    bool onLeftButtonUp(int x, int y, std::uint32_t keyFlags) override;

    // Null takes the painter away. The dialog is sized again from the requested size.
    void setPainter(DialogPainter* painter);
    DialogPainter* getPainter() const { return dialogPainter.get(); }
    // The picture under the components when no painter draws a frame; never drawn into.
    void setSurfaceImage(graphics::ImageBase* image);
    graphics::ImageBase* getSurfaceImage() const { return surfaceImage.get(); }
    // With the buffer on, the components are drawn into the dialog's own image and the content node hides.
    void setUseBuffer(bool flag);
    bool getUseBuffer() const { return useBuffer; }

    bool isMovable() const { return movable; }
    void setMovable(bool flag) { movable = flag; }
    // Stored only: nothing resizes a dialog.
    bool isResizable() const { return resizable; }
    void setResizable(bool flag) { resizable = flag; }
    bool isAutoEnlarge() const { return autoEnlarge; }
    void setAutoEnlarge(bool flag) { autoEnlarge = flag; }
    bool isDragging() const { return dragState == DragState::Dragging; }

    kernel::ListenerGroup& listenerList() { return listeners; }
    // Lists the tool-tip's listener at the back of the group in place of the one listed before (null lists
    // none). The dialog holds the tool-tip while it is listed, so the group never keeps a freed one.
    void listenToToolTip(ToolTip* toolTip);
    ToolTip* getListedToolTip() const { return listedToolTip.get(); }

    static kernel::Object* createInstance(kernel::Value& settings);

    static constexpr kernel::ClassInfo classInfo{&Panel::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    enum class DragState { Idle, Pressed, Dragging };

    void initListeners();
    void readFlags(kernel::NodeValue& settings);
    void readPainter(kernel::NodeValue& settings);
    void readBackground(kernel::NodeValue& settings);
    void markBufferDirty() { bufferDirty = true; }

    bool componentsChanged() const;
    void refreshImage();
    void prepareFrame();
    void rebuildBuffer();
    kernel::SmartPtr<graphics::MemoryImage32> refreshedBuffer(graphics::ImageBase& under);
    void drawAllComponents(graphics::ImageBase& under, graphics::MemoryImage32& buffer);
    bool redrawChangedComponents(graphics::ImageBase& under);
    void drawComponents(GameNode& node, graphics::ImagePainter& painter);
    void paintWhole(graphics::ImagePainter& painter);
    bool dragThresholdPassed(int x, int y) const;

    kernel::SmartPtr<graphics::ImagePainter> bufferPainter;
    // How the components were last drawn into the buffer, over which picture (at which version), and the
    // buffer's version after: anything else changed, the buffer is built again whole.
    kernel::SmartPtr<FrameRecorder> componentRecorder;
    graphics::RecordingPainter::Recording componentsDrawn;
    const graphics::ImageBase* underDrawn = nullptr;
    std::uint64_t underVersion = 0;
    std::uint64_t bufferVersion = 0;
    kernel::SmartPtr<graphics::ImageBase> surfaceImage;
    // A frame drawn by the painter lives in an image of the dialog's own, never in a shared background.
    kernel::SmartPtr<graphics::ImageBase> frameImage;
    bool useBuffer = false;
    int lastX = 0;
    int lastY = 0;
    int pressX = 0;
    int pressY = 0;
    bool movable = false;
    bool resizable = false;
    DragState dragState = DragState::Idle;
    kernel::SmartPtr<DialogPainter> dialogPainter;
    int requestedWidth = -1;
    int requestedHeight = -1;
    bool bufferDirty = false;
    bool autoEnlarge = true;
    kernel::ListenerGroup listeners;
    kernel::SmartPtr<ToolTip> listedToolTip;
};

} // namespace ui
