#pragma once

#include "engine/kernel/Object.h"

#include <cstdint>
#include <vector>

namespace graphics {

// One byte lane of an image as a plane of its own; its rows are width bytes long.
class ChannelBuffer : public kernel::Object {
public:
    ChannelBuffer(int width, int height);

    virtual bool lock() { return true; }
    virtual bool unlock() { return true; }

    std::uint8_t* data() { return bytes.data(); }
    const std::uint8_t* data() const { return bytes.data(); }
    int getWidth() const { return width; }
    int getHeight() const { return height; }

    static constexpr kernel::ClassInfo classInfo{&kernel::Object::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    int width;
    int height;
    std::vector<std::uint8_t> bytes;
};

} // namespace graphics
