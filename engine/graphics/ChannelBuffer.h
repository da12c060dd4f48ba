#pragma once

#include "engine/kernel/Object.h"

#include <cstdint>

namespace graphics {
std::uint64_t nextContentVersion();
}

#include <cstdint>
#include <vector>

namespace graphics {

// One byte lane of an image as a plane of its own; its rows are width bytes long.
class ChannelBuffer : public kernel::Object {
public:
    ChannelBuffer(int width, int height);

    // A lock counts as a change of the bytes, as an image's does.
    virtual bool lock() {
        contentVersion = nextContentVersion();
        return true;
    }
    virtual bool unlock() { return true; }
    bool lockForReading() {
        const std::uint64_t kept = contentVersion;
        const bool locked = lock();
        contentVersion = kept;
        return locked;
    }
    std::uint64_t getContentVersion() const { return contentVersion; }

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
    std::uint64_t contentVersion = nextContentVersion();
};

} // namespace graphics
