#include "engine/graphics/ChannelBuffer.h"

namespace graphics {

ChannelBuffer::ChannelBuffer(int width, int height)
    : width(width > 0 && height > 0 ? width : 0), height(width > 0 && height > 0 ? height : 0),
      bytes(static_cast<std::size_t>(std::int64_t{this->width} * this->height)) {}

} // namespace graphics
