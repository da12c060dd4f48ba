#include "engine/kernel/FileAccess.h"
#include "engine/kernel/PathUtil.h"
#include "engine/kernel/Scrambler.h"
#include "engine/kernel/ZipArchive.h"
#include "host/Testing.h"

#include "TempDir.h"

#include <gtest/gtest.h>
#include <zip.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

using namespace kernel;
using testsupport::TempDir;

namespace {

struct Entry {
    std::string name;
    std::string bytes;
    bool stored = false; // no compression, so the test can find and damage the bytes
};

void writeZip(const std::string& path, const std::vector<Entry>& entries) {
    zipFile zip = zipOpen(path.c_str(), APPEND_STATUS_CREATE);
    ASSERT_NE(zip, nullptr);
    for (const Entry& entry : entries) {
        zip_fileinfo info{};
        ASSERT_EQ(zipOpenNewFileInZip(zip, entry.name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr,
                                      entry.stored ? 0 : Z_DEFLATED, entry.stored ? 0 : Z_BEST_COMPRESSION),
                  ZIP_OK);
        ASSERT_EQ(zipWriteInFileInZip(zip, entry.bytes.data(), static_cast<unsigned>(entry.bytes.size())),
                  ZIP_OK);
        ASSERT_EQ(zipCloseFileInZip(zip), ZIP_OK);
    }
    ASSERT_EQ(zipClose(zip, nullptr), ZIP_OK);
}

std::string scrambled(std::string bytes) {
    xorScramble(bytes.data(), static_cast<std::int32_t>(bytes.size()));
    return bytes;
}

std::string contents(const FileBuffer& buffer) {
    return std::string(buffer.data(), buffer.size());
}

// A buffer that already holds something, to see that a failed load leaves it alone.
struct KeptBuffer {
    KeptBuffer() {
        buffer.allocate(4);
        std::copy_n("keep", 4, buffer.data());
    }
    bool untouched() const { return contents(buffer) == "keep"; }
    FileBuffer buffer;
};

// Installs a global archive for one test and removes it again, whatever the test did.
struct GlobalArchive {
    GlobalArchive(const std::string& path, int mode) { ZipArchive::create(path, mode); }
    ~GlobalArchive() {
        ZipArchive::destroy();
        FileSourceMode = modeEncryptZip;
    }
};

} // namespace

TEST(FileAccess, DiskLoadsAndTheirFailures) {
    TempDir dir;
    dir.write("empty.txt", "");
    dir.write("ten.bin", "0123456789");
    dir.write("a/b/c.xml", "<x/>");
    std::filesystem::create_directory(dir.path() / "folder");
    ASSERT_EQ(ZipArchive::instance(), nullptr);

    const std::vector<std::pair<std::string, bool>> cases = {
        {dir.file("empty.txt"), false},  {dir.file("missing.txt"), false},   {dir.file("folder"), false},
        {dir.file("a\\b//c.xml"), true}, {dir.file("a\\\\b///c.xml"), true},
    };
    for (const auto& [name, loads] : cases) {
        KeptBuffer kept;
        EXPECT_EQ(loadFile(name, kept.buffer, modeGlobal), loads ? LoadResult::Done : LoadResult::Failed)
            << name;
        EXPECT_EQ(kept.untouched(), !loads) << name;
    }

    FileBuffer buffer;
    ASSERT_EQ(loadFile(dir.file("ten.bin"), buffer, modeFile), LoadResult::Done);
    EXPECT_EQ(contents(buffer), "0123456789");
    EXPECT_EQ(buffer.data()[10], '\0');
}

TEST(FileAccess, ScrambledDiskFileIsReadUnderItsSuffix) {
    TempDir dir;
    const std::string text =
        std::string("plain text \x80\xff over more than 256 bytes ") + std::string(300, 'z');
    dir.write("save.xml", "decoy");
    dir.write("save.xml.!", scrambled(text));

    FileBuffer buffer;
    ASSERT_EQ(loadFile(dir.file("save.xml"), buffer, modeEncryptFile), LoadResult::Done);
    EXPECT_EQ(contents(buffer), text);
    EXPECT_EQ(storageFileName(modeEncryptFile, "p.xml"), "p.xml.!");
    EXPECT_EQ(storageFileName(modeGlobal, "p.xml"), "p.xml");
}

TEST(FileAccess, ShortReadIsAFailure) {
    TempDir dir;
    dir.write("ten.bin", "0123456789");
    KeptBuffer kept;
    host::testing::failCall("fread", 3);
    const LoadResult result = loadFile(dir.file("ten.bin"), kept.buffer, modeFile);
    host::testing::clearFailures();
    EXPECT_EQ(result, LoadResult::Failed);
    EXPECT_TRUE(kept.untouched());
}

