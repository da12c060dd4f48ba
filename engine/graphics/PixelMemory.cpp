#include "engine/graphics/PixelMemory.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace graphics {

namespace {

bool isMapped(std::size_t bytes) {
    return bytes >= mappedPixelBytes;
}

} // namespace

void* allocatePixelMemory(std::size_t bytes, bool cleared) {
    if (bytes == 0) {
        return nullptr;
    }
    if (!isMapped(bytes)) {
        return cleared ? std::calloc(bytes, 1) : std::malloc(bytes);
    }
    void* memory = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    return memory != MAP_FAILED ? memory : nullptr;
}

void freePixelMemory(void* memory, std::size_t bytes) {
    if (memory == nullptr) {
        return;
    }
    if (isMapped(bytes)) {
        munmap(memory, bytes);
    } else {
        std::free(memory);
    }
}

bool isUntouchedZeroMemory(std::size_t bytes) {
    return isMapped(bytes);
}

void mapUnwrittenPages(const void* memory, std::size_t bytes) {
    if (memory == nullptr || !isMapped(bytes)) {
        return;
    }
    const auto* bytesRead = static_cast<const volatile std::uint8_t*>(memory);
    const auto page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    for (std::size_t offset = 0; offset < bytes; offset += page) {
        (void)bytesRead[offset];
    }
}

void copyRowSkippingClearEnds(void* target, const void* source, std::size_t bytes) {
    const auto* from = static_cast<const std::uint8_t*>(source);
    std::size_t first = 0;
    while (first < bytes && from[first] == 0) {
        ++first;
    }
    std::size_t last = bytes;
    while (last > first && from[last - 1] == 0) {
        --last;
    }
    if (first < last) {
        std::memcpy(static_cast<std::uint8_t*>(target) + first, from + first, last - first);
    }
}

} // namespace graphics
