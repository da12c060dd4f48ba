#pragma once

#include "engine/kernel/Object.h"

#include <cstddef>
#include <cstdint>
#include <memory>

namespace kernel {

// A loaded file: size bytes of data followed by one 0, so a text can go to the XML parser as it is.
class FileBuffer : public Object {
public:
    std::uint32_t size() const { return length; }
    char* data() { return block.get(); }
    const char* data() const { return block.get(); }
    bool empty() const { return block == nullptr; }

    // Frees the old data and allocates size + 1 bytes, all 0; false when the memory cannot be had.
    bool allocate(std::uint32_t size);
    void clear();

    static constexpr ClassInfo classInfo{&Object::classInfo};
    const ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    std::uint32_t length = 0;
    std::unique_ptr<char[]> block;
};

} // namespace kernel