TEST(FileAccess, ArchiveModesNeverFallBackToDisk) {
    TempDir dir;
    dir.write("x.txt", "disk");
    dir.write("x.txt.!", scrambled("disk"));
    const std::string name = dir.file("x.txt");

    const auto expectRefused = [&] {
        for (const int mode : {modeZip, modeEncryptZip}) {
            KeptBuffer kept;
            EXPECT_EQ(loadFile(name, kept.buffer, mode), LoadResult::Failed) << mode;
            EXPECT_TRUE(kept.untouched());
        }
    };
    // No archive object at all: nothing to ask, and no crash.
    expectRefused();
    // The start-up configuration: an archive with an empty path, and disk files by default.
    GlobalArchive archive("", modeFile);
    expectRefused();
    FileBuffer buffer;
    EXPECT_EQ(loadFile(name, buffer, modeGlobal), LoadResult::Done);
    EXPECT_EQ(contents(buffer), "disk");
}

TEST(ZipArchive, EntriesLoadPlainAndScrambled) {
    TempDir dir;
    const std::string big(5000, 'q');
    writeZip(dir.file("data.zip"), {{"levels/one.xml", "<level id=\"1\"/>"},
                                    {"levels/two.xml.!", scrambled(big + "\x90 end")},
                                    {"empty.txt", ""}});
    dir.write("levels/missing.xml", "on disk only");

    GlobalArchive archive(dir.file("data.zip"), modeGlobal);
    EXPECT_EQ(FileSourceMode, modeEncryptZip);
    EXPECT_FALSE(ZipArchive::instance()->isOpen()); // opened by the first lookup, not before

    FileBuffer buffer;
    ASSERT_EQ(loadFile("Levels\\\\ONE.xml", buffer, modeZip), LoadResult::Done);
    EXPECT_EQ(contents(buffer), "<level id=\"1\"/>");
    EXPECT_EQ(buffer.data()[buffer.size()], '\0');
    EXPECT_FALSE(ZipArchive::instance()->isEntryOpen());

    ASSERT_EQ(loadFile("levels/two.xml", buffer, modeGlobal), LoadResult::Done);
    EXPECT_EQ(contents(buffer), big + "\x90 end");

    KeptBuffer kept;
    EXPECT_EQ(loadFile(dir.file("levels/missing.xml"), kept.buffer, modeZip), LoadResult::Failed);
    EXPECT_EQ(loadFile("levels/missing.xml", kept.buffer, modeZip), LoadResult::Failed);
    EXPECT_TRUE(kept.untouched());

    ZipArchive& zip = *ZipArchive::instance();
    std::vector<std::string> names;
    for (bool more = zip.goToFirstEntry(); more; more = zip.goToNextEntry()) {
        names.push_back(zip.fileInfo().name);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"levels/one.xml", "levels/two.xml.!", "empty.txt"}));
    ASSERT_TRUE(zip.openEntry("levels/one.xml"));
    EXPECT_EQ(zip.readByte(), '<');
    EXPECT_FALSE(zip.isEndOfEntry());
    EXPECT_TRUE(zip.closeCurrentEntry());
}

TEST(ZipArchive, BrokenArchivesFailCleanly) {
    TempDir dir;
    const std::string payload = "payload-payload-payload-payload";
    writeZip(dir.file("good.zip"), {{"damaged.txt", payload, true}, {"intact.txt", "fine"}});
    std::string bytes = TempDir::read(dir.file("good.zip"));
    dir.write("truncated.zip", bytes.substr(0, bytes.size() / 2));
    dir.write("notazip.zip", "This is a text file, not an archive at all.");
    bytes[bytes.find(payload) + 3] ^= 0x01; // stored bytes no longer match their CRC
    dir.write("damaged.zip", bytes);

    for (const char* archiveName : {"truncated.zip", "notazip.zip", "missing.zip"}) {
        GlobalArchive archive(dir.file(archiveName), modeZip);
        KeptBuffer kept;
        EXPECT_EQ(loadFile("intact.txt", kept.buffer, modeGlobal), LoadResult::Failed) << archiveName;
        EXPECT_TRUE(kept.untouched()) << archiveName;
    }

    GlobalArchive archive(dir.file("damaged.zip"), modeZip);
    KeptBuffer kept;
    EXPECT_EQ(loadFile("damaged.txt", kept.buffer, modeZip), LoadResult::Failed);
    EXPECT_TRUE(kept.untouched());
    EXPECT_FALSE(ZipArchive::instance()->isOpen()); // the error closed it
    FileBuffer buffer;
    EXPECT_EQ(loadFile("intact.txt", buffer, modeZip), LoadResult::Done); // and the next lookup reopens it
    EXPECT_EQ(contents(buffer), "fine");
}

