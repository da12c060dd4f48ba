// Writes the fuzz targets' first inputs into the folder given: small pictures of each kind the decoders take
// (decoders/) and bitmap font format files (font/).

#include "EncodedImages.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

using testsupport::JpegPicture;
using testsupport::PngPicture;

namespace {

bool writeFile(const std::string& path, const std::string& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

PngPicture pngPicture(int colourType, int depth, bool interlaced, int paletteSize, bool transparency) {
    PngPicture picture;
    picture.width = 11;
    picture.height = 7;
    picture.colourType = colourType;
    picture.bitDepth = depth;
    picture.interlaced = interlaced;
    const int count = picture.width * picture.height * testsupport::pngChannels(colourType);
    for (int i = 0; i < count; ++i) {
        picture.samples.push_back(static_cast<std::uint16_t>((i * 2654435761u >> 7) & ((1u << depth) - 1)));
    }
    for (int i = 0; i < paletteSize; ++i) {
        picture.palette.push_back(
            {static_cast<png_byte>(i * 40), static_cast<png_byte>(255 - i * 16), static_cast<png_byte>(i)});
    }
    if (transparency) {
        picture.transparency.assign(colourType == PNG_COLOR_TYPE_PALETTE ? paletteSize : 1, 7);
    }
    return picture;
}

std::string fontFormat(const std::string& info, const std::string& glyphs) {
    return "<Font><Node id=\"charsetinfo\" " + info + "/><Vector id=\"charset\">" + glyphs +
           "</Vector></Font>";
}

JpegPicture jpegPicture(int components, bool progressive) {
    JpegPicture picture;
    picture.width = 19;
    picture.height = 13;
    picture.components = components;
    picture.progressive = progressive;
    picture.quality = 75;
    for (int i = 0; i < picture.width * picture.height * components; ++i) {
        picture.samples.push_back(static_cast<std::uint8_t>(i * 7));
    }
    return picture;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s folder\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    const struct {
        const char* name;
        std::string bytes;
    } seeds[] = {
        {"decoders/grey1-interlaced.png", encodePng(pngPicture(PNG_COLOR_TYPE_GRAY, 1, true, 0, false))},
        {"decoders/grey16-trns.png", encodePng(pngPicture(PNG_COLOR_TYPE_GRAY, 16, false, 0, true))},
        {"decoders/grey-alpha8.png", encodePng(pngPicture(PNG_COLOR_TYPE_GRAY_ALPHA, 8, false, 0, false))},
        {"decoders/rgb8.png", encodePng(pngPicture(PNG_COLOR_TYPE_RGB, 8, false, 0, false))},
        {"decoders/rgba16-interlaced.png",
         encodePng(pngPicture(PNG_COLOR_TYPE_RGB_ALPHA, 16, true, 0, false))},
        {"decoders/palette4-trns.png", encodePng(pngPicture(PNG_COLOR_TYPE_PALETTE, 4, false, 11, true))},
        {"decoders/colour.jpg", encodeJpeg(jpegPicture(3, false))},
        {"decoders/grey.jpg", encodeJpeg(jpegPicture(1, false))},
        {"decoders/progressive.jpg", encodeJpeg(jpegPicture(3, true))},
        {"font/plain.xml",
         fontFormat(R"(sidepad="1" toppad="2" bottompad="1" charspacing="1" spacewidth="4" baseline="6")",
                    R"(<Node id="A" x="0" y="0" w="5" h="7" width="6" offsetx="1"/>)"
                    R"(<Node id="g" x="5" y="1" w="4" h="7" width="5"/>)")},
        {"font/odd.xml", fontFormat(R"(lineheight="#10" spacewidth="-2")",
                                    R"(<Node id="&quot;" x="#c" y="-3" w="40" h="90" width="4"/>)"
                                    R"(<Integer id="x">4</Integer><Node id="" w="1" h="1"/>)")},
    };
    for (const char* part : {"decoders", "font"}) {
        std::error_code ignored;
        std::filesystem::create_directories(folder + "/" + part, ignored);
    }
    for (const auto& seed : seeds) {
        if (!writeFile(folder + "/" + seed.name, seed.bytes)) {
            std::fprintf(stderr, "cannot write %s/%s\n", folder.c_str(), seed.name);
            return 1;
        }
    }
    return 0;
}
