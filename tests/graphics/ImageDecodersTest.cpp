#include "engine/graphics/JpegDecoder.h"
#include "engine/graphics/JpegMemorySource.h"
#include "engine/graphics/PngDecoder.h"
#include "engine/kernel/SmartPtr.h"

#include "EncodedImages.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>

#include <sys/wait.h>
#include <unistd.h>

using namespace graphics;
using kernel::SmartPtr;
using testsupport::JpegPicture;
using testsupport::PngPicture;

namespace {

using Image = SmartPtr<MemoryImage32>;

std::uint16_t sampleAt(int x, int y, int channel, int depth) {
    std::uint32_t v = (x * 73856093u) ^ (y * 19349663u) ^ (channel * 83492791u);
    v ^= v >> 13;
    return static_cast<std::uint16_t>(v & ((1u << depth) - 1));
}

struct PngCase {
    const char* name;
    int colourType;
    int depth;
    int paletteSize = 0;
    bool transparency = false;
    bool interlaced = false;
};

constexpr int G = PNG_COLOR_TYPE_GRAY, GA = PNG_COLOR_TYPE_GRAY_ALPHA, RGB = PNG_COLOR_TYPE_RGB,
              RGBA = PNG_COLOR_TYPE_RGB_ALPHA, P = PNG_COLOR_TYPE_PALETTE;

// clang-format off
const PngCase pngCases[] = {
    {"grey 1", G, 1}, {"grey 2", G, 2}, {"grey 4", G, 4}, {"grey 8", G, 8}, {"grey 16", G, 16},
    {"grey+alpha 8", GA, 8}, {"grey+alpha 16", GA, 16}, {"rgb 8", RGB, 8}, {"rgb 16", RGB, 16},
    {"rgba 8", RGBA, 8}, {"rgba 16", RGBA, 16},
    {"palette 1", P, 1, 2}, {"palette 2", P, 2, 4}, {"palette 4", P, 4, 16}, {"palette 8", P, 8, 256},
    {"palette with tRNS", P, 8, 256, true}, {"grey with tRNS", G, 8, 0, true},
    {"rgb with tRNS", RGB, 8, 0, true}, {"palette index beyond", P, 4, 5},
    {"grey 1 interlaced", G, 1, 0, false, true}, {"rgba 16 interlaced", RGBA, 16, 0, false, true},
    {"palette 2 interlaced", P, 2, 3, false, true},
};
// clang-format on

PngPicture pictureFor(const PngCase& c, int width = 13, int height = 9) {
    PngPicture picture;
    picture.width = width;
    picture.height = height;
    picture.colourType = c.colourType;
    picture.bitDepth = c.depth;
    picture.interlaced = c.interlaced;
    const int channels = testsupport::pngChannels(c.colourType);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            for (int ch = 0; ch < channels; ++ch) {
                picture.samples.push_back(sampleAt(x, y, ch, c.depth));
            }
        }
    }
    for (int i = 0; i < c.paletteSize; ++i) {
        picture.palette.push_back({static_cast<png_byte>(i * 7), static_cast<png_byte>(255 - i),
                                   static_cast<png_byte>(i * 13 + 1)});
    }
    if (c.transparency) {
        // Every palette entry fully transparent; for the other types the colour of the first pixel.
        picture.transparency.assign(c.colourType == P ? c.paletteSize : 1, 0);
        if (c.colourType != P) {
            picture.transparency[0] = picture.samples[0];
        }
    }
    return picture;
}

// What the decoder must make of a sample: 16-bit samples are rounded to the nearest 8-bit value, grey
// below 8 bits is stretched to 0..255, palette indices stay indices.
std::uint32_t to8(std::uint16_t value, int depth, bool index) {
    if (depth == 16) {
        return (value * 255u + 32767u) / 65535u;
    }
    return index || depth == 8 ? value : value * 255u / ((1u << depth) - 1);
}

