#pragma once

#include "engine/graphics/ImageBase.h"
#include "engine/graphics/PointF.h"
#include "engine/kernel/Rect.h"
#include "engine/kernel/SmartPtr.h"
#include "engine/kernel/TextConversion.h"
#include "engine/ui/GameNode.h"

#include <cstdint>
#include <memory>
#include <optional>

namespace graphics {
class ImagePainter;
}

namespace ui {

// A node with a look: an image cut into frames, a size, an anchor, alpha, colour, rotation, scale,
// optional rectangles and a tool-tip text. Panels, dialogs, scenes and every widget derive from it.
class Sprite : public GameNode {
public:
    // Which point of the sprite lies at (x, y).
    enum Anchor : int {
        TopLeft = 0,
        Top = 1,
        TopRight = 2,
        Left = 3,
        Center = 4,
        Right = 5,
        BottomLeft = 6,
        Bottom = 7,
        BottomRight = 8,
        // A point set directly, kept when the size changes.
        Custom = 9,
    };
    // What a frame animation does after the last frame.
    enum WrapStyle : int { Once = 0, PingPong = 1, Loop = 2 };

    Sprite();
    explicit Sprite(kernel::NodeValue& settings);
    Sprite(int x, int y, graphics::ImageBase* image);
    Sprite(int x, int y, int width, int height);
    ~Sprite() override;

    // A display rectangle that exists follows the new position.
    int setX(int value) override;
    int setY(int value) override;
    bool setDead(bool value) override;
    bool setVisible(bool value) override;

    // Draws at the parent's origin, which the renderer has set on the painter.
    virtual void paint(graphics::ImagePainter& painter);
    virtual void setWidth(int value);
    virtual void setHeight(int value);
    virtual void setSize(int w, int h);
    virtual void setCurrentFrame(int index);
    virtual void setRotation(float value);
    virtual float getRotation() const;
    // An empty text removes the tool-tip.
    virtual void setToolTipText(const kernel::WideString& text);
    // Screen coordinates; rotation, scale and the display rectangle are not considered.
    virtual bool containsPoint(int px, int py) const;
    // The size follows the image (0 x 0 without one).
    virtual void setImage(graphics::ImageBase* value);
    virtual void setAlpha(int value);
    virtual void setColor(std::uint32_t value);

    // Cuts the image (or the sprite's size) into count frames side by side; a negative count keeps the
    // stored one.
    void setupFrames(int count, bool horizontal, bool useImageSize);

    void setClipRect(int x, int y, int w, int h);
    // Null removes the clip rectangle.
    void setClipRect(const kernel::Rect* rect);
    void setSourceRect(int x, int y, int w, int h);
    // Null removes the source rectangle.
    void setSourceRect(const kernel::Rect* rect);
    void setFirstFrameRect(int x, int y, int w, int h);
    void setDisplayRect(int x, int y, int w, int h);
    // Draws unstretched again (the resize modifier's end at the natural size).
    void removeDisplayRect();
    // Stretches the drawing to the width (height) while the anchor stays where it was.
    void setDisplayWidth(int w);
    void setDisplayHeight(int h);
    // Null while the rectangle has never been set (or was removed).
    const kernel::Rect* getClipRect() const { return optionalRect(clipRect); }
    const kernel::Rect* getSourceRect() const { return optionalRect(sourceRect); }
    const kernel::Rect* getFirstFrameRect() const { return optionalRect(firstFrameRect); }
    const kernel::Rect* getDisplayRect() const { return optionalRect(displayRect); }

    int getAlpha() const { return alpha; }
    std::uint32_t getColor() const { return colour; }
    int getWidth() const { return width; }
    int getHeight() const { return height; }
    graphics::ImageBase* getImage() const { return image.get(); }

    int getFrameCount() const { return frameCount; }
    // Stores only: the frames are not cut again. At least 1, so no frame arithmetic divides by zero.
    void setFrameCount(int count);
    int getCurrentFrame() const { return currentFrame; }
    int getFrameStepX() const { return frameStepX; }
    int getFrameStepY() const { return frameStepY; }
    bool getReverseFrames() const { return reverseFrames != 0; }
    void setReverseFrames(bool value) { reverseFrames = value ? 1 : 0; }
    int getWrapStyle() const { return wrapStyle; }
    void setWrapStyle(int value) { wrapStyle = value; }

    void setAnchor(int kind);
    int getAnchor() const { return anchorKind; }
    // A custom anchor point (kind 9).
    void setAnchorPoint(float ax, float ay);
    const graphics::PointF& getAnchorPoint() const { return anchorPoint; }
    // Always the centre: the point about which the painter rotates and scales.
    const graphics::PointF& getPivotPoint() const { return pivotPoint; }

    float getScale() const { return scale; }
    // For the rotate-scale modifier, which animates the scale.
    void setScale(float value);
    bool isSmoothRotateScale() const { return smoothRotateScale; }
    void setSmoothRotateScale(bool value) { smoothRotateScale = value; }

    // Null when the sprite has no tool-tip.
    const kernel::WideString* getToolTipText() const { return toolTip.get(); }

    bool isDirty() const { return needsRepaint; }
    void setDirty(bool value) { needsRepaint = value; }

    static constexpr kernel::ClassInfo classInfo{&GameNode::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

protected:
    // The picture drawn where and as the sprite's own image would be.
    void paintPicture(graphics::ImagePainter& painter, graphics::ImageBase& picture);

private:
    static const kernel::Rect* optionalRect(const std::optional<kernel::Rect>& rect) {
        return rect ? &*rect : nullptr;
    }
    void readSettings(kernel::NodeValue& settings);
    void readImage(kernel::NodeValue& settings);
    void readFrames(kernel::NodeValue& settings);
    void readAnchor(kernel::NodeValue& settings);
    void readAnimation(kernel::NodeValue& settings);
    void storeRect(std::optional<kernel::Rect>& rect, const kernel::Rect& value);
    void removeRect(std::optional<kernel::Rect>& rect);
    void updateAnchorAndPivot();
    void followDisplayPosition();
    void drawPlain(graphics::ImagePainter& painter, graphics::ImageBase& picture, int px, int py);
    void drawTurned(graphics::ImagePainter& painter, graphics::ImageBase& picture, int px, int py);

    bool needsRepaint = true;
    int width = 0;
    int height = 0;
    std::optional<kernel::Rect> firstFrameRect;
    std::optional<kernel::Rect> sourceRect;
    std::optional<kernel::Rect> clipRect;
    std::optional<kernel::Rect> displayRect;
    float rotation = 0.0f;
    float scale = 1.0f;
    int frameCount = 1;
    int currentFrame = 0;
    int frameStepX = 0;
    int frameStepY = 0;
    std::uint32_t reverseFrames = 0;
    int wrapStyle = Loop;
    kernel::SmartPtr<graphics::ImageBase> image;
    int alpha = 255;
    std::uint32_t colour = 0;
    bool smoothRotateScale = false;
    graphics::PointF anchorPoint;
    int anchorKind = TopLeft;
    graphics::PointF pivotPoint;
    std::unique_ptr<kernel::WideString> toolTip;
};

} // namespace ui
