#include "engine/graphics/JpegDecoder.h"

#include "engine/graphics/DecodeLimits.h"
#include "engine/graphics/ImageFactory.h"
#include "engine/graphics/JpegMemorySource.h"
#include "engine/kernel/FileAccess.h"
#include "engine/kernel/FileBuffer.h"
#include "engine/kernel/ZipArchive.h"
#include "host/Files.h"

#include <csetjmp>
#include <cstdint>

namespace graphics {
namespace {

// The library's error exit must not return to it: it jumps back to the decoder's recovery point instead.
struct ErrorManager {
    jpeg_error_mgr library; // first: the library sees only this part
    std::jmp_buf recovery;
};

[[noreturn]] void onError(j_common_ptr decompressor) {
    std::longjmp(reinterpret_cast<ErrorManager*>(decompressor->err)->recovery, 1);
}

// Warnings about damaged data are not worth a line on the console of a running game.
void onMessage(j_common_ptr) {}

void onProgress(j_common_ptr common) {
    const auto* decompressor = reinterpret_cast<j_decompress_ptr>(common);
    if (decompressor->input_scan_number > maxJpegScans) {
        (*common->err->error_exit)(common);
    }
}

// What the decoding touches between setjmp and a possible longjmp lives outside the frame that calls
// setjmp, so its values are still defined after a jump back.
struct JpegJob {
    jpeg_decompress_struct decompressor;
    ErrorManager errors;
    jpeg_progress_mgr progress;
    std::FILE* file;
    const unsigned char* data;
    std::size_t size;
    MemoryImage32* image;
};

void bindSource(JpegJob& job) {
    if (job.file != nullptr) {
        jpeg_stdio_src(&job.decompressor, job.file);
    } else {
        setJpegMemorySource(&job.decompressor, job.data, job.size);
    }
}

bool readHeader(JpegJob& job) {
    jpeg_decompress_struct& decompressor = job.decompressor;
    jpeg_read_header(&decompressor, jpegTrue);
    if (decompressor.image_width > static_cast<JDIMENSION>(maxDecodedSide) ||
        decompressor.image_height > static_cast<JDIMENSION>(maxDecodedSide)) {
        return false;
    }
    // Greyscale files come out as RGB like the others; files the library cannot turn into RGB (CMYK) fail.
    decompressor.out_color_space = JCS_RGB;
    return true;
}

bool readRows(JpegJob& job) {
    jpeg_decompress_struct& decompressor = job.decompressor;
    const int width = static_cast<int>(decompressor.output_width);
    JSAMPARRAY row = (*decompressor.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&decompressor),
                                                       JPOOL_IMAGE, decompressor.output_width * 3, 1);
    std::uint32_t* pixels = job.image->pixels32();
    while (decompressor.output_scanline < decompressor.output_height) {
        const auto y = static_cast<std::size_t>(decompressor.output_scanline);
        // Neither source suspends, so no row means the library gave up.
        if (jpeg_read_scanlines(&decompressor, row, 1) != 1) {
            return false;
        }
        const JSAMPLE* rgb = row[0];
        std::uint32_t* target = pixels + y * static_cast<std::size_t>(width);
        for (int x = 0; x < width; ++x, rgb += 3) {
            target[x] = 0xFF000000u | std::uint32_t{rgb[0]} << 16 | std::uint32_t{rgb[1]} << 8 | rgb[2];
        }
    }
    return true;
}

bool decompress(JpegJob& job) {
    jpeg_decompress_struct& decompressor = job.decompressor;
    jpeg_create_decompress(&decompressor);
    decompressor.mem->max_memory_to_use = maxJpegWorkingMemory;
    decompressor.progress = &job.progress;
    bindSource(job);
    if (!readHeader(job)) {
        return false;
    }
    jpeg_start_decompress(&decompressor);
    if (decompressor.output_components != 3) {
        return false;
    }
    job.image = createImage32(static_cast<int>(decompressor.output_width),
                              static_cast<int>(decompressor.output_height));
    if (job.image == nullptr || !readRows(job)) {
        return false;
    }
    jpeg_finish_decompress(&decompressor);
    return true;
}

// Only the job, reached through a pointer, changes after setjmp here.
bool decompressUnderRecovery(JpegJob* job) {
    if (setjmp(job->errors.recovery) != 0) {
        return false;
    }
    return decompress(*job);
}

MemoryImage32* decode(JpegJob& job) {
    job.decompressor.err = jpeg_std_error(&job.errors.library);
    job.errors.library.error_exit = onError;
    job.errors.library.output_message = onMessage;
    job.progress.progress_monitor = onProgress;
    const bool done = decompressUnderRecovery(&job);
    // Safe whether or not creation got far: the job starts zeroed, and the library frees only what it made.
    jpeg_destroy_decompress(&job.decompressor);
    if (!done && job.image != nullptr) {
        job.image->destroySelf();
        job.image = nullptr;
    }
    return job.image;
}

} // namespace

MemoryImage32* loadJpegImage(const std::string& path) {
    std::FILE* file = host::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return nullptr;
    }
    JpegJob job{};
    job.file = file;
    MemoryImage32* image = decode(job);
    host::fclose(file);
    return image;
}

MemoryImage32* loadJpegImage(const void* data, std::size_t size) {
    if (data == nullptr) {
        return nullptr;
    }
    JpegJob job{};
    job.data = static_cast<const unsigned char*>(data);
    job.size = size;
    return decode(job);
}

MemoryImage32* loadJpegFile(const kernel::ZipArchive* source, const std::string& path) {
    if (source == nullptr || kernel::resolveFileMode(kernel::modeGlobal) == kernel::modeFile) {
        return loadJpegImage(path);
    }
    kernel::FileBuffer buffer;
    if (kernel::loadFile(path, buffer, kernel::modeGlobal) == kernel::LoadResult::Failed) {
        return nullptr;
    }
    return loadJpegImage(buffer.data(), buffer.size());
}

} // namespace graphics
