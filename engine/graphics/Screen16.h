#pragma once

#include "engine/graphics/MemoryImage.h"
#include "engine/graphics/ScreenSurface.h"

namespace graphics {

// A 16-bit image over a display surface (see ScreenSurface).
class Screen16 : public ScreenSurface<MemoryImage> {
public:
    // An alpha buffer handed to a screen is not its own either.
    ~Screen16() override { setAlphaBuffer(nullptr); }

    static constexpr kernel::ClassInfo classInfo{&MemoryImage::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }
};

} // namespace graphics
