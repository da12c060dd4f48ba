#include "tools/mkmedia/ImageFiles.h"

#include "tools/mkmedia/OutputFile.h"

#include <jpeglib.h>
#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>

namespace mkmedia {

namespace {

std::uint8_t byteAt(std::uint32_t pixel, int shift) {
    return static_cast<std::uint8_t>((pixel >> shift) & 0xFF);
}

const std::uint32_t* rowOf(const graphics::MemoryImage32& image, int y) {
    return image.pixels32() + image.pixelIndex(0, y);
}

// ---- PNG ----

void appendPngBytes(png_structp png, png_bytep data, png_size_t length) {
    auto* bytes = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
    bytes->insert(bytes->end(), data, data + length);
}

void flushNothing(png_structp) {}

// libpng reports errors by longjmp; the message is kept for the caller.
void pngFailed(png_structp png, png_const_charp message) {
    auto* error = static_cast<std::string*>(png_get_error_ptr(png));
    *error = std::string("PNG encoder: ") + message;
    png_longjmp(png, 1);
}

void pngWarning(png_structp, png_const_charp) {}

// One image row as bytes in red, green, blue order, with the alpha byte after them when asked for.
std::vector<std::uint8_t> packedRow(const graphics::MemoryImage32& image, int y, bool withAlpha) {
    const std::size_t channels = withAlpha ? 4 : 3;
    std::vector<std::uint8_t> row(static_cast<std::size_t>(image.getWidth()) * channels);
    const std::uint32_t* pixels = rowOf(image, y);
    for (int x = 0; x < image.getWidth(); ++x) {
        std::uint8_t* out = &row[static_cast<std::size_t>(x) * channels];
        out[0] = byteAt(pixels[x], 16);
        out[1] = byteAt(pixels[x], 8);
        out[2] = byteAt(pixels[x], 0);
        if (withAlpha) {
            out[3] = byteAt(pixels[x], 24);
        }
    }
    return row;
}

std::vector<std::uint8_t> rgbaRow(const graphics::MemoryImage32& image, int y) {
    return packedRow(image, y, true);
}

// Kept apart from encodePng so no object with a destructor lives in the frame that setjmp returns into.
bool writePngRows(png_structp png, png_infop info, const graphics::MemoryImage32& image,
                  std::vector<std::vector<std::uint8_t>>& rows) {
    if (setjmp(png_jmpbuf(png)) != 0) {
        return false;
    }
    png_set_IHDR(png, info, static_cast<png_uint_32>(image.getWidth()),
                 static_cast<png_uint_32>(image.getHeight()), 8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    // Beyond 6 zlib spends seconds on the long strips of like frames for a few percent of size.
    png_set_compression_level(png, 6);
    png_write_info(png, info);
    for (std::vector<std::uint8_t>& row : rows) {
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    return true;
}

// ---- JPEG ----

struct JpegFailure {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
    std::string* error;
};

void jpegFailed(j_common_ptr info) {
    auto* failure = reinterpret_cast<JpegFailure*>(info->err);
    char message[JMSG_LENGTH_MAX];
    (*info->err->format_message)(info, message);
    *failure->error = std::string("JPEG encoder: ") + message;
    std::longjmp(failure->jump, 1);
}

std::vector<std::uint8_t> rgbRow(const graphics::MemoryImage32& image, int y) {
    return packedRow(image, y, false);
}

bool compressJpeg(jpeg_compress_struct& info, JpegFailure& failure,
                  std::vector<std::vector<std::uint8_t>>& rows, int quality, unsigned char** buffer,
                  unsigned long* size) {
    if (setjmp(failure.jump) != 0) {
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, buffer, size);
    info.image_width = static_cast<JDIMENSION>(rows.empty() ? 0 : rows.front().size() / 3);
    info.image_height = static_cast<JDIMENSION>(rows.size());
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    // Integer DCT: the floating-point one may differ between machines, and the output must not.
    info.dct_method = JDCT_ISLOW;
    jpeg_start_compress(&info, TRUE);
    for (std::vector<std::uint8_t>& row : rows) {
        JSAMPROW line = row.data();
        jpeg_write_scanlines(&info, &line, 1);
    }
    jpeg_finish_compress(&info);
    return true;
}

// ---- BMP ----

void put16(std::vector<std::uint8_t>& bytes, std::uint32_t value) {
    bytes.push_back(static_cast<std::uint8_t>(value));
    bytes.push_back(static_cast<std::uint8_t>(value >> 8));
}

void put32(std::vector<std::uint8_t>& bytes, std::uint32_t value) {
    put16(bytes, value & 0xFFFF);
    put16(bytes, value >> 16);
}

std::string lowerExtension(const std::filesystem::path& path) {
    std::string extension = path.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}

} // namespace

bool encodePng(const graphics::MemoryImage32& image, std::vector<std::uint8_t>& bytes, std::string& error) {
    std::vector<std::vector<std::uint8_t>> rows;
    for (int y = 0; y < image.getHeight(); ++y) {
        rows.push_back(rgbaRow(image, y));
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &error, pngFailed, pngWarning);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    if (info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        error = "PNG encoder: out of memory";
        return false;
    }
    png_set_write_fn(png, &bytes, appendPngBytes, flushNothing);
    bytes.clear();
    const bool written = writePngRows(png, info, image, rows);
    png_destroy_write_struct(&png, &info);
    return written;
}

bool encodeJpeg(const graphics::MemoryImage32& image, int quality, std::vector<std::uint8_t>& bytes,
                std::string& error) {
    std::vector<std::vector<std::uint8_t>> rows;
    for (int y = 0; y < image.getHeight(); ++y) {
        rows.push_back(rgbRow(image, y));
    }
    jpeg_compress_struct info{};
    JpegFailure failure{};
    failure.error = &error;
    info.err = jpeg_std_error(&failure.manager);
    failure.manager.error_exit = jpegFailed;
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    const bool written = compressJpeg(info, failure, rows, quality, &buffer, &size);
    jpeg_destroy_compress(&info);
    if (written) {
        bytes.assign(buffer, buffer + size);
    }
    std::free(buffer);
    return written;
}

std::vector<std::uint8_t> encodeBmp(const graphics::MemoryImage32& image) {
    constexpr std::uint32_t fileHeader = 14;
    constexpr std::uint32_t infoHeader = 108;
    const auto width = static_cast<std::uint32_t>(image.getWidth());
    const auto height = static_cast<std::uint32_t>(image.getHeight());
    const std::uint32_t pixelBytes = width * height * 4;
    std::vector<std::uint8_t> bytes;
    bytes.push_back('B');
    bytes.push_back('M');
    put32(bytes, fileHeader + infoHeader + pixelBytes);
    put32(bytes, 0);
    put32(bytes, fileHeader + infoHeader);
    put32(bytes, infoHeader);
    put32(bytes, width);
    put32(bytes, height);
    put16(bytes, 1);
    put16(bytes, 32);
    put32(bytes, 3); // BI_BITFIELDS: the masks below say where each channel lies
    put32(bytes, pixelBytes);
    put32(bytes, 2835); // 72 dpi
    put32(bytes, 2835);
    put32(bytes, 0);
    put32(bytes, 0);
    put32(bytes, 0x00FF0000);
    put32(bytes, 0x0000FF00);
    put32(bytes, 0x000000FF);
    put32(bytes, 0xFF000000);
    put32(bytes, 0x73524742);                 // "sRGB"
    bytes.resize(fileHeader + infoHeader, 0); // the colour end points and gammas, unused for sRGB
    for (int y = image.getHeight() - 1; y >= 0; --y) {
        const std::uint32_t* pixels = rowOf(image, y);
        for (int x = 0; x < image.getWidth(); ++x) {
            put32(bytes, pixels[x]);
        }
    }
    return bytes;
}

bool writeImageFile(const std::filesystem::path& path, const graphics::MemoryImage32& image,
                    std::string& error) {
    const std::string extension = lowerExtension(path);
    std::vector<std::uint8_t> bytes;
    if (extension == ".png") {
        if (!encodePng(image, bytes, error)) {
            return false;
        }
    } else if (extension == ".jpg" || extension == ".jpeg") {
        constexpr int quality = 90;
        if (!encodeJpeg(image, quality, bytes, error)) {
            return false;
        }
    } else if (extension == ".bmp") {
        bytes = encodeBmp(image);
    } else {
        error = "no picture format for the extension \"" + extension + "\"";
        return false;
    }
    return writeFileAtomically(path, bytes, error);
}

} // namespace mkmedia
