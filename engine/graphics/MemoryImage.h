#pragma once

#include "engine/graphics/ImageBase.h"

#include <cstddef>
#include <cstdint>

namespace graphics {

// 16-bit RGB565 pixels with a separate plane of one alpha byte per pixel.
class MemoryImage : public ImageBase {
public:
    MemoryImage() = default;
    ~MemoryImage() override;

    int pixelIndex(int x, int y) const override { return (getPitch() / 2) * y + x; }
    bool lock() override {
        markChanged();
        return true;
    }
    bool unlock() override { return true; }
    void* getPixels() const override { return pixels; }
    void setPixels(void* value) override {
        pixels = static_cast<std::uint16_t*>(value);
        markChanged();
    }
    ImagePainter* createPainter() override;
    ImageChannel* createChannelView(int lane) override;
    void freePixels() override;

    std::uint16_t* pixels16() const { return pixels; }
    // Null when the image has none (a 16-bit screen).
    std::uint8_t* getAlphaBuffer() const { return alphaBuffer; }
    void setAlphaBuffer(std::uint8_t* value) { alphaBuffer = value; }

    // Allocates width x height pixels and alpha bytes, all 0 (owned; freed by freePixels).
    bool allocate(int width, int height);
    // The same with the bytes left as they come, for an image whose every byte is written before it is
    // read: memory never touched costs nothing until it is.
    bool allocateUncleared(int width, int height);
    // True while both buffers are ones of allocate or allocateUncleared that read 0 wherever they have not
    // been written (see PixelMemory.h).
    bool hasUntouchedZeroPixels() const;

    static constexpr kernel::ClassInfo classInfo{&ImageBase::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    bool take(int width, int height, bool cleared);

    std::uint16_t* pixels = nullptr;
    std::uint8_t* alphaBuffer = nullptr;
    // The pixel bytes of the buffers take made (the alpha buffer has half as many), 0 when none.
    std::size_t ownedBytes = 0;
};

} // namespace graphics
