#include "GeneratedMedia.h"

#include <cstdio>
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
    EXPECT_EQ(files, 26) << "two files a font, one a picture, and no temporary file left behind";
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
        {manifestWith(deepElements), "nested"},
    };
    for (const auto& failure : cases) {
        std::string error;
        EXPECT_FALSE(mkmediatest::generate(dir, failure.manifest, "out", error)) << failure.manifest;
        EXPECT_NE(error.find(failure.message), std::string::npos) << error;
    }
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
