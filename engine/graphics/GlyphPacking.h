#pragma once
// Packing a bitmap font's charset: the glyph boxes of a charset strip are as tall as its tallest letter,
// so about a third of their rows are wholly clear. Only the other rows are kept, box by box, in shelves of
// a new image.

#include "engine/graphics/MemoryImage32.h"
#include "engine/kernel/Rect.h"
#include "engine/kernel/SmartPtr.h"

#include <cstdint>
#include <vector>

namespace graphics {

// Where one box's kept rows went: drawn is their rectangle in the packed image (empty when the whole box is
// clear), top the number of clear rows above them in the box.
struct PackedBox {
    kernel::Rect drawn;
    std::int32_t top = 0;
};

struct PackedCharset {
    // Null when packing would not save enough to be worth a second image.
    kernel::SmartPtr<MemoryImage32> image;
    // One per box given, in their order.
    std::vector<PackedBox> boxes;
};

// The boxes must lie inside the 32-bit charset; equal boxes share their rows. The packed image has the
// charset's alpha mode.
PackedCharset packCharset(ImageBase& charset, const std::vector<kernel::Rect>& boxes);

} // namespace graphics
