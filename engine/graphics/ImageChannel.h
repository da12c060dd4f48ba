#pragma once

#include "engine/graphics/ImageBase.h"
#include "engine/kernel/Rect.h"
#include "engine/kernel/SmartPtr.h"

namespace graphics {

// One byte lane of a 32-bit image seen as a plane of 8-bit values: lane 0 alpha, 1 red, 2 green, 3 blue.
// Positions outside the image are skipped (and read as 0), so no operation reaches past the pixels.
class ImageChannel : public kernel::Object {
public:
    ImageChannel(ImageBase& image, int lane);

    virtual void fill(int value);
    virtual void set(int x, int y, int value);
    // 0 for a lane outside 0..3.
    virtual int get(int x, int y);
    // Clipped to the view's rectangle.
    virtual void fillRect(int x, int y, int w, int h, int value);
    virtual void copyRect(ImageChannel& source, int dx, int dy, int sx, int sy, int w, int h);
    virtual void copy(ImageChannel& source, int dx, int dy);
    // Writes at the destination the larger of the source's value and this channel's value at the source
    // position (not at the destination: the two agree when no offset is used). A tie keeps this channel's.
    virtual void maxRect(ImageChannel& source, int dx, int dy, int sx, int sy, int w, int h);
    virtual void max(ImageChannel& source, int dx, int dy);

    ImageBase* getImage() const { return image.get(); }
    int getLane() const { return lane; }
    const kernel::Rect& getRect() const { return rect; }

    static constexpr kernel::ClassInfo classInfo{&kernel::Object::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    bool contains(int x, int y) const;
    // Calls step(x, y, tx, ty) for each source position of the rectangle whose source and target both lie
    // inside their images, row by row.
    template <class Step>
    void walk(ImageChannel& source, int dx, int dy, int sx, int sy, int w, int h, Step step);

    kernel::SmartPtr<ImageBase> image;
    kernel::Rect rect;
    int lane;
};

} // namespace graphics
