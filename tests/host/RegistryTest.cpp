#include "host/Registry.h"
#include "host/RegistryFile.h"
#include "host/Testing.h"
#include "host/XmlParsing.h"

#include "DebugOutput.h"
#include "ScratchRegistry.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <filesystem>
#include <optional>
#include <string>
#include <sys/stat.h>

using namespace testsupport;

namespace {

host::HKEY create(const char* path, host::DWORD* disposition = nullptr) {
    host::HKEY key = nullptr;
    EXPECT_EQ(host::RegCreateKeyEx(HKEY_CURRENT_USER, path, 0, "", 0, host::KEY_WRITE | host::KEY_READ,
                                   nullptr, &key, disposition),
              status(host::ERROR_SUCCESS));
    return key;
}

std::string repeated(const std::string& text, int count) {
    std::string result;
    for (int i = 0; i < count; ++i) {
        result += text;
    }
    return result;
}

TEST(HostRegistry, ValuesRoundTripInTheirOrder) {
    const ScratchRegistry registry;
    EXPECT_EQ(host::registryFilePath(), registry.file());
    host::DWORD disposition = 0;
    host::RegCloseKey(create("Software\\Maker\\Game", &disposition));
    EXPECT_EQ(disposition, host::REG_CREATED_NEW_KEY);

    const RegistryValues written = {
        {"volume", dwordEntry(-5)},
        {"name", textEntry("a <&> \"b\"  c")},
        {"accented", textEntry("\xE9t\xE9\n")},
        {"raw", {host::REG_BINARY, std::string("\x00\xff\x10", 3)}},
        {"empty", textEntry("")},
    };
    for (const auto& [name, entry] : written) {
        EXPECT_EQ(ScratchRegistry::set("Software\\Maker\\Game", name, entry), status(host::ERROR_SUCCESS));
    }
    // Setting a value again keeps its place.
    ScratchRegistry::set("Software\\Maker\\Game", "volume", dwordEntry(-5));
    EXPECT_EQ(ScratchRegistry::values("Software\\Maker\\Game"), written);

    host::HKEY key = create("Software\\Maker\\Game", &disposition);
    EXPECT_EQ(disposition, host::REG_OPENED_EXISTING_KEY);
    host::DWORD values = 0;
    host::DWORD longestName = 0;
    EXPECT_EQ(host::RegQueryInfoKey(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values,
                                    &longestName, nullptr, nullptr, nullptr),
              status(host::ERROR_SUCCESS));
    EXPECT_EQ(values, 5u);
    EXPECT_EQ(longestName, 8u);
    host::RegCloseKey(key);
}

TEST(HostRegistry, NamesCompareCaseInsensitivelyAndKeepTheirFirstSpelling) {
    const ScratchRegistry registry;
    ScratchRegistry::set("Software\\Mixed", "Volume", dwordEntry(1));
    ScratchRegistry::set("SOFTWARE\\mixed", "VOLUME", dwordEntry(2));
    EXPECT_EQ(ScratchRegistry::values("software\\MIXED"), (RegistryValues{{"Volume", dwordEntry(2)}}));
    EXPECT_NE(TempDir::read(registry.file()).find("name=\"Mixed\""), std::string::npos);

    host::HKEY missing = nullptr;
    EXPECT_EQ(host::RegOpenKeyEx(HKEY_CURRENT_USER, "Software\\Other", 0, host::KEY_READ, &missing),
              status(host::ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(missing, nullptr);
}

TEST(HostRegistry, EveryWriteLeavesAWholeFileAndAFailedOneTheOldFile) {
    const ScratchRegistry registry;
    // What a writer killed before its rename left behind.
    registry.dir().write("pibbles/registry.xml.Ab3dE9.tmp", "<registry><key");
    for (int round = 0; round < 3; ++round) {
        ASSERT_EQ(ScratchRegistry::set("Software", "v" + std::to_string(round), dwordEntry(round)),
                  status(host::ERROR_SUCCESS));
        TiXmlDocument document;
        document.Parse(TempDir::read(registry.file()).c_str());
        EXPECT_FALSE(document.Error());
        // No temporary file is left beside it, and none of earlier writers.
        const std::filesystem::directory_iterator files(registry.dir().path() / "pibbles");
        EXPECT_EQ(std::distance(begin(files), end(files)), 1);
    }
    const std::string before = TempDir::read(registry.file());
    host::testing::failCall("RegSetValueEx", host::ERROR_WRITE_FAULT, 1);
    EXPECT_EQ(ScratchRegistry::set("Software", "v0", dwordEntry(99)), status(host::ERROR_WRITE_FAULT));
    EXPECT_EQ(TempDir::read(registry.file()), before);
    EXPECT_EQ(ScratchRegistry::values("Software")[0].second, dwordEntry(0));

    // A file that may not have reached the disk is no saved file; the failure is heard.
    const DebugOutput output;
    host::testing::failCall("writeFileAtomically:fsync", EIO, 1);
    EXPECT_EQ(ScratchRegistry::set("Software", "v0", dwordEntry(99)), status(host::ERROR_WRITE_FAULT));
    EXPECT_EQ(TempDir::read(registry.file()), before);
    EXPECT_EQ(output.take(), "Saving \"" + registry.file() + "\" failed: Input/output error\n");
    // Where the registry's folder is a file, the write fails for that reason.
    std::filesystem::remove_all(registry.dir().path() / "pibbles");
    registry.dir().write("pibbles", "a file");
    EXPECT_EQ(ScratchRegistry::set("Software", "v0", dwordEntry(99)), status(host::ERROR_WRITE_FAULT));
    EXPECT_EQ(output.take(), "Saving \"" + registry.file() + "\" failed: Not a directory\n");
}

// Setting a value to what it holds already leaves the file alone (a disk that refuses every write is not
// even asked); another value, another type or a key that went missing from the file are written.
TEST(HostRegistry, AValueSetAsItStandsLeavesTheFileAlone) {
    const ScratchRegistry registry;
    ASSERT_EQ(ScratchRegistry::set("Software\\Game", "musicvolume", dwordEntry(39)),
              status(host::ERROR_SUCCESS));
    const std::string before = TempDir::read(registry.file());

    host::testing::failCall("writeFileAtomically:open", EACCES, 3);
    EXPECT_EQ(ScratchRegistry::set("software\\GAME", "MusicVolume", dwordEntry(39)),
              status(host::ERROR_SUCCESS));
    EXPECT_EQ(ScratchRegistry::set("Software\\Game", "musicvolume", dwordEntry(40)),
              status(host::ERROR_ACCESS_DENIED));
    EXPECT_EQ(ScratchRegistry::set("Software\\Game", "musicvolume", textEntry("39")),
              status(host::ERROR_ACCESS_DENIED));
    host::HKEY key = nullptr;
    ASSERT_EQ(host::RegOpenKeyEx(HKEY_CURRENT_USER, "Software\\Game", 0, host::KEY_WRITE, &key),
              status(host::ERROR_SUCCESS));
    registry.replaceFile("<registry/>");
    const std::string value = dwordEntry(39).data;
    EXPECT_EQ(host::RegSetValueEx(key, "musicvolume", 0, host::REG_DWORD,
                                  reinterpret_cast<const host::BYTE*>(value.data()), 4),
              status(host::ERROR_ACCESS_DENIED));
    host::testing::clearFailures();
    EXPECT_EQ(host::RegSetValueEx(key, "musicvolume", 0, host::REG_DWORD,
                                  reinterpret_cast<const host::BYTE*>(value.data()), 4),
              status(host::ERROR_SUCCESS));
    host::RegCloseKey(key);
    EXPECT_EQ(TempDir::read(registry.file()), before);
}

TEST(HostRegistry, BrokenFilesReadEmptyAndTheNextWriteMendsThem) {
    const std::pair<std::optional<std::string>, host::DWORD> cases[] = {
        {std::nullopt, 0},
        {"", 0},
        // What was read before the cut is kept.
        {"<registry><key name=\"Software\">", 1},
        {std::string("<registry>\0</registry>", 22), 0},
        {"<other><key name=\"Software\"/></other>", 0},
        // The parser would recurse once per level, past the end of the stack.
        {"<registry>" + repeated("<key name=\"k\">", 100000), 0},
    };
    for (const auto& [contents, keys] : cases) {
        SCOPED_TRACE(contents.value_or("(no file)"));
        const ScratchRegistry registry;
        if (contents) {
            registry.replaceFile(*contents);
        }
        host::DWORD values = 99;
        host::DWORD subKeys = 99;
        EXPECT_EQ(host::RegQueryInfoKey(HKEY_CURRENT_USER, nullptr, nullptr, nullptr, &subKeys, nullptr,
                                        nullptr, &values, nullptr, nullptr, nullptr, nullptr),
                  status(host::ERROR_SUCCESS));
        EXPECT_EQ(values + subKeys, keys);

        // Opening the root writes nothing, and a failed write keeps the broken file as it was.
        host::testing::failCall("RegSetValueEx", -1, 1);
        EXPECT_EQ(ScratchRegistry::set("", "kept", dwordEntry(1)), status(host::ERROR_WRITE_FAULT));
        EXPECT_EQ(TempDir::read(registry.file()), contents.value_or(""));
        EXPECT_EQ(ScratchRegistry::set("", "kept", dwordEntry(1)), status(host::ERROR_SUCCESS));
        EXPECT_EQ(ScratchRegistry::values(""), (RegistryValues{{"kept", dwordEntry(1)}}));
    }
}

// A cut file, or one with a zero byte, keeps every value read before the damage; the first write (even of a
// value as it stands) keeps the damaged file once under another name and writes what was read. The log says
// both, once.
TEST(HostRegistry, ADamagedFileKeepsWhatItReadAndACopy) {
    const ScratchRegistry registry;
    const char* key = "Software\\Tarvo\\Games\\pibbles";
    const RegistryValues stored = {
        {"fullscreen", dwordEntry(1)}, {"soundvolume", dwordEntry(77)}, {"name", textEntry("Ann")}};
    for (const auto& [name, entry] : stored) {
        ASSERT_EQ(ScratchRegistry::set(key, name, entry), status(host::ERROR_SUCCESS));
    }
    const std::string whole = TempDir::read(registry.file());
    const std::string cut = whole.substr(0, whole.size() - 20);
    const DebugOutput output;
    for (const std::string& damaged : {cut, cut + '\0' + whole.substr(cut.size())}) {
        std::filesystem::remove(registry.file() + ".damaged");
        registry.replaceFile(damaged);
        EXPECT_EQ(ScratchRegistry::values(key), stored);
        EXPECT_EQ(ScratchRegistry::values(key), stored);
        std::string heard = output.take();
        EXPECT_EQ(heard.find("Reading \"" + registry.file() + "\": "), 0u) << heard;
        EXPECT_EQ(heard.find("what could be read is kept\n"), heard.size() - 27) << "once: " << heard;

        ASSERT_EQ(ScratchRegistry::set(key, "soundvolume", dwordEntry(77)), status(host::ERROR_SUCCESS));
        ASSERT_EQ(ScratchRegistry::set(key, "musicvolume", dwordEntry(5)), status(host::ERROR_SUCCESS));
        EXPECT_EQ(TempDir::read(registry.file() + ".damaged"), damaged);
        EXPECT_FALSE(std::filesystem::exists(registry.file() + ".damaged2"));
        EXPECT_NE(output.take().find("\"" + registry.file() + "\" was not read whole; it is kept as \"" +
                                     registry.file() + ".damaged\""),
                  std::string::npos);
        RegistryValues expected = stored;
        expected.push_back({"musicvolume", dwordEntry(5)});
        EXPECT_EQ(ScratchRegistry::values(key), expected);
    }
}

// A registry file that is there but cannot be read (a folder, a pipe, no permission, a failed open) reads as
// empty without blocking, is never written over, and the log names it with the reason.
TEST(HostRegistry, AFileThatCannotBeReadIsLeftAlone) {
    const DebugOutput output;
    for (const char* kind : {"folder", "pipe", "unreadable", "unopenable"}) {
        SCOPED_TRACE(kind);
        const ScratchRegistry registry;
        const std::string file = registry.file();
        const std::string kept = "<registry><value name=\"v\" type=\"REG_DWORD\" dword=\"3\"/></registry>";
        registry.replaceFile(kept);
        if (kind == std::string("folder")) {
            std::filesystem::remove(file);
            std::filesystem::create_directory(file);
        } else if (kind == std::string("pipe")) {
            std::filesystem::remove(file);
            ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0);
        } else {
            host::testing::failCall((kind == std::string("unreadable") ? "GetFileKind:" : "fopen:") + file,
                                    EACCES);
        }
        EXPECT_TRUE(ScratchRegistry::values("").empty());
        EXPECT_NE(ScratchRegistry::set("", "v", dwordEntry(4)), status(host::ERROR_SUCCESS));
        EXPECT_NE(ScratchRegistry::set("Software", "v", dwordEntry(4)), status(host::ERROR_SUCCESS));
        const std::string heard = output.take();
        EXPECT_EQ(heard.find("Reading \"" + file + "\": "), 0u) << heard;
        EXPECT_NE(heard.find("; it is left alone\nNot saving over \"" + file + "\": "), std::string::npos)
            << heard;
        host::testing::clearFailures();
        const std::filesystem::file_status left = std::filesystem::status(file);
        if (kind == std::string("folder") || kind == std::string("pipe")) {
            EXPECT_EQ(left.type(), kind == std::string("folder") ? std::filesystem::file_type::directory
                                                                 : std::filesystem::file_type::fifo);
        } else {
            EXPECT_EQ(TempDir::read(file), kept);
        }
    }
}

// The file is read once: a key of 20,000 values is enumerated, and changed, without reading it again.
TEST(HostRegistry, AKeyOfManyValuesIsReadOnceForAWholeEnumeration) {
    const ScratchRegistry registry;
    constexpr host::DWORD count = 20000;
    host::StoredKey root;
    host::StoredKey& stored = root.subKeys.emplace_back(host::StoredKey{"Many", {}, {}});
    for (host::DWORD index = 0; index < count; ++index) {
        stored.values.push_back({"v" + std::to_string(index), host::REG_SZ, std::to_string(index) + '\0'});
    }
    ASSERT_EQ(host::writeRegistryFile(registry.file(), root), host::ERROR_SUCCESS);

    const int readsBefore = host::testing::registryFileReads();
    host::HKEY key = create("many");
    host::DWORD values = 0;
    ASSERT_EQ(host::RegQueryInfoKey(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values,
                                    nullptr, nullptr, nullptr, nullptr),
              status(host::ERROR_SUCCESS));
    ASSERT_EQ(values, count);
    for (host::DWORD index = 0; index < count; ++index) {
        char name[16];
        host::BYTE data[16];
        host::DWORD nameLength = sizeof name;
        host::DWORD dataLength = sizeof data;
        ASSERT_EQ(host::RegEnumValue(key, index, name, &nameLength, nullptr, nullptr, data, &dataLength),
                  status(host::ERROR_SUCCESS));
        ASSERT_EQ(std::string(name, nameLength), stored.values[index].name);
        ASSERT_EQ(host::testing::registryFileReads(), readsBefore + 1) << "at value " << index;
    }
    const std::string value = dwordEntry(7).data;
    EXPECT_EQ(host::RegSetValueEx(key, "v19999", 0, host::REG_DWORD,
                                  reinterpret_cast<const host::BYTE*>(value.data()), 4),
              status(host::ERROR_SUCCESS));
    host::DWORD type = 0;
    EXPECT_EQ(host::RegQueryValueEx(key, "V19999", nullptr, &type, nullptr, nullptr),
              status(host::ERROR_SUCCESS));
    EXPECT_EQ(type, host::REG_DWORD);
    host::RegCloseKey(key);
    EXPECT_EQ(host::testing::registryFileReads(), readsBefore + 1);
    // The change is in the file.
    const host::StoredKey written = host::readRegistryFile(registry.file());
    ASSERT_EQ(written.subKeys.size(), 1u);
    ASSERT_EQ(written.subKeys[0].values.size(), count);
    EXPECT_EQ(written.subKeys[0].values.back().data, value);
}

// A file larger than any registry the program writes (one byte past the cap) is not read: the settings are
// the defaults, the log says why, and the first change keeps the file as it was before writing the new one. A
// change that would make the file that large is not written: the next run would not read it.
TEST(HostRegistry, AFileLargerThanAnyRealOneIsNeitherReadNorWritten) {
    const ScratchRegistry registry;
    std::string large = "<registry><value name=\"v\" type=\"REG_DWORD\" dword=\"3\"/></registry>";
    large.resize(host::maxXmlBytes, ' ');
    registry.replaceFile(large);
    EXPECT_EQ(ScratchRegistry::values(""), (RegistryValues{{"v", dwordEntry(3)}}))
        << "a file of the cap is read";
    large.push_back(' ');
    registry.replaceFile(large);
    const DebugOutput output;
    EXPECT_TRUE(ScratchRegistry::values("").empty());
    EXPECT_EQ(output.take(), "Reading \"" + registry.file() + "\": larger than " +
                                 std::to_string(host::maxXmlBytes) +
                                 " bytes, not read; what could be read is kept\n");

    ASSERT_EQ(ScratchRegistry::set("", "w", dwordEntry(4)), status(host::ERROR_SUCCESS));
    EXPECT_EQ(std::filesystem::file_size(registry.file() + ".damaged"), large.size());
    EXPECT_NE(output.take().find("\"" + registry.file() + "\" was not read whole; it is kept as \"" +
                                 registry.file() + ".damaged\""),
              std::string::npos);
    registry.replaceFile(TempDir::read(registry.file()));
    EXPECT_EQ(ScratchRegistry::values(""), (RegistryValues{{"w", dwordEntry(4)}}));

    const std::string before = TempDir::read(registry.file());
    EXPECT_EQ(ScratchRegistry::set("", "large", textEntry(std::string(host::maxXmlBytes, 'x'))),
              status(host::ERROR_WRITE_FAULT));
    EXPECT_EQ(output.take(), "Saving \"" + registry.file() + "\" failed: File too large\n");
    EXPECT_EQ(TempDir::read(registry.file()), before);
    EXPECT_EQ(ScratchRegistry::values(""), (RegistryValues{{"w", dwordEntry(4)}}));
}

TEST(HostRegistry, UnreadableEntriesAreSkippedOneByOne) {
    const ScratchRegistry registry;
    registry.replaceFile(R"(<registry><key name="S">
        <value name="a" type="REG_DWORD" dword="7"/>
        <value name="A" type="REG_DWORD" dword="8"/>
        <value name="b" type="REG_DWORD" dword="x"/>
        <value name="c" type="REG_BINARY" hex="0g"/>
        <value type="REG_SZ" text="no name"/>
        <value name="d" type="REG_SZ" text="kept"/>
        <key><value name="lost" type="REG_SZ" text="x"/></key>
    </key></registry>)");
    EXPECT_EQ(ScratchRegistry::values("s"), (RegistryValues{{"a", dwordEntry(7)}, {"d", textEntry("kept")}}));
}

TEST(HostRegistry, BuffersTooSmallAskForMore) {
    const ScratchRegistry registry;
    ScratchRegistry::set("Software", "name", textEntry("123456789"));
    host::HKEY key = create("Software");
    char name[8];
    host::BYTE data[16];
    host::DWORD nameLength = 4; // "name" needs 5 with its zero
    host::DWORD dataLength = sizeof data;
    EXPECT_EQ(host::RegEnumValue(key, 0, name, &nameLength, nullptr, nullptr, data, &dataLength),
              status(host::ERROR_MORE_DATA));
    nameLength = 5;
    dataLength = 9;
    EXPECT_EQ(host::RegEnumValue(key, 0, name, &nameLength, nullptr, nullptr, data, &dataLength),
              status(host::ERROR_MORE_DATA));
    EXPECT_EQ(dataLength, 10u);
    EXPECT_EQ(host::RegEnumValue(key, 0, name, &nameLength, nullptr, nullptr, data, &dataLength),
              status(host::ERROR_SUCCESS));
    EXPECT_EQ(nameLength, 4u);
    EXPECT_EQ(host::RegEnumValue(key, 1, name, &nameLength, nullptr, nullptr, data, &dataLength),
              status(host::ERROR_NO_MORE_ITEMS));

    host::HKEY readOnly = nullptr;
    ASSERT_EQ(host::RegOpenKeyEx(key, "", 0, host::KEY_QUERY_VALUE, &readOnly), status(host::ERROR_SUCCESS));
    EXPECT_EQ(host::RegSetValueEx(readOnly, "x", 0, host::REG_SZ, data, 1),
              status(host::ERROR_ACCESS_DENIED));
    host::RegCloseKey(readOnly);
    EXPECT_EQ(host::RegCloseKey(readOnly), status(host::ERROR_INVALID_HANDLE));
    EXPECT_EQ(host::RegCloseKey(HKEY_CURRENT_USER), status(host::ERROR_SUCCESS));
    host::RegCloseKey(key);
}

// Every byte but zero comes back as written, in key names, value names and texts; a file written with
// the library's own escapes reads as it always did.
TEST(HostRegistry, EveryByteOfNamesAndTextsRoundTrips) {
    const TempDir dir;
    std::string bytes;
    for (int byte = 1; byte < 256; ++byte) {
        bytes += static_cast<char>(byte);
    }
    host::StoredKey root;
    host::StoredKey& key = root.subKeys.emplace_back(host::StoredKey{bytes, {}, {}});
    key.values.push_back({bytes, host::REG_SZ, bytes + '\0'});
    // Printable ASCII, which the file keeps readable.
    const std::string printable = bytes.substr(0x20 - 1, 0x7F - 0x20);
    for (int byte = 1; byte < 256; ++byte) {
        // Numbered too, so that no two names differ only in case.
        key.values.push_back(
            {std::to_string(byte) + static_cast<char>(byte), host::REG_SZ, printable + '\0'});
    }
    const std::string file = dir.file("registry.xml");
    ASSERT_EQ(host::writeRegistryFile(file, root), host::ERROR_SUCCESS);
    const host::StoredKey back = host::readRegistryFile(file);
    ASSERT_EQ(back.subKeys.size(), 1u);
    EXPECT_EQ(back.subKeys[0].name, bytes);
    ASSERT_EQ(back.subKeys[0].values.size(), key.values.size());
    for (std::size_t at = 0; at < key.values.size(); ++at) {
        EXPECT_EQ(back.subKeys[0].values[at].name, key.values[at].name);
        EXPECT_EQ(back.subKeys[0].values[at].data, key.values[at].data) << key.values[at].name;
    }

    const host::StoredKey old = host::readRegistryFile(dir.write(
        "old.xml", "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\n<registry>\n    <key name=\"a&lt;b\">\n"
                   "        <value name=\"&quot;x&#x09;\" type=\"REG_SZ\" text=\"&amp; &gt;\" />\n"
                   "    </key>\n</registry>\n"));
    ASSERT_EQ(old.subKeys.size(), 1u);
    EXPECT_EQ(old.subKeys[0].name, "a<b");
    ASSERT_EQ(old.subKeys[0].values.size(), 1u);
    EXPECT_EQ(old.subKeys[0].values[0].name, "\"x\t");
    EXPECT_EQ(old.subKeys[0].values[0].data, std::string("& >") + '\0');
}

} // namespace
