#include "engine/graphics/ImageFactory.h"

#include "engine/graphics/FrameStripImage.h"
#include "engine/graphics/PixelMemory.h"
#include "engine/graphics/Screen16.h"
#include "engine/graphics/Screen32.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace graphics {
namespace {

// Row r of a 32-bit image, or null when the image has no 32-bit pixels. Rows are addressed through the
// image's own pitch, which for a memory image is 4 x width, so rows follow each other in memory order.
const std::uint32_t* row32(const ImageBase& image, int row) {
    const auto* pixels = static_cast<const std::uint32_t*>(image.getPixels());
    if (pixels == nullptr || image.getPixelFormat()->bytesPerPixel != 4) {
        return nullptr;
    }
    return pixels + image.pixelIndex(0, row);
}

bool hasPixels32(const ImageBase& image) {
    return image.getWidth() > 0 && image.getHeight() > 0 && row32(image, 0) != nullptr;
}

bool isRgb565(const PixelFormat& format) {
    return format.maskR == 0xF800u && format.maskG == 0x07E0u && format.maskB == 0x001Fu &&
           format.maskA == 0u;
}

// The common case of the conversion, with the masks written out so that the loop runs a row at a time.
void packRow565(const std::uint32_t* source, std::uint16_t* target, int width) {
    for (int x = 0; x < width; ++x) {
        const std::uint32_t pixel = source[x];
        target[x] = static_cast<std::uint16_t>(((pixel >> 8) & 0xF800u) | ((pixel >> 5) & 0x07E0u) |
                                               ((pixel >> 3) & 0x001Fu));
    }
}

void packRow(const std::uint32_t* source, std::uint16_t* target, int width, const PixelFormat& format) {
    for (int x = 0; x < width; ++x) {
        target[x] = static_cast<std::uint16_t>(format.pack(source[x]));
    }
}

template <class Screen> Screen* createScreen(host::IDirectDrawSurface7* surface, const PixelFormat& format) {
    if (surface == nullptr) {
        return nullptr;
    }
    host::DDSURFACEDESC2 desc;
    desc.dwSize = host::DDSURFACEDESC2_SIZE;
    desc.dwFlags = host::DDSD_PIXELFORMAT;
    if (host::FAILED(surface->GetSurfaceDesc(&desc))) {
        return nullptr;
    }
    // Only the depth is compared: the channel masks of a surface are never used, its pixels are always
    // drawn in the screen's fixed format.
    const std::int64_t rowBytes = std::int64_t{desc.dwWidth} * format.bytesPerPixel;
    if (desc.ddpfPixelFormat.dwRGBBitCount != format.bytesPerPixel * 8 || desc.dwWidth == 0 ||
        desc.dwHeight == 0 || desc.lPitch < rowBytes || desc.dwHeight > 0x7FFFFFFF) {
        return nullptr;
    }
    auto* screen = new (std::nothrow) Screen();
    if (screen == nullptr) {
        return nullptr;
    }
    screen->setPixelFormat(format);
    screen->setWidth(static_cast<int>(desc.dwWidth));
    screen->setHeight(static_cast<int>(desc.dwHeight));
    screen->setPitch(desc.lPitch);
    screen->setSurface(surface);
    screen->readSurfaceDesc();
    return screen;
}

// Uncleared leaves the pixels as the allocation gives them, for an image that is written whole before use.
template <class Image, bool cleared = true>
Image* createImage(int width, int height, const PixelFormat& format) {
    auto* image = new (std::nothrow) Image();
    if (image == nullptr) {
        return nullptr;
    }
    bool allocated = false;
    if constexpr (cleared) {
        allocated = image->allocate(width, height);
    } else {
        allocated = image->allocateUncleared(width, height);
    }
    if (!allocated) {
        delete image;
        return nullptr;
    }
    image->setPixelFormat(format);
    image->setAlphaMode(false);
    return image;
}

} // namespace

MemoryImage* createImage16(int width, int height) {
    return createImage<MemoryImage>(width, height, PixelFormat::rgb565());
}

MemoryImage* createTwinImage16(int width, int height) {
    return createImage<MemoryImage, false>(width, height, PixelFormat::rgb565());
}

MemoryImage* createImage16From(const ImageBase& image32) {
    if (!hasPixels32(image32)) {
        return nullptr;
    }
    MemoryImage* image = createImage16(image32.getWidth(), image32.getHeight());
    if (image != nullptr) {
        convertImage32To16(image32, *image);
    }
    return image;
}

