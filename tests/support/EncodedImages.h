#pragma once
// PNG and JPEG files made in memory with the libraries' own writers, for decoder tests and fuzz seeds.

#include <png.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <jpeglib.h>

// The JPEG library's TRUE and FALSE macros would clash with the host layer's constants of those names.
#undef TRUE
#undef FALSE

namespace testsupport {

struct PngPicture {
    int width = 1;
    int height = 1;
    int colourType = PNG_COLOR_TYPE_GRAY;
    int bitDepth = 8;
    // width x height x channels samples, each below 2 to the bit depth; palette indices for palette types.
    std::vector<std::uint16_t> samples;
    std::vector<png_color> palette;
    // Palette types: one alpha per entry. Others: the first value is the transparent grey or red, green,
    // blue.
    std::vector<std::uint16_t> transparency;
    bool interlaced = false;
};

inline int pngChannels(int colourType) {
    switch (colourType) {
    case PNG_COLOR_TYPE_GRAY_ALPHA:
        return 2;
    case PNG_COLOR_TYPE_RGB:
        return 3;
    case PNG_COLOR_TYPE_RGB_ALPHA:
        return 4;
    default:
        return 1;
    }
}

namespace detail {

inline void appendBytes(png_structp png, png_bytep data, std::size_t length) {
    static_cast<std::string*>(png_get_io_ptr(png))->append(reinterpret_cast<const char*>(data), length);
}

inline void noFlush(png_structp) {}

// Samples packed as the file stores them: most significant bits first, 16-bit samples big-endian.
inline std::vector<png_byte> packRow(const PngPicture& picture, int y) {
    const int count = picture.width * pngChannels(picture.colourType);
    const int depth = picture.bitDepth;
    std::vector<png_byte> row((static_cast<std::size_t>(count) * depth + 7) / 8 + 1);
    for (int i = 0; i < count; ++i) {
        const std::uint16_t value = picture.samples[static_cast<std::size_t>(y) * count + i];
        if (depth == 16) {
            row[2 * i] = static_cast<png_byte>(value >> 8);
            row[2 * i + 1] = static_cast<png_byte>(value);
        } else {
            const int bit = i * depth;
            row[bit / 8] |= static_cast<png_byte>(value << (8 - depth - bit % 8));
        }
    }
    return row;
}

} // namespace detail

inline std::string encodePng(const PngPicture& picture) {
    std::string bytes;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(png, &bytes, detail::appendBytes, detail::noFlush);
    // Out-of-range palette indices are written on purpose by some tests.
    png_set_check_for_invalid_index(png, 0);
    png_set_IHDR(png, info, static_cast<png_uint_32>(picture.width), static_cast<png_uint_32>(picture.height),
                 picture.bitDepth, picture.colourType,
                 picture.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (!picture.palette.empty()) {
        png_set_PLTE(png, info, picture.palette.data(), static_cast<int>(picture.palette.size()));
    }
    if (!picture.transparency.empty()) {
        if (picture.colourType == PNG_COLOR_TYPE_PALETTE) {
            std::vector<png_byte> alphas(picture.transparency.begin(), picture.transparency.end());
            png_set_tRNS(png, info, alphas.data(), static_cast<int>(alphas.size()), nullptr);
        } else {
            png_color_16 colour{};
            colour.gray = colour.red = colour.green = colour.blue = picture.transparency[0];
            png_set_tRNS(png, info, nullptr, 0, &colour);
        }
    }
    std::vector<std::vector<png_byte>> rows;
    std::vector<png_bytep> rowPointers;
    for (int y = 0; y < picture.height; ++y) {
        rows.push_back(detail::packRow(picture, y));
    }
    for (auto& row : rows) {
        rowPointers.push_back(row.data());
    }
    png_set_rows(png, info, rowPointers.data());
    png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
    png_destroy_write_struct(&png, &info);
    return bytes;
}

// The signature and header of a 1 x 1 grey picture, then a compressed text chunk that claims `length` bytes
// and holds a few: a damaged or hostile file's claim that the decoder must not take at its word.
inline std::string pngClaimingChunk(std::uint32_t length) {
    PngPicture picture;
    picture.samples = {0};
    std::string bytes = encodePng(picture).substr(0, 8 + 25);
    for (int shift = 24; shift >= 0; shift -= 8) {
        bytes += static_cast<char>(length >> shift & 0xFF);
    }
    return bytes + "zTXt" + std::string("k\0\0", 3) + std::string(40, 'x');
}

struct JpegPicture {
    int width = 1;
    int height = 1;
    // 1 (grey), 3 (RGB) or 4 (CMYK).
    int components = 3;
    std::vector<std::uint8_t> samples;
    int quality = 95;
    bool progressive = false;
    // A progressive scan script of the caller's own, instead of the library's.
    std::vector<jpeg_scan_info> scans;
    // Written as a comment marker: pads a file to a chosen size.
    std::string comment;
};

inline std::string encodeJpeg(const JpegPicture& picture) {
    jpeg_compress_struct compressor{};
    jpeg_error_mgr errors{};
    compressor.err = jpeg_std_error(&errors);
    jpeg_create_compress(&compressor);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&compressor, &buffer, &size);
    compressor.image_width = static_cast<JDIMENSION>(picture.width);
    compressor.image_height = static_cast<JDIMENSION>(picture.height);
    compressor.input_components = picture.components;
    compressor.in_color_space = picture.components == 1   ? JCS_GRAYSCALE
                                : picture.components == 4 ? JCS_CMYK
                                                          : JCS_RGB;
    jpeg_set_defaults(&compressor);
    jpeg_set_quality(&compressor, picture.quality, 1);
    if (picture.progressive) {
        jpeg_simple_progression(&compressor);
    }
    if (!picture.scans.empty()) {
        compressor.scan_info = picture.scans.data();
        compressor.num_scans = static_cast<int>(picture.scans.size());
    }
    jpeg_start_compress(&compressor, 1);
    if (!picture.comment.empty()) {
        jpeg_write_marker(&compressor, JPEG_COM, reinterpret_cast<const JOCTET*>(picture.comment.data()),
                          static_cast<unsigned int>(picture.comment.size()));
    }
    const std::size_t rowSize = static_cast<std::size_t>(picture.width) * picture.components;
    std::vector<JSAMPLE> row(rowSize);
    while (compressor.next_scanline < compressor.image_height) {
        const std::uint8_t* source = picture.samples.data() + compressor.next_scanline * rowSize;
        row.assign(source, source + rowSize);
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&compressor, rows, 1);
    }
    jpeg_finish_compress(&compressor);
    jpeg_destroy_compress(&compressor);
    std::string bytes(reinterpret_cast<const char*>(buffer), size);
    std::free(buffer);
    return bytes;
}

} // namespace testsupport
