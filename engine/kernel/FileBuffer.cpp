#include "engine/kernel/FileBuffer.h"

#include <new>

namespace kernel {

bool FileBuffer::allocate(std::uint32_t size) {
    clear();
    block.reset(new (std::nothrow) char[static_cast<std::size_t>(size) + 1]());
    if (!block) {
        return false;
    }
    length = size;
    return true;
}

void FileBuffer::clear() {
    block.reset();
    length = 0;
}

} // namespace kernel
