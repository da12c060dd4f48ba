#pragma once

#include "engine/graphics/PixelFormat.h"
#include "engine/kernel/Object.h"
#include "engine/kernel/Rect.h"

#include <cstddef>
#include <cstdint>

namespace graphics {

class ImagePainter;
class ImageChannel;
class ImageBase;

// A value never handed out before: the content versions of images and channel buffers.
std::uint64_t nextContentVersion();

// What a picture cut into frames keeps of one frame (see FrameStripImage): every pixel of the frame outside
// the window is 0.
struct FramePiece {
    // Window-sized, its (0, 0) at the window's top-left corner; null when the whole frame is 0.
    ImageBase* image = nullptr;
    // In the whole picture's pixels.
    kernel::Rect window;
    // The pixels whose alpha byte is not 0, in the whole picture's pixels; empty when none is.
    kernel::Rect alphaBounds;
};

// A rectangle of pixels in a known format, drawn on through its painter.
class ImageBase : public kernel::Object {
public:
    ImageBase();
    ~ImageBase() override;

    virtual int getWidth() const { return width; }
    virtual void setWidth(int value) {
        width = value;
        markChanged();
    }
    virtual int getHeight() const { return height; }
    virtual void setHeight(int value) {
        height = value;
        markChanged();
    }
    // Bytes from one row to the next.
    virtual int getPitch() const { return pitch; }
    virtual void setPitch(int value) {
        pitch = value;
        markChanged();
    }
    virtual int pixelIndex(int x, int y) const = 0;
    virtual const PixelFormat* getPixelFormat() const { return &pixelFormat; }
    virtual void setPixelFormat(const PixelFormat& format) {
        pixelFormat = format;
        markChanged();
    }
    // False when the pixels cannot be reached; a loop then writes nothing. A lock counts as a change of the
    // pixels (see getContentVersion).
    virtual bool lock() = 0;
    virtual bool unlock() = 0;
    // A lock by a caller that only reads the pixels: the content version stays.
    bool lockForReading();
    // Until called again with null, nothing outside the area (image pixels) is written: an image over a
    // display surface then locks only that part, so that the display knows what may have changed.
    virtual void limitWrites(const kernel::Rect* area) { (void)area; }
    virtual void* getPixels() const = 0;
    virtual void setPixels(void* pixels) = 0;
    // A new painter (reference count 0) on this image.
    virtual ImagePainter* createPainter() = 0;
    // A new view of one lane (reference count 0), or null where the image has none.
    virtual ImageChannel* createChannelView(int lane) = 0;
    virtual void freePixels() = 0;

    // The image that painters read when this one is their source: itself, or a converted copy that this
    // image holds one reference to.
    ImageBase* getTwin() const { return twin; }
    // A new twin starts with no band fresh.
    void setTwin(ImageBase* image);
    // One bit per band of rows of a converted twin whose pixels are this image's present ones: a painter
    // converts a large twin a band at a time, as its draws reach the rows.
    std::uint64_t getFreshTwinBands() const { return freshTwinBands; }
    void setFreshTwinBands(std::uint64_t bands) { freshTwinBands = bands; }

    bool isModified() const { return modified; }
    void setModified(bool value);
    // As a source: true lets its own per-pixel alpha take part, false uses only the painter's alpha.
    bool getAlphaMode() const { return alphaMode; }
    void setAlphaMode(bool value);

    // Changes whenever what the image shows may have changed: a lock, new pixels, a new size, format or
    // alpha mode. Never the same for two images, so an equal version means an unchanged picture (what lets
    // a frame that would draw the same again be left as it is).
    std::uint64_t getContentVersion() const { return contentVersion; }
    void markChanged() { contentVersion = nextContentVersion(); }
    // Tells that from the content version `from` to the present one only the pixels within the part (image
    // pixels) changed. The last few notes are kept while they follow one another.
    void notePartChanged(std::uint64_t from, const kernel::Rect& part);
    // Where the pixels may differ from what they were at an earlier content version, for each version the
    // notes lead from to the present one without a gap, the newest first; none when the newest note does not
    // end at the present version.
    struct ChangeSince {
        std::uint64_t from = 0;
        kernel::Rect part;
    };
    static constexpr std::size_t partChangesKept = 4;
    std::size_t listChangesSince(ChangeSince (&changes)[partChangesKept]) const;

    // The smallest rectangle that holds every pixel whose alpha byte is not 0: outside it a blend by the
    // image's own alpha leaves the target as it is. Worked out from the pixels of a 32-bit image again
    // only when the content version has changed; the whole image for any other depth or when the pixels
    // cannot be read. Empty when every pixel is clear.
    kernel::Rect alphaBounds();

    // The piece of the frame that holds the whole area, for a picture kept cut into frames; null for any
    // other picture or an area that is empty or reaches beyond one frame.
    virtual const FramePiece* findFramePiece(const kernel::Rect& area) const {
        (void)area;
        return nullptr;
    }

    static constexpr kernel::ClassInfo classInfo{&kernel::Object::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

protected:
    // What alphaBounds works out when the content has changed.
    virtual kernel::Rect findAlphaBounds();
    // The bytes of a packed width x height buffer, or 0 when a size is not positive or the buffer would be
    // too large for the 32-bit index and offset arithmetic of the drawing code.
    static std::size_t bufferBytes(int width, int height, int bytesPerPixel);

private:
    ImageBase* twin;
    std::uint64_t freshTwinBands = 0;
    int width = 0;
    int height = 0;
    PixelFormat pixelFormat;
    int pitch = 0;
    bool modified = false;
    bool alphaMode = true;
    std::uint64_t contentVersion = nextContentVersion();
    // The notes of changed parts, the newest last.
    struct PartChange {
        std::uint64_t from = 0;
        std::uint64_t to = 0;
        kernel::Rect part;
    };
    PartChange partChanges[partChangesKept];
    std::size_t partChangeCount = 0;
    // Versions start at 1, so 0 means the bounds were never worked out.
    std::uint64_t alphaBoundsVersion = 0;
    kernel::Rect knownAlphaBounds;
};

} // namespace graphics
