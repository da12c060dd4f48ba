// Writes the fuzz targets' first inputs that are binary or large into the folder given, one folder per
// target: small pictures of each kind the decoders take, bitmap font format files and ZIP archives, and the
// reproducers of faults once found that are too large or too binary to keep as text files (the smaller text
// inputs live in fuzz/corpus/).

#include "EncodedImages.h"

#include <zip.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

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

std::string repeated(const std::string& text, int count) {
    std::string result;
    for (int i = 0; i < count; ++i) {
        result += text;
    }
    return result;
}

// Nested deeper than the XML parser's recursion could follow: the readers must refuse it unparsed.
std::string deeplyNested(const std::string& start, const std::string& level, int levels) {
    return start + repeated(level, levels);
}

// Names and a text with bytes that are not UTF-8, one of them just before a closing quote.
std::string registryWithHighBytes() {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\n<registry>\n    <key name=\"\xE9t\xE9\">\n"
           "        <value name=\"\xF0\" type=\"REG_SZ\" text=\"ok\" />\n"
           "        <value name=\"b\xC3\" type=\"REG_DWORD\" dword=\"7\" />\n    </key>\n</registry>\n";
}

struct ZipEntry {
    const char* name;
    std::string bytes;
    bool stored;
};

bool writeZip(const std::string& path, const std::vector<ZipEntry>& entries) {
    zipFile zip = zipOpen(path.c_str(), APPEND_STATUS_CREATE);
    if (zip == nullptr) {
        return false;
    }
    bool written = true;
    for (const ZipEntry& entry : entries) {
        zip_fileinfo info{};
        written = written &&
                  zipOpenNewFileInZip(zip, entry.name, &info, nullptr, 0, nullptr, 0, nullptr,
                                      entry.stored ? 0 : Z_DEFLATED,
                                      entry.stored ? 0 : Z_BEST_COMPRESSION) == ZIP_OK &&
                  zipWriteInFileInZip(zip, entry.bytes.data(), static_cast<unsigned>(entry.bytes.size())) ==
                      ZIP_OK &&
                  zipCloseFileInZip(zip) == ZIP_OK;
    }
    return zipClose(zip, nullptr) == ZIP_OK && written;
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
        {"decoders/chunk-claiming-512mib.png", testsupport::pngClaimingChunk(512u << 20)},
        {"settings/nested-50000.xml", deeplyNested("<a><Integer id='A' value='1'/>", "<Node>", 50000)},
        {"session/nested-50000.xml",
         deeplyNested("<root><DataGathering id='DataGathering'>", "<Node>", 50000)},
        {"players/list-nested-50000.txt",
         deeplyNested(R"(<root><Players id="players"><Vector id="playernames">)", "<Node>", 50000)},
        {"registry/nested-100000.xml", deeplyNested("<registry>", "<key name=\"k\">", 100000)},
        {"registry/high-bytes.xml", registryWithHighBytes()},
    };
    for (const char* part : {"decoders", "font", "settings", "session", "players", "registry", "zip"}) {
        std::error_code ignored;
        std::filesystem::create_directories(folder + "/" + part, ignored);
    }
    for (const auto& seed : seeds) {
        if (!writeFile(folder + "/" + seed.name, seed.bytes)) {
            std::fprintf(stderr, "cannot write %s/%s\n", folder.c_str(), seed.name);
            return 1;
        }
    }
    const std::string xml = "<a><Integer id='A' value='1'/><Text id='t'>words</Text></a>";
    if (!writeZip(folder + "/zip/stored.zip", {{"a.xml", xml, true}}) ||
        !writeZip(folder + "/zip/deflated.zip",
                  {{"a.xml", repeated(xml, 20), false},
                   {"media/b.png", encodePng(pngPicture(2, 8, false, 0, false)), false}})) {
        std::fprintf(stderr, "cannot write the archives in %s/zip\n", folder.c_str());
        return 1;
    }
    return 0;
}
