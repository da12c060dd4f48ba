#include "engine/kernel/Logger.h"
#include "engine/kernel/PathUtil.h"
#include "engine/kernel/RegistryInt.h"
#include "engine/kernel/RegistryString.h"
#include "engine/kernel/ScalarValue.h"
#include "engine/kernel/ValueDocument.h"
#include "host/Files.h"
#include "host/Testing.h"

#include "RuntimeDir.h"
#include "ScratchRegistry.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <string>

using kernel::Logger;
using kernel::RegistryInt;
using kernel::RegistryString;
using namespace testsupport;

namespace {

namespace fs = std::filesystem;

TEST(RegistryPath, SplitsKeyPathFromValueName) {
    const struct {
        const char* path;
        const char* keyPath;
        const char* valueName;
    } cases[] = {
        {"Software/A/B/v", "Software\\A\\B", "v"},
        {"Software\\A\\v\\", "Software\\A", "v"},
        {"v", "", "v"},
        {"\\v", "", "v"},
        {"Software/Maker\\Game/id", "Software\\Maker\\Game", "id"},
    };
    for (const auto& entry : cases) {
        SCOPED_TRACE(entry.path);
        const RegistryInt number(entry.path, HKEY_CURRENT_USER);
        EXPECT_EQ(number.getKeyPath(), entry.keyPath);
        EXPECT_EQ(number.getValueName(), entry.valueName);
        const RegistryString text(entry.path, HKEY_CURRENT_USER, "");
        EXPECT_EQ(text.getKeyPath(), entry.keyPath);
        EXPECT_EQ(text.getValueName(), entry.valueName);
    }
}

// Making the logger deletes nothing (a second copy of the program makes one too); the copy that runs then
// empties the log folder, but for its own log.
TEST(Logger, EmptiesTheLogFolderAndKeepsItsSubFolders) {
    const RuntimeDir locks;
    TempDir dir;
    dir.write("log/old.log", "x");
    dir.write("log/sub/older.log", "x");
    dir.write("log/sub/deeper/note.txt", "x");
    dir.write("other/keep.txt", "x");
    dir.write("keep.txt", "x");

    const Logger logger(dir.path().string());
    EXPECT_TRUE(fs::exists(dir.path() / "log/old.log"));
    EXPECT_TRUE(fs::exists(dir.path() / "log/sub/deeper/note.txt"));
    const std::string prefix = dir.path().string() + "\\log\\";
    const std::string name = logger.getLogFileName();
    ASSERT_EQ(name.substr(0, prefix.size()), prefix);
    EXPECT_TRUE(
        std::regex_match(name.substr(prefix.size()), std::regex(R"(\d{4}-\d\d-\d\d \d\d-\d\d-\d\d\.log)")))
        << name;
    // Only the name is made: nothing writes the file.
    EXPECT_FALSE(fs::exists(host::systemPath(name.c_str())));

    const std::string own = dir.write("log/" + name.substr(prefix.size()), "written since the start\n");
    logger.removeEarlierLogs();
    EXPECT_TRUE(fs::is_directory(dir.path() / "log/sub/deeper"));
    for (const auto& entry : fs::recursive_directory_iterator(dir.path() / "log")) {
        EXPECT_TRUE(entry.is_directory() || entry.path() == own) << entry.path();
    }
    EXPECT_EQ(TempDir::read(own), "written since the start\n");
    EXPECT_TRUE(fs::exists(dir.path() / "other/keep.txt"));
    EXPECT_TRUE(fs::exists(dir.path() / "keep.txt"));
}

TEST(Logger, MakesAMissingLogFolderAndDoesNothingWithoutADirectory) {
    const RuntimeDir locks;
    TempDir dir;
    const Logger logger(dir.path().string());
    EXPECT_TRUE(fs::is_directory(dir.path() / "log"));
    EXPECT_EQ(Logger::instance(), nullptr);

    const Logger unknown("");
    EXPECT_EQ(unknown.getLogFileName(), "");
}

// The program's logger is where a failed save is heard after the run: once a save fails, the run's file
// "log/<date> <time>.log" below the program's folder holds the file's name and the reason.
TEST(Logger, TheProgramsLoggerWritesAFailedSaveToTheRunsLogFile) {
    const RuntimeDir locks;
    TempDir dir;
    const fs::path folder = fs::path(host::systemPath(kernel::applicationDirectory().c_str())) / "log";
    Logger* logger = Logger::create();
    ASSERT_NE(logger, nullptr);
    const fs::path expected = host::systemPath(logger->getLogFileName().c_str());

    const kernel::SmartPtr<kernel::ValueDocument> scores = new kernel::ValueDocument();
    scores->setFileMode(kernel::modeFile);
    scores->setSavePath(dir.file("scores.xml"));
    scores->setChild(new kernel::ScalarValue("best", "Int", "700"));
    host::testing::failCall("writeFileAtomically:write", ENOSPC);
    EXPECT_EQ(scores->save(), kernel::SaveResult::Failed);
    host::testing::clearFailures();
    Logger::destroy();

    ASSERT_TRUE(fs::is_regular_file(expected)) << expected;
    EXPECT_EQ(expected.parent_path(), folder);
    EXPECT_TRUE(
        std::regex_match(expected.filename().string(), std::regex(R"(\d{4}-\d\d-\d\d \d\d-\d\d-\d\d\.log)")))
        << expected;
    const std::string text = TempDir::read(expected.string());
    EXPECT_NE(text.find("Saving \"" + dir.file("scores.xml") + "\" failed: No space left on device\n"),
              std::string::npos)
        << text;
    fs::remove(expected);
}

TEST(RegistryValues, WriteTheirValuesAndReportFailures) {
    const ScratchRegistry registry;
    RegistryInt number("Software/Maker/Game/volume", HKEY_CURRENT_USER);
    number.setValue(-5);
    host::testing::failCall("RegSetValueEx", host::ERROR_WRITE_FAULT, 1);
    EXPECT_EQ(number.write(), status(host::ERROR_WRITE_FAULT));
    EXPECT_TRUE(ScratchRegistry::values("Software\\Maker\\Game").empty());
    host::testing::failCall("RegCreateKeyEx", host::ERROR_ACCESS_DENIED, 1);
    EXPECT_EQ(number.write(), status(host::ERROR_ACCESS_DENIED));

    EXPECT_EQ(number.write(), status(host::ERROR_SUCCESS));
    RegistryString text("Software\\Maker\\Game\\dgfilename\\", HKEY_CURRENT_USER, "default");
    EXPECT_EQ(text.write(), status(host::ERROR_SUCCESS));
    EXPECT_EQ(ScratchRegistry::values("Software\\Maker\\Game"),
              (RegistryValues{{"volume", dwordEntry(-5)}, {"dgfilename", textEntry("default")}}));
    text.setValue("");
    EXPECT_EQ(text.write(), status(host::ERROR_SUCCESS));
    // The terminating zero is stored even for an empty text.
    EXPECT_EQ(ScratchRegistry::values("Software\\Maker\\Game")[1].second, textEntry(""));
}

} // namespace
