#include "engine/graphics/PngDecoder.h"

#include "engine/graphics/DecodeLimits.h"
#include "engine/graphics/ImageFactory.h"
#include "engine/graphics/PixelMemory.h"
#include "host/Files.h"

#include <png.h>

#include <csetjmp>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace graphics {
namespace {

constexpr std::size_t signatureBytes = 4;

// The data of one chunk, and a text or profile unpacked from one, may take this much: far more than the
// ancillary chunks of any picture the game ships need (and their contents are never used).
constexpr png_alloc_size_t maxChunkBytes = png_alloc_size_t{1} << 20;

// No block the library asks for may be larger. A chunk longer than the bound above is only a warning to the
// library, which goes on to ask for the length the file claims (512 MiB from a file of 46 bytes); refused
// here, the chunk is skipped (a plain text chunk ends the decoding: the library then loses its place in the
// file), and a claim beyond the end of the file ends the decoding. The library's own needs are far smaller:
// rows of a picture within the decode limits take 128 KiB. Making its warnings fatal instead would also
// refuse damaged but readable files: a malformed gamma chunk, surplus picture data.
constexpr png_alloc_size_t maxLibraryBlock = png_alloc_size_t{16} << 20;

png_voidp allocateBlock(png_structp, png_alloc_size_t size) {
    return size <= maxLibraryBlock ? std::malloc(size) : nullptr;
}

void freeBlock(png_structp, png_voidp block) {
    std::free(block);
}

bool hasPngSignature(const void* bytes) {
    return png_sig_cmp(static_cast<png_const_bytep>(bytes), 0, signatureBytes) == 0;
}

// The library's errors jump back to the decoder's recovery point instead of ending the program.
[[noreturn]] void onError(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}

// Warnings about damaged but readable files are not worth a line on the console of a running game.
void onWarning(png_structp, png_const_charp) {}

struct MemoryReader {
    const unsigned char* cursor;
    std::size_t remaining;
};

void readFromMemory(png_structp png, png_bytep target, std::size_t length) {
    auto* reader = static_cast<MemoryReader*>(png_get_io_ptr(png));
    // A file that claims more data than it holds is an error, not a read past the end of its buffer.
    if (length > reader->remaining) {
        png_error(png, "read past the end of the data");
    }
    std::memcpy(target, reader->cursor, length);
    reader->cursor += length;
    reader->remaining -= length;
}

// The shapes every row is brought to before conversion, named by bits per pixel.
enum class RowShape { Grey8, Palette8, Rgb24, Argb32 };

// What the decoding touches between setjmp and a possible longjmp lives outside the frame that calls
// setjmp, so its values are still defined after a jump back.
struct PngJob {
    png_structp png;
    png_infop info;
    std::FILE* file;
    MemoryReader memory;
    MemoryImage32* image;
    RowShape shape;
    int passes;
    png_colorp palette;
    int paletteSize;
    // A row as the library hands it over and the same row converted: for a file read in one pass.
    std::vector<unsigned char> row;
    std::vector<std::uint32_t> converted;
};

void bindSource(PngJob& job) {
    if (job.file != nullptr) {
        png_init_io(job.png, job.file);
    } else {
        png_set_read_fn(job.png, &job.memory, readFromMemory);
    }
}

// Every colour type and depth becomes 8 bits per sample (16-bit samples rounded to the nearest, not cut):
// grey, palette indices, RGB or alpha-first RGBA. Palette images keep their indices, so a transparency chunk
// is never applied to them.
void requestTransforms(PngJob& job) {
    png_structp png = job.png;
    const int colourType = png_get_color_type(png, job.info);
    const int depth = png_get_bit_depth(png, job.info);
    if (depth == 16) {
        png_set_scale_16(png);
    }
    if (depth < 8) {
        if (colourType == PNG_COLOR_TYPE_GRAY) {
            png_set_expand_gray_1_2_4_to_8(png);
        } else {
            png_set_packing(png);
        }
    }
    if (colourType == PNG_COLOR_TYPE_GRAY_ALPHA) {
        png_set_gray_to_rgb(png);
    }
    png_set_swap_alpha(png);
    job.passes = png_set_interlace_handling(png);
    png_read_update_info(png, job.info);
}

bool chooseShape(PngJob& job) {
    png_structp png = job.png;
    if (png_get_bit_depth(png, job.info) != 8) {
        return false;
    }
    switch (png_get_channels(png, job.info)) {
    case 1:
        if (png_get_color_type(png, job.info) != PNG_COLOR_TYPE_PALETTE) {
            job.shape = RowShape::Grey8;
            return true;
        }
        job.shape = RowShape::Palette8;
        return png_get_PLTE(png, job.info, &job.palette, &job.paletteSize) != 0 && job.paletteSize > 0;
    case 3:
        job.shape = RowShape::Rgb24;
        return true;
    case 4:
        job.shape = RowShape::Argb32;
        return true;
    default:
        return false;
    }
}

unsigned char* rowBytes(const MemoryImage32& image, int y) {
    return reinterpret_cast<unsigned char*>(image.pixels32() + image.pixelIndex(0, y));
}

constexpr std::uint32_t argb(std::uint32_t a, std::uint32_t r, std::uint32_t g, std::uint32_t b) {
    return a << 24 | r << 16 | g << 8 | b;
}

std::uint32_t convertPixel(const PngJob& job, const unsigned char* bytes) {
    switch (job.shape) {
    case RowShape::Grey8:
        return argb(0xFF, bytes[0], bytes[0], bytes[0]);
    case RowShape::Palette8: {
        // An index beyond the palette takes its last entry.
        const int index = bytes[0] < job.paletteSize ? bytes[0] : job.paletteSize - 1;
        const png_color& entry = job.palette[index];
        return argb(0xFF, entry.red, entry.green, entry.blue);
    }
    case RowShape::Rgb24:
        return argb(0xFF, bytes[0], bytes[1], bytes[2]);
    case RowShape::Argb32:
        break;
    }
    return argb(bytes[0], bytes[1], bytes[2], bytes[3]);
}

// From the last pixel back, so that it may run in place: a pixel's 4 bytes never reach the source bytes of
// a pixel before it.
void convertRow(const PngJob& job, const unsigned char* source, std::uint32_t* target) {
    const int bytesPerPixel = job.shape == RowShape::Argb32 ? 4 : job.shape == RowShape::Rgb24 ? 3 : 1;
    for (int x = job.image->getWidth() - 1; x >= 0; --x) {
        target[x] = convertPixel(job, source + static_cast<std::ptrdiff_t>(x) * bytesPerPixel);
    }
}

// A file read in one pass into pixels that read 0 until written goes a row at a time through the job's
// scratch rows, and only the bytes between a row's first and last non-zero ones reach the image: the clear
// margins of a large picture (the frames of a strip) are never written and take no memory. Otherwise the
// library writes its rows straight into the image's rows, which are wide enough for any shape, every pass
// of an interlaced file filling in its own pixels, and the rows are converted in place at the end.
void readRows(PngJob& job) {
    MemoryImage32& image = *job.image;
    const int height = image.getHeight();
    if (job.passes == 1 && image.hasUntouchedZeroPixels()) {
        const std::size_t width = static_cast<std::size_t>(image.getWidth());
        job.row.resize(width * 4);
        job.converted.resize(width);
        for (int y = 0; y < height; ++y) {
            png_read_row(job.png, job.row.data(), nullptr);
            convertRow(job, job.row.data(), job.converted.data());
            copyRowSkippingClearEnds(image.pixels32() + image.pixelIndex(0, y), job.converted.data(),
                                     width * 4);
        }
        // Here on the loader thread, not at the first draw.
        mapUnwrittenPages(image.pixels32(), width * 4 * static_cast<std::size_t>(height));
    } else {
        for (int pass = 0; pass < job.passes; ++pass) {
            for (int y = 0; y < height; ++y) {
                png_read_row(job.png, rowBytes(image, y), nullptr);
            }
        }
        for (int y = 0; y < height; ++y) {
            convertRow(job, rowBytes(image, y), image.pixels32() + image.pixelIndex(0, y));
        }
    }
    png_read_end(job.png, nullptr);
}

bool decompress(PngJob& job) {
    // Rejected by the library while it reads the header, before anything of the picture's size is made.
    png_set_user_limits(job.png, maxDecodedSide, maxDecodedSide);
    png_set_chunk_malloc_max(job.png, maxChunkBytes);
    bindSource(job);
    png_read_info(job.png, job.info);
    requestTransforms(job);
    if (!chooseShape(job)) {
        return false;
    }
    const png_uint_32 width = png_get_image_width(job.png, job.info);
    const png_uint_32 height = png_get_image_height(job.png, job.info);
    if (width == 0 || height == 0 || width > static_cast<png_uint_32>(maxDecodedSide) ||
        height > static_cast<png_uint_32>(maxDecodedSide) ||
        png_get_rowbytes(job.png, job.info) > std::size_t{width} * 4) {
        return false;
    }
    job.image = createImage32(static_cast<int>(width), static_cast<int>(height));
    if (job.image == nullptr) {
        return false;
    }
    readRows(job);
    return true;
}

// Only the job, reached through a pointer, changes after setjmp here.
bool decompressUnderRecovery(PngJob* job) {
    if (setjmp(png_jmpbuf(job->png)) != 0) {
        return false;
    }
    return decompress(*job);
}

MemoryImage32* decode(PngJob& job) {
    job.png = png_create_read_struct_2(PNG_LIBPNG_VER_STRING, nullptr, onError, onWarning, nullptr,
                                       allocateBlock, freeBlock);
    if (job.png == nullptr) {
        return nullptr;
    }
    job.info = png_create_info_struct(job.png);
    const bool done = job.info != nullptr && decompressUnderRecovery(&job);
    png_destroy_read_struct(&job.png, &job.info, nullptr);
    if (!done && job.image != nullptr) {
        job.image->destroySelf();
        job.image = nullptr;
    }
    return job.image;
}

} // namespace

MemoryImage32* loadPngImage(const std::string& path) {
    std::FILE* file = host::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return nullptr;
    }
    // A file shorter than the signature is not a PNG, rather than a comparison with bytes never read.
    unsigned char signature[signatureBytes] = {};
    MemoryImage32* image = nullptr;
    if (host::fread(signature, 1, signatureBytes, file) == signatureBytes && hasPngSignature(signature) &&
        host::fseek(file, 0, SEEK_SET) == 0) {
        PngJob job{};
        job.file = file;
        image = decode(job);
    }
    host::fclose(file);
    return image;
}

MemoryImage32* loadPngImageFromMemory(const void* data, std::size_t size) {
    if (data == nullptr || size < signatureBytes || !hasPngSignature(data)) {
        return nullptr;
    }
    PngJob job{};
    job.memory = {static_cast<const unsigned char*>(data), size};
    return decode(job);
}

} // namespace graphics
