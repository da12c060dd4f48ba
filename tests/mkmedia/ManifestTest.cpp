#include "GeneratedMedia.h"

#include "engine/graphics/PngDecoder.h"
#include "engine/kernel/SmartPtr.h"

#include <cstdio>
#include <set>
#include <sys/wait.h>

namespace {

std::string manifestWith(const std::string& entries) {
    return "<mkmedia>" + entries + "</mkmedia>";
}

TEST(ManifestTest, SameManifestGivesTheSameBytes) {
    testsupport::TempDir dir;
    std::string error;
    ASSERT_TRUE(mkmediatest::generate(dir, mkmediatest::sampleManifest, "again", error)) << error;
    int files = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(mkmediatest::generatedMedia())) {
        if (!entry.is_regular_file()) {
            continue;
        }
        const auto relative = std::filesystem::relative(entry.path(), mkmediatest::generatedMedia());
        EXPECT_EQ(testsupport::TempDir::read(entry.path().string()),
                  testsupport::TempDir::read((dir.path() / "again" / relative).string()))
            << relative;
        ++files;
    }
    EXPECT_EQ(files, 39) << "two files a font, one a picture, and no temporary file left behind";
}

TEST(ManifestTest, FailuresNameTheEntry) {
    testsupport::TempDir dir;
    std::string deepElements;
    for (int level = 0; level < 300; ++level) {
        deepElements += "<a>";
    }
    const struct {
        std::string manifest;
        std::string message;
    } cases[] = {
        {"<mkmedia><image file=\"a.png\"", "manifest.xml"},
        {manifestWith("<picture file=\"a.png\"/>"), "unknown element"},
        {manifestWith("<image kind=\"bar\"/>"), "no \"file\""},
        {manifestWith("<image file=\"../a.png\" kind=\"bar\"/>"), "leaves the output folder"},
        {manifestWith("<image file=\"a.gif\" kind=\"bar\"/>"), ".gif"},
        {manifestWith("<image file=\"a.png\" kind=\"bar\" width=\"0\"/>"), "out of range"},
        {manifestWith("<font file=\"fonts/x\" face=\"missing.ttf\"/>"), "missing.ttf"},
        {manifestWith("<image file=\"a.png\" kind=\"button\" symbol=\"star\"/>"), "no symbol \"star\""},
        {manifestWith("<image file=\"a.png\" kind=\"floater\" width=\"40\" height=\"20\" text=\"Go!\"/>"),
         "needs a picture of"},
        {manifestWith("<image file=\"a.png\" kind=\"pagecorner\"/>"), "\"side\""},
        {manifestWith("<image file=\"a.png\" kind=\"pageturn\" direction=\"up\"/>"), "\"direction\""},
        {manifestWith("<image file=\"a.png\" kind=\"collage\" page=\"35\"/>"), "\"page\" 1 to 34"},
        {manifestWith("<image file=\"a.png\" kind=\"collage\" page=\"2\" credits=\"1\"/>"), "collage"},
        {manifestWith(deepElements), "nested"},
    };
    for (const auto& failure : cases) {
        std::string error;
        EXPECT_FALSE(mkmediatest::generate(dir, failure.manifest, "out", error)) << failure.manifest;
        EXPECT_NE(error.find(failure.message), std::string::npos) << error;
    }
}

// The contact sheet is made from what the manifest made: without the pictures it says to make them first;
// with them it shows each pibble composed on a checkered ground.
TEST(ManifestTest, ContactSheetShowsWhatTheManifestMade) {
    testsupport::TempDir dir;
    std::string parts;
    for (const char* part : {"feet", "body", "head", "ears"}) {
        parts += std::string("<image file=\"yellow_") + part + ".png\" kind=\"pibble\" part=\"" + part +
                 "\" look=\"yellow\" width=\"100\" height=\"125\"/>";
    }
    const std::string manifest = dir.write("manifest.xml", manifestWith(parts));
    const std::string sheet = dir.file("sheet.png");
    std::string error;
    EXPECT_FALSE(mkmedia::writeSheetOfManifest(manifest, dir.path() / "out", sheet, error));
    EXPECT_NE(error.find("generate the media first"), std::string::npos) << error;
    ASSERT_TRUE(mkmedia::runManifest(manifest, dir.path() / "out", error)) << error;
    ASSERT_TRUE(mkmedia::writeSheetOfManifest(manifest, dir.path() / "out", sheet, error)) << error;
    kernel::SmartPtr<graphics::MemoryImage32> picture = graphics::loadPngImage(sheet);
    ASSERT_TRUE(picture);
    // A column through the first pibble, below the titles.
    std::set<std::uint32_t> colours;
    for (int y = 0; y < picture->getHeight(); ++y) {
        colours.insert(picture->pixels32()[picture->pixelIndex(64, y)] & 0xFFFFFFu);
    }
    EXPECT_TRUE(colours.contains(0xB4C2D0) && colours.contains(0xC6D2DE)) << "the checkered ground";
    EXPECT_GT(colours.size(), 20u) << "and a pibble on it";
}

// The build runs the program: a broken manifest must stop it with a message and a failing status.
TEST(ManifestTest, ProgramExitsWithStatusAndMessageOnBrokenManifest) {
    testsupport::TempDir dir;
    const std::string manifest = dir.write("broken.xml", "<mkmedia><font");
    const std::string command =
        std::string(MKMEDIA_EXECUTABLE) + " " + manifest + " " + dir.file("out") + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string output;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) {
        output += buffer;
    }
    const int status = pclose(pipe);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_NE(WEXITSTATUS(status), 0);
    EXPECT_NE(output.find("broken.xml"), std::string::npos) << output;
}

} // namespace
