#pragma once

#include "engine/graphics/MemoryImage32.h"
#include "engine/graphics/ScreenSurface.h"

namespace graphics {

// A 32-bit image over a display surface (see ScreenSurface).
class Screen32 : public ScreenSurface<MemoryImage32> {
public:
    static constexpr kernel::ClassInfo classInfo{&MemoryImage32::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }
};

} // namespace graphics