std::uint32_t expectedPixel(const PngPicture& picture, int x, int y) {
    const int channels = testsupport::pngChannels(picture.colourType);
    const auto* s = &picture.samples[(static_cast<std::size_t>(y) * picture.width + x) * channels];
    auto v = [&](int ch) { return to8(s[ch], picture.bitDepth, picture.colourType == P); };
    auto argb = [](std::uint32_t a, std::uint32_t r, std::uint32_t g, std::uint32_t b) {
        return a << 24 | r << 16 | g << 8 | b;
    };
    switch (picture.colourType) {
    case G:
        return argb(0xFF, v(0), v(0), v(0));
    case GA:
        return argb(v(1), v(0), v(0), v(0));
    case RGB:
        return argb(0xFF, v(0), v(1), v(2));
    case RGBA:
        return argb(v(3), v(0), v(1), v(2));
    default: {
        const auto& entry = picture.palette[std::min<std::size_t>(v(0), picture.palette.size() - 1)];
        return argb(0xFF, entry.red, entry.green, entry.blue);
    }
    }
}

// The image has the size, alpha mode off and every pixel's channels within tolerance of expected(x, y).
template <class Expected>
void expectPixels(const Image& image, int width, int height, Expected expected, int tolerance = 0) {
    ASSERT_TRUE(image);
    ASSERT_EQ(image->getWidth(), width);
    ASSERT_EQ(image->getHeight(), height);
    EXPECT_EQ(image->referenceCount(), 1);
    EXPECT_FALSE(image->getAlphaMode());
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::uint32_t got = image->pixels32()[image->pixelIndex(x, y)], want = expected(x, y);
            for (int shift = 0; shift < 32; shift += 8) {
                ASSERT_NEAR(static_cast<int>(got >> shift & 0xFF), static_cast<int>(want >> shift & 0xFF),
                            tolerance)
                    << "at " << x << "," << y;
            }
        }
    }
}

void expectPixels(const Image& image, const PngPicture& picture) {
    expectPixels(image, picture.width, picture.height,
                 [&](int x, int y) { return expectedPixel(picture, x, y); });
}

Image pngFromMemory(const std::string& bytes) {
    return Image(loadPngImageFromMemory(bytes.data(), bytes.size()));
}

Image jpegFromMemory(const std::string& bytes) {
    return Image(loadJpegImage(bytes.data(), bytes.size()));
}

JpegPicture jpegPicture(int width, int height, int components) {
    JpegPicture picture;
    picture.width = width;
    picture.height = height;
    picture.components = components;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const int ramps[] = {x * 255 / std::max(1, width - 1), y * 255 / std::max(1, height - 1), 160,
                                 160};
            picture.samples.insert(picture.samples.end(), ramps, ramps + components);
        }
    }
    return picture;
}

