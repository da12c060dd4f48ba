#include "host/AtomicWrite.h"
#include "host/System.h"
#include "host/Testing.h"

#include "DebugOutput.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <set>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

using testsupport::TempDir;

namespace {

std::set<std::string> namesIn(const std::filesystem::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

} // namespace

TEST(HostAtomicWrite, AbandonedTemporariesOfTheTargetGoAndNothingElseIsTouched) {
    TempDir dir;
    dir.write("registry.xml", "old");
    for (const char* abandoned : {"registry.xml.Ab3dE9.tmp", "registry.xml.000000.tmp"}) {
        dir.write(abandoned, "<registry><key");
    }
    std::set<std::string> kept = {
        "registry.xml",           "registry.xml.backup",     "registry.xml.AbcdefG",
        "registry.xml.Ab3dE.tmp", "registry.xml.Ab-dE9.tmp", "registry.xml.Ab3dE9.tmp.old",
        "other.xml.Ab3dE9.tmp",   "xregistry.xml.Ab3dE9.tmp"};
    for (const std::string& name : kept) {
        dir.write(name, "keep");
    }
    // Named like temporaries: a folder, a link, and the temporary of a writer still at work (it holds the
    // lock).
    std::filesystem::create_directory(dir.path() / "registry.xml.Fo1der.tmp");
    std::filesystem::create_symlink(dir.path() / "registry.xml.backup",
                                    dir.path() / "registry.xml.L1nked.tmp");
    const int busy = ::open(dir.write("registry.xml.Busy00.tmp", "half").c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(::flock(busy, LOCK_EX), 0);
    kept.insert({"registry.xml.Fo1der.tmp", "registry.xml.L1nked.tmp", "registry.xml.Busy00.tmp"});

    ASSERT_TRUE(host::writeFileAtomically(dir.file("registry.xml"), "new").succeeded());
    ::close(busy);

    EXPECT_EQ(TempDir::read(dir.file("registry.xml")), "new");
    EXPECT_EQ(namesIn(dir.path()), kept);
    EXPECT_EQ(TempDir::read(dir.file("registry.xml.backup")), "keep");
}

TEST(HostAtomicWrite, AFailedStepKeepsTheOldFileAndIsHeard) {
    const testsupport::DebugOutput output;
    TempDir dir;
    const std::string path = dir.write("save.xml", "OLD");
    const std::vector<std::pair<const char*, int>> steps = {
        {"writeFileAtomically:open", EACCES},
        {"writeFileAtomically:write", ENOSPC},
        {"writeFileAtomically:fsync", EIO},
        {"writeFileAtomically:rename", EXDEV},
    };
    for (const auto& [step, error] : steps) {
        host::testing::failCall(step, error, 1);
        EXPECT_EQ(host::writeFileAtomically(path, "NEW").error, error) << step;
        EXPECT_EQ(TempDir::read(path), "OLD") << step;
        EXPECT_EQ(namesIn(dir.path()), std::set<std::string>{"save.xml"}) << step;
        EXPECT_EQ(output.take(), "Saving \"" + path + "\" failed: " + std::strerror(error) + "\n") << step;
    }
    // A real failure, whoever runs the test: the folder is a file.
    const std::string underAFile = path + "\\inside.xml";
    EXPECT_EQ(host::writeFileAtomically(underAFile, "NEW").error, ENOTDIR);
    EXPECT_NE(output.take().find(path + "/inside.xml\" failed: Not a directory"), std::string::npos);
    EXPECT_EQ(TempDir::read(path), "OLD");
}

// A save never replaces what it could not have read: a folder, a pipe (which must not block the save either)
// or a file that cannot be read stays as it is, and the log says why.
TEST(HostAtomicWrite, WhatIsThereButUnusableIsNeverReplaced) {
    const testsupport::DebugOutput output;
    TempDir dir;
    std::filesystem::create_directory(dir.path() / "folder.xml");
    ASSERT_EQ(::mkfifo(dir.file("pipe.xml").c_str(), 0600), 0);
    const std::string unreadable = dir.write("unreadable.xml", "OLD");
    host::testing::failCall("GetFileKind:" + unreadable, EACCES);
    const std::vector<std::pair<std::string, std::string>> cases = {
        {dir.file("folder.xml"), "a folder"},
        {dir.file("pipe.xml"), "not a usable file (a pipe, device or socket)"},
        {unreadable, "cannot be read: " + host::systemErrorText(EACCES)},
    };
    for (const auto& [path, why] : cases) {
        EXPECT_FALSE(host::writeFileAtomically(path, "NEW").succeeded()) << path;
        EXPECT_EQ(output.take(), "Not saving over \"" + path + "\": " + why + "; it is left alone\n");
    }
    EXPECT_TRUE(std::filesystem::is_directory(dir.path() / "folder.xml"));
    EXPECT_TRUE(std::filesystem::is_fifo(dir.path() / "pipe.xml"));
    EXPECT_EQ(TempDir::read(unreadable), "OLD");
    EXPECT_EQ(namesIn(dir.path()), (std::set<std::string>{"folder.xml", "pipe.xml", "unreadable.xml"}));
}

// Writers of one target at the same time never take each other's temporary for abandoned.
TEST(HostAtomicWrite, ConcurrentWritersOfOneTargetAllSucceed) {
    TempDir dir;
    const std::string path = dir.file("scores.xml");
    std::vector<std::thread> writers;
    std::vector<int> failures(4, 0);
    for (std::size_t writer = 0; writer < failures.size(); ++writer) {
        writers.emplace_back([&, writer] {
            for (int round = 0; round < 20; ++round) {
                failures[writer] += host::writeFileAtomically(path, std::string(4096, 'a' + writer)).error;
            }
        });
    }
    for (std::thread& writer : writers) {
        writer.join();
    }
    EXPECT_EQ(failures, std::vector<int>(failures.size(), 0));
    EXPECT_EQ(namesIn(dir.path()), std::set<std::string>{"scores.xml"});
    EXPECT_EQ(TempDir::read(path).size(), 4096u);
}

// A save that changes nothing does not reach the disk: no step of the write runs (a failure forced on its
// first step is not met) and the file stays the file it was. Any difference is written, and a link in the
// target's place is replaced by the file even when it leads to the same bytes.
TEST(HostAtomicWrite, BytesTheFileHoldsAlreadyAreNotWrittenAgain) {
    TempDir dir;
    const std::string path = dir.file("players.plrs");
    ASSERT_TRUE(host::writeFileAtomically(path, "<Players/>").succeeded());
    struct stat before {};
    ASSERT_EQ(::stat(path.c_str(), &before), 0);

    host::testing::failCall("writeFileAtomically:open", EACCES, 1);
    EXPECT_TRUE(host::writeFileAtomically(path, "<Players/>").succeeded());
    struct stat after {};
    ASSERT_EQ(::stat(path.c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(host::writeFileAtomically(path, "<Players/>\n").error, EACCES);
    host::testing::clearFailures();

    for (const std::string& changed :
         std::vector<std::string>{"<Players/>\n", "<Players/", "<Players/)", "", std::string(40000, 'p')}) {
        ASSERT_TRUE(host::writeFileAtomically(path, changed).succeeded());
        EXPECT_EQ(TempDir::read(path), changed);
    }
    const std::string other = dir.write("elsewhere.plrs", "same");
    const std::string linked = dir.file("linked.plrs");
    std::filesystem::create_symlink(other, linked);
    ASSERT_TRUE(host::writeFileAtomically(linked, "same").succeeded());
    EXPECT_FALSE(std::filesystem::is_symlink(linked));
    EXPECT_EQ(TempDir::read(linked), "same");
    EXPECT_EQ(namesIn(dir.path()), (std::set<std::string>{"players.plrs", "elsewhere.plrs", "linked.plrs"}));
}
