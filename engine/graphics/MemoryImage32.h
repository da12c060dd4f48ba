#pragma once

#include "engine/graphics/ImageBase.h"

#include <cstddef>
#include <cstdint>

namespace graphics {

// 32-bit pixels 0xAARRGGBB.
class MemoryImage32 : public ImageBase {
public:
    MemoryImage32() = default;
    ~MemoryImage32() override;

    int pixelIndex(int x, int y) const override { return (getPitch() / 4) * y + x; }
    bool lock() override {
        markChanged();
        return true;
    }
    bool unlock() override { return true; }
    void* getPixels() const override { return pixels; }
    void setPixels(void* value) override {
        pixels = static_cast<std::uint32_t*>(value);
        markChanged();
    }
    ImagePainter* createPainter() override;
    ImageChannel* createChannelView(int lane) override;
    void freePixels() override;

    std::uint32_t* pixels32() const { return pixels; }

    // Allocates width x height pixels, all 0 (owned; freed by freePixels). A large buffer's pages take
    // memory only once written (see PixelMemory.h).
    bool allocate(int width, int height);
    // True while the pixels are a buffer of allocate that reads 0 wherever it has not been written: a
    // writer that fills it may leave its zero pixels alone.
    bool hasUntouchedZeroPixels() const;

    static constexpr kernel::ClassInfo classInfo{&ImageBase::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    std::uint32_t* pixels = nullptr;
    // The bytes of the buffer allocate made, 0 when the pixels are not one.
    std::size_t ownedBytes = 0;
};

} // namespace graphics
