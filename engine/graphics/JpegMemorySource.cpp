#include "engine/graphics/JpegMemorySource.h"

#include <algorithm>
#include <cstring>

namespace graphics {
namespace {

struct MemorySource {
    jpeg_source_mgr library; // first: the decompressor sees only this part
    std::size_t remaining;
    const unsigned char* data;
    bool startOfFile;
    JOCTET buffer[jpegSourceBlock];
};

MemorySource* sourceOf(j_decompress_ptr decompressor) {
    return reinterpret_cast<MemorySource*>(decompressor->src);
}

void initSource(j_decompress_ptr decompressor) {
    sourceOf(decompressor)->startOfFile = true;
}

boolean fillInputBuffer(j_decompress_ptr decompressor) {
    MemorySource* source = sourceOf(decompressor);
    std::size_t count = std::min(source->remaining, jpegSourceBlock);
    if (count > 0) {
        std::memcpy(source->buffer, source->data, count);
        source->data += count;
        source->remaining -= count;
    } else {
        source->buffer[0] = 0xFF;
        source->buffer[1] = JPEG_EOI;
        count = 2;
    }
    source->library.next_input_byte = source->buffer;
    source->library.bytes_in_buffer = count;
    source->startOfFile = false;
    return jpegTrue;
}

void skipInputData(j_decompress_ptr decompressor, long count) {
    if (count <= 0) {
        return;
    }
    MemorySource* source = sourceOf(decompressor);
    const auto bytes = static_cast<std::size_t>(count);
    if (bytes <= source->library.bytes_in_buffer) {
        source->library.next_input_byte += bytes;
        source->library.bytes_in_buffer -= bytes;
        return;
    }
    // A marker whose length runs past the end of the data stops at the end, not beyond it.
    const std::size_t beyond = std::min(bytes - source->library.bytes_in_buffer, source->remaining);
    source->data += beyond;
    source->remaining -= beyond;
    source->library.bytes_in_buffer = 0;
}

void termSource(j_decompress_ptr) {}

} // namespace

void setJpegMemorySource(j_decompress_ptr decompressor, const unsigned char* data, std::size_t size) {
    if (decompressor->src == nullptr || decompressor->src->init_source != initSource) {
        void* block = (*decompressor->mem->alloc_small)(reinterpret_cast<j_common_ptr>(decompressor),
                                                        JPOOL_PERMANENT, sizeof(MemorySource));
        decompressor->src = static_cast<jpeg_source_mgr*>(block);
    }
    MemorySource* source = sourceOf(decompressor);
    source->library.init_source = initSource;
    source->library.fill_input_buffer = fillInputBuffer;
    source->library.skip_input_data = skipInputData;
    source->library.resync_to_restart = jpeg_resync_to_restart;
    source->library.term_source = termSource;
    source->library.next_input_byte = nullptr;
    source->library.bytes_in_buffer = 0;
    source->remaining = data != nullptr ? size : 0;
    source->data = data;
    source->startOfFile = false;
}

} // namespace graphics