TEST(PngDecoder, DecodesEveryColourTypeAndDepthFromFileAndMemory) {
    testsupport::TempDir dir;
    // Quietly: an index beyond the palette makes the library warn.
    testing::internal::CaptureStderr();
    for (const PngCase& c : pngCases) {
        SCOPED_TRACE(c.name);
        const PngPicture picture = pictureFor(c);
        const std::string bytes = testsupport::encodePng(picture);
        expectPixels(pngFromMemory(bytes), picture);
        expectPixels(Image(loadPngImage(dir.write("picture.png", bytes))), picture);
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

// Cutting to the high byte would make 0x10 of 0x10FF, a whole step darker than the sample.
TEST(PngDecoder, SixteenBitSamplesRoundToTheNearest) {
    PngPicture picture = pictureFor({"", G, 16}, 4, 1);
    picture.samples = {0x10FF, 0x80FF, 0x00FF, 0xFF7F};
    const Image image = pngFromMemory(testsupport::encodePng(picture));
    ASSERT_TRUE(image);
    std::vector<std::uint32_t> greys;
    for (int x = 0; x < 4; ++x) {
        greys.push_back(image->pixels32()[x] & 0xFF);
    }
    EXPECT_EQ(greys, (std::vector<std::uint32_t>{0x11, 0x80, 0x01, 0xFF}));
}

// How far the peak address space of a process grows while it decodes the bytes, in MiB up to 255. Measured
// in a child process, which starts with its size at that moment as its peak.
int peakGrowthWhileDecoding(const std::string& bytes) {
    const auto peakKiB = [] {
        std::ifstream status("/proc/self/status");
        std::string word;
        while (status >> word && word != "VmPeak:") {
        }
        long kib = 0;
        status >> kib;
        return kib;
    };
    const pid_t child = fork();
    if (child == 0) {
        const long before = peakKiB();
        Image(loadPngImageFromMemory(bytes.data(), bytes.size()));
        _exit(static_cast<int>(std::min<long>((peakKiB() - before) / 1024, 255)));
    }
    int status = 0;
    return child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A 46-byte file whose text chunk claims 512 MiB must not make the library ask for them.
TEST(PngDecoder, ChunkLengthsAreNotTakenAtTheirWord) {
    const std::string hostile = testsupport::pngClaimingChunk(512u << 20);
    EXPECT_FALSE(pngFromMemory(hostile));
    const int growth = peakGrowthWhileDecoding(hostile);
    EXPECT_GE(growth, 0);
    EXPECT_LT(growth, 32);

    // A chunk that is merely long is skipped: the picture still decodes.
    std::string picture = testsupport::encodePng(pictureFor({"", RGB, 8}));
    std::string text(6 << 20, 'x');
    text[1] = '\0';
    std::string chunk;
    for (int shift = 24; shift >= 0; shift -= 8) {
        chunk += static_cast<char>(text.size() >> shift & 0xFF);
    }
    chunk += "tEXt" + text + "crc!";
    picture.insert(8 + 25, chunk);
    expectPixels(pngFromMemory(picture), pictureFor({"", RGB, 8}));
}

TEST(PngDecoder, RefusesSizesBeyondTheLimit) {
    const struct {
        int width, height;
        bool decodes;
    } cases[] = {{16384, 1, true}, {16385, 1, false}, {1, 16385, false}, {100000, 1, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.width);
        const std::string bytes = testsupport::encodePng(pictureFor({"", G, 1}, c.width, c.height));
        EXPECT_EQ(static_cast<bool>(pngFromMemory(bytes)), c.decodes);
    }
}

TEST(PngDecoder, BadInputGivesNullQuietly) {
    const std::string good = testsupport::encodePng(pictureFor({"", RGBA, 8}));
    std::string badHeader = good, badData = good;
    badHeader[20] ^= 0x40;            // inside IHDR: its checksum no longer matches
    badData[good.size() / 2] ^= 0x55; // inside the picture data
    // clang-format off
    const std::string cases[] = {badHeader, badData, good.substr(0, good.size() / 2), good.substr(0, 8),
                                 good.substr(0, 3), good.substr(0, 4) + std::string(200, 'x'),
                                 testsupport::encodeJpeg(jpegPicture(4, 4, 3)), ""};
    // clang-format on
    testsupport::TempDir dir;
    testing::internal::CaptureStderr();
    for (const std::string& bytes : cases) {
        SCOPED_TRACE(bytes.size());
        EXPECT_FALSE(pngFromMemory(bytes));
        EXPECT_FALSE(Image(loadPngImage(dir.write("bad.png", bytes))));
    }
    EXPECT_FALSE(Image(loadPngImageFromMemory(nullptr, 100)));
    EXPECT_FALSE(Image(loadPngImage(dir.file("missing.png"))));
    EXPECT_FALSE(Image(loadPngImage(dir.path().string())));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

// Lossy: each channel within a small distance of the original, alpha opaque, grey stays grey.
void expectNearPicture(const Image& image, const JpegPicture& picture) {
    expectPixels(
        image, picture.width, picture.height,
        [&](int x, int y) {
            const auto* s =
                &picture.samples[(static_cast<std::size_t>(y) * picture.width + x) * picture.components];
            const int g = picture.components == 1 ? 0 : 1, b = picture.components == 1 ? 0 : 2;
            return 0xFF000000u | std::uint32_t{s[0]} << 16 | std::uint32_t{s[g]} << 8 | s[b];
        },
        10);
}

TEST(JpegDecoder, DecodesColourAndGreyFromFileAndMemory) {
    testsupport::TempDir dir;
    for (int components : {3, 1}) {
        for (bool progressive : {false, true}) {
            SCOPED_TRACE(components * 10 + progressive);
            JpegPicture picture = jpegPicture(29, 17, components);
            picture.progressive = progressive;
            const std::string bytes = testsupport::encodeJpeg(picture);
            expectNearPicture(jpegFromMemory(bytes), picture);
            expectNearPicture(Image(loadJpegImage(dir.write("picture.jpg", bytes))), picture);
            expectNearPicture(Image(loadJpegFile(nullptr, dir.file("picture.jpg"))), picture);
        }
    }
}

TEST(JpegDecoder, MemorySourceHandsOverBlocksThenEndMarkers) {
    std::string data(10000, '\0');
    for (std::size_t i = 0; i < data.size(); ++i) {
        data[i] = static_cast<char>(i * 31);
    }
    jpeg_decompress_struct decompressor{};
    jpeg_error_mgr errors{};
    decompressor.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&decompressor);
    const auto* bytes = reinterpret_cast<const unsigned char*>(data.data());
    setJpegMemorySource(&decompressor, bytes, data.size());
    jpeg_source_mgr* source = decompressor.src;
    source->init_source(&decompressor);
    std::string handedOver;
    std::vector<std::size_t> blocks;
    for (int i = 0; i < 5; ++i) {
        ASSERT_TRUE(source->fill_input_buffer(&decompressor));
        blocks.push_back(source->bytes_in_buffer);
        handedOver.append(reinterpret_cast<const char*>(source->next_input_byte), source->bytes_in_buffer);
    }
    EXPECT_EQ(blocks, (std::vector<std::size_t>{4096, 4096, 1808, 2, 2}));
    EXPECT_EQ(handedOver, data + "\xFF\xD9\xFF\xD9");

    // Skips within the block move through it; a skip past the end of the data stops there.
    setJpegMemorySource(&decompressor, bytes, data.size());
    EXPECT_EQ(decompressor.src, source);
    source->fill_input_buffer(&decompressor);
    source->skip_input_data(&decompressor, 100);
    EXPECT_EQ(source->bytes_in_buffer, 3996u);
    EXPECT_EQ(source->next_input_byte[0], bytes[100]);
    source->skip_input_data(&decompressor, 5000);
    EXPECT_EQ(source->bytes_in_buffer, 0u);
    source->fill_input_buffer(&decompressor);
    EXPECT_EQ(source->bytes_in_buffer, 4096u);
    EXPECT_EQ(source->next_input_byte[0], bytes[5100]);
    source->skip_input_data(&decompressor, 1L << 30);
    source->fill_input_buffer(&decompressor);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(source->next_input_byte), source->bytes_in_buffer),
              "\xFF\xD9");
    jpeg_destroy_decompress(&decompressor);
}

TEST(JpegDecoder, DecodesAFileSpanningSeveralBlocks) {
    JpegPicture picture = jpegPicture(40, 30, 3);
    const std::size_t plain = testsupport::encodeJpeg(picture).size();
    ASSERT_LT(plain + 4, 10000u);
    picture.comment.assign(10000 - plain - 4, 'c'); // the marker and its length take 4 bytes
    const std::string bytes = testsupport::encodeJpeg(picture);
    ASSERT_EQ(bytes.size(), 10000u);
    expectNearPicture(jpegFromMemory(bytes), picture);
}

TEST(JpegDecoder, TruncatedDataStillEnds) {
    const JpegPicture picture = jpegPicture(64, 48, 3);
    const std::string bytes = testsupport::encodeJpeg(picture);
    testsupport::TempDir dir;
    testing::internal::CaptureStderr();
    // Cut inside the picture data, which follows the start-of-scan marker.
    const std::size_t scan = bytes.find("\xFF\xDA");
    for (std::size_t keep : {scan + (bytes.size() - scan) * 3 / 4, scan + (bytes.size() - scan) / 4}) {
        SCOPED_TRACE(keep);
        for (const Image& image : {jpegFromMemory(bytes.substr(0, keep)),
                                   Image(loadJpegImage(dir.write("cut.jpg", bytes.substr(0, keep))))}) {
            ASSERT_TRUE(image);
            EXPECT_EQ(image->getWidth(), 64);
            EXPECT_EQ(image->getHeight(), 48);
            EXPECT_NEAR(static_cast<int>(image->pixels32()[8] >> 16 & 0xFF), picture.samples[8 * 3], 10);
        }
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST(JpegDecoder, BadInputGivesNullQuietly) {
    const std::string good = testsupport::encodeJpeg(jpegPicture(16, 16, 3));
    std::string badMarkers = good.substr(0, 2) + std::string(300, '\x11');
    const std::string wide = testsupport::encodeJpeg(jpegPicture(16385, 1, 1));
    const std::string tall = testsupport::encodeJpeg(jpegPicture(1, 16385, 1));
    const std::string cmyk = testsupport::encodeJpeg(jpegPicture(8, 8, 4));
    const std::string png = testsupport::encodePng(pictureFor({"", G, 8}));
    const std::string cases[] = {badMarkers, good.substr(0, 3), wide, tall, cmyk, png, "", "\xFF\xD8"};
    testsupport::TempDir dir;
    testing::internal::CaptureStderr();
    for (const std::string& bytes : cases) {
        SCOPED_TRACE(bytes.size());
        EXPECT_FALSE(jpegFromMemory(bytes));
        EXPECT_FALSE(Image(loadJpegImage(dir.write("bad.jpg", bytes))));
    }
    EXPECT_FALSE(Image(loadJpegImage(nullptr, 10)));
    EXPECT_FALSE(Image(loadJpegImage(dir.file("missing.jpg"))));
    EXPECT_FALSE(Image(loadJpegFile(nullptr, dir.file("missing.jpg"))));
    EXPECT_FALSE(Image(loadJpegImage(dir.path().string())));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_TRUE(jpegFromMemory(testsupport::encodeJpeg(jpegPicture(16384, 1, 1))));
}

// One grey DC scan, then each AC coefficient alone, sent at reduced precision and refined bit by bit:
// 1 + 63 x (bits + 1) scans.
std::vector<jpeg_scan_info> scanScript(int bits) {
    std::vector<jpeg_scan_info> scans{{1, {0}, 0, 0, 0, 0}};
    for (int k = 1; k < 64; ++k) {
        scans.push_back({1, {0}, k, k, 0, bits});
        for (int a = bits; a > 0; --a) {
            scans.push_back({1, {0}, k, k, a, a - 1});
        }
    }
    return scans;
}

TEST(JpegDecoder, RefusesAnAbsurdNumberOfScans) {
    for (const auto& [bits, decodes] : {std::pair{6, true}, std::pair{8, false}}) {
        SCOPED_TRACE(scanScript(bits).size());
        JpegPicture picture = jpegPicture(32, 16, 1);
        picture.scans = scanScript(bits);
        EXPECT_EQ(static_cast<bool>(jpegFromMemory(testsupport::encodeJpeg(picture))), decodes);
    }
}

} // namespace