void convertImage32To16(const ImageBase& image32, MemoryImage& image16) {
    convertImage32To16Rows(image32, image16, 0, image32.getHeight());
}

void convertImage32To16Rows(const ImageBase& image32, MemoryImage& image16, int top, int bottom,
                            bool targetRowsUnwritten) {
    std::uint16_t* pixels = image16.pixels16();
    if (!hasPixels32(image32) || pixels == nullptr) {
        return;
    }
    // Sizes that disagree convert only the part both images have.
    const int width = std::min(image32.getWidth(), image16.getWidth());
    const int height = std::min({image32.getHeight(), image16.getHeight(), bottom});
    const PixelFormat& format = *image16.getPixelFormat();
    const bool rgb565 = isRgb565(format);
    std::uint8_t* alpha = image16.getAlphaBuffer();
    // A pixel 0 packs to 0 with alpha 0 in any format, which the unwritten rows already read.
    const bool skipClearEnds = targetRowsUnwritten && image16.hasUntouchedZeroPixels();
    for (int y = std::max(top, 0); y < height; ++y) {
        const std::uint32_t* source = row32(image32, y);
        int first = 0;
        int last = width;
        if (skipClearEnds) {
            while (first < last && source[first] == 0) {
                ++first;
            }
            while (last > first && source[last - 1] == 0) {
                --last;
            }
        }
        std::uint16_t* target = pixels + image16.pixelIndex(0, y);
        if (rgb565) {
            packRow565(source + first, target + first, last - first);
        } else {
            packRow(source + first, target + first, last - first, format);
        }
        if (alpha != nullptr) {
            std::uint8_t* alphaRow = alpha + std::int64_t{y} * image16.getWidth();
            for (int x = first; x < last; ++x) {
                alphaRow[x] = static_cast<std::uint8_t>(source[x] >> 24);
            }
        }
    }
}

MemoryImage32* createImage32(int width, int height) {
    return createImage<MemoryImage32>(width, height, PixelFormat::argb8888());
}

MemoryImage32* createImage32From(const ImageBase& image) {
    // Put together from the pieces, without keeping a whole copy inside the cut picture as well.
    if (image.getClassInfo() == &FrameStripImage::classInfo) {
        return static_cast<const FrameStripImage&>(image).assemble();
    }
    if (!hasPixels32(image)) {
        return nullptr;
    }
    MemoryImage32* copy = createImage32(image.getWidth(), image.getHeight());
    if (copy == nullptr) {
        return nullptr;
    }
    // A copy whose pixels read 0 until written leaves the clear ends of the source's rows alone, so the
    // copy of a mostly clear strip takes no more memory than the strip.
    const auto rowBytes = static_cast<std::size_t>(image.getWidth()) * 4;
    const bool sparse = copy->hasUntouchedZeroPixels();
    for (int y = 0; y < image.getHeight(); ++y) {
        std::uint32_t* target = copy->pixels32() + copy->pixelIndex(0, y);
        if (sparse) {
            copyRowSkippingClearEnds(target, row32(image, y), rowBytes);
        } else {
            std::memcpy(target, row32(image, y), rowBytes);
        }
    }
    return copy;
}

Screen16* createScreen16(host::IDirectDrawSurface7* surface) {
    return createScreen<Screen16>(surface, PixelFormat::rgb565());
}

Screen32* createScreen32(host::IDirectDrawSurface7* surface) {
    return createScreen<Screen32>(surface, PixelFormat::argb8888());
}

ChannelBuffer* createImageChannel(const ImageBase& image32, int lane) {
    if (!hasPixels32(image32)) {
        return nullptr;
    }
    const int shift = lane == 1 ? 16 : lane == 2 ? 8 : lane == 3 ? 0 : 24;
    ChannelBuffer* buffer = nullptr;
    try {
        buffer = new ChannelBuffer(image32.getWidth(), image32.getHeight());
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    std::uint8_t* target = buffer->data();
    for (int y = 0; y < image32.getHeight(); ++y) {
        const std::uint32_t* source = row32(image32, y);
        for (int x = 0; x < image32.getWidth(); ++x) {
            *target++ = static_cast<std::uint8_t>(source[x] >> shift);
        }
    }
    return buffer;
}

} // namespace graphics