TEST(Scrambler, KeyBlockAndXorAreConsistent) {
    const auto& block = scrambleKeyBlock();
    EXPECT_EQ(&block, &scrambleKeyBlock());
    EXPECT_EQ(std::set<int>(block.begin(), block.end()).size(), 256u) << "a permutation of the bytes";
    // Saves written in the scrambled modes use this block: if it changed, existing saves would not load.
    EXPECT_EQ(std::vector<int>(block.begin(), block.begin() + 8),
              (std::vector<int>{93, 77, 56, 170, 81, 151, 194, 234}));
    EXPECT_EQ(std::vector<int>(block.end() - 4, block.end()), (std::vector<int>{247, 143, 115, 148}));

    std::vector<std::uint8_t> data(600);
    std::generate(data.begin(), data.end(), [i = 0]() mutable { return static_cast<std::uint8_t>(7 * i++); });
    const auto original = data;
    xorScramble(data.data(), static_cast<std::int32_t>(data.size()));
    EXPECT_NE(data, original);
    for (std::size_t i = 0; i < data.size(); ++i) {
        ASSERT_EQ(data[i] & 0x80, original[i] & 0x80) << i;
        ASSERT_EQ(data[i] ^ original[i], block[i % 256] & 0x7F) << i;
    }
    xorScramble(data.data(), static_cast<std::int32_t>(data.size()));
    EXPECT_EQ(data, original);
    xorScramble(data.data(), 0);
    xorScramble(data.data(), -5);
    EXPECT_EQ(data, original);
}

TEST(PathUtil, EscapeFileName) {
    const std::vector<std::tuple<std::string, bool, std::string>> cases = {
        {"a_b c", false, "a___b_0_c"},
        {"a_b c", true, "a___b c"},
        {"\\/*|:?\"<>", false, "_1__2__3__4__5__6__7__8__9_"},
        {"Zoë~{}", false, "Zoë~{}"},
        {"", false, ""},
    };
    for (const auto& [name, keepSpaces, expected] : cases) {
        EXPECT_EQ(escapeFileName(name, keepSpaces), expected) << name;
    }
}

TEST(PathUtil, DirectoryTreesAreCreatedAndDeleted) {
    TempDir dir;
    const std::string deep = dir.file("one") + "\\two/three";
    createDirectoryTree(deep);
    EXPECT_TRUE(std::filesystem::is_directory(dir.path() / "one/two/three"));
    EXPECT_FALSE(fileExists(deep)); // a directory is not a readable file
    createDirectoryTree(deep);      // already there: nothing changes, nothing fails

    dir.write("one/file.txt", "x");
    dir.write("one/two/three/deeper.txt", "y");
    std::filesystem::create_directory(dir.path() / "one/two/empty");
    EXPECT_TRUE(fileExists(dir.file("one/file.txt")));
    // A link inside the tree goes with the tree; what it points to stays.
    dir.write("kept/precious.txt", "keep me");
    std::filesystem::create_directory_symlink(dir.path() / "kept", dir.path() / "one/link");
    FileUtil::DeleteDirectoryTree(dir.file("one"));
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "one"));
    EXPECT_TRUE(std::filesystem::exists(dir.path() / "kept/precious.txt"));

    FileUtil::DeleteDirectoryTree(dir.file("nothing-here") + "/");
    FileUtil::DeleteDirectoryTree("");
    EXPECT_TRUE(std::filesystem::exists(dir.path()));
}

TEST(PathUtil, NamesAndDirectories) {
    EXPECT_EQ(fileExtensionLower("Music.OGG"), "ogg");
    EXPECT_EQ(fileExtensionLower("README"), "readme");
    EXPECT_EQ(stripFileExtension("a.b.wav"), "a.b");
    EXPECT_EQ(stripFileExtension("noext"), "noext");
    EXPECT_EQ(normaliseResourcePath("\\media\\images\\a.png"), "media/images/a.png");
    EXPECT_EQ(normaliseResourcePath("media/a.png"), "media/a.png");

    std::string path = "a\\\\b///c//d\\e";
    FileUtil::NormalisePath(path);
    EXPECT_EQ(path, "a/b/c/d/e");

    const std::string program = std::filesystem::read_symlink("/proc/self/exe").string();
    EXPECT_EQ(applicationDirectory(), std::filesystem::path(program).parent_path().string());
    EXPECT_EQ(FileUtil::CurrentDirectory(), std::filesystem::current_path().string());
}
