#include "host/Files.h"
#include "host/System.h"
#include "host/Testing.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using testsupport::TempDir;

TEST(HostFiles, BackslashPathsReachTheSameFiles) {
    EXPECT_EQ(host::systemPath("a\\b\\c.xml"), "a/b/c.xml");
    TempDir dir;
    dir.write("sub/file.txt", "0123456789");
    const std::string name = dir.path().string() + "\\sub\\file.txt";

    std::FILE* file = host::fopen(name.c_str(), "rb");
    ASSERT_NE(file, nullptr);
    ASSERT_EQ(host::fseek(file, 0, SEEK_END), 0);
    EXPECT_EQ(host::ftell(file), 10);
    host::fclose(file);

    EXPECT_EQ(host::GetFileAttributes(name.c_str()), host::FILE_ATTRIBUTE_NORMAL);
    EXPECT_TRUE(host::DeleteFile(name.c_str()));
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "sub/file.txt"));
}

TEST(HostFiles, DirectoriesAreNotFiles) {
    TempDir dir;
    const std::string folder = dir.file("folder");
    ASSERT_TRUE(host::CreateDirectory(folder.c_str(), nullptr));
    EXPECT_FALSE(host::CreateDirectory(folder.c_str(), nullptr));
    EXPECT_EQ(host::GetLastError(), host::ERROR_ALREADY_EXISTS);

    EXPECT_EQ(host::fopen(folder.c_str(), "rb"), nullptr);
    EXPECT_EQ(
        host::CreateFile(folder.c_str(), host::GENERIC_READ, 0, nullptr, host::OPEN_EXISTING, 0, nullptr),
        INVALID_HANDLE_VALUE);
    EXPECT_FALSE(host::DeleteFile(folder.c_str()));
    EXPECT_TRUE(host::RemoveDirectory(folder.c_str()));
}

TEST(HostFiles, ListingShowsDotEntriesAndTypes) {
    TempDir dir;
    dir.write("a.txt", "a");
    dir.write("noext", "b");
    std::filesystem::create_directory(dir.path() / "child");

    std::set<std::string> files;
    std::set<std::string> folders;
    host::WIN32_FIND_DATA entry;
    const host::HANDLE listing = host::FindFirstFile((dir.path().string() + "\\*.*").c_str(), &entry);
    ASSERT_NE(listing, INVALID_HANDLE_VALUE);
    do {
        const bool isFolder = (entry.dwFileAttributes & host::FILE_ATTRIBUTE_DIRECTORY) != 0;
        (isFolder ? folders : files).insert(entry.cFileName);
    } while (host::FindNextFile(listing, &entry));
    EXPECT_EQ(host::GetLastError(), host::ERROR_NO_MORE_FILES);
    EXPECT_TRUE(host::FindClose(listing));

    EXPECT_EQ(files, (std::set<std::string>{"a.txt", "noext"}));
    EXPECT_EQ(folders, (std::set<std::string>{".", "..", "child"}));
    EXPECT_EQ(host::FindFirstFile(dir.file("missing/*.*").c_str(), &entry), INVALID_HANDLE_VALUE);
}

TEST(HostFiles, CreatedFileHasATime) {
    TempDir dir;
    const std::string name = dir.file("new.bin");
    const host::HANDLE file =
        host::CreateFile(name.c_str(), host::GENERIC_WRITE, 0, nullptr, host::CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    host::FILETIME written;
    ASSERT_TRUE(host::GetFileTime(file, nullptr, nullptr, &written));
    // Counted from 1601 in 100 ns steps: a file made now lies within an hour of the clock.
    const auto ticks = (std::uint64_t{written.dwHighDateTime} << 32) | written.dwLowDateTime;
    const auto now = (static_cast<std::uint64_t>(std::time(nullptr)) + 11644473600ULL) * 10000000ULL;
    const std::uint64_t hour = 3600ULL * 10000000ULL;
    EXPECT_LT(ticks > now ? ticks - now : now - ticks, hour);
    EXPECT_TRUE(host::CloseHandle(file));
    EXPECT_TRUE(std::filesystem::exists(name));
    EXPECT_EQ(host::CreateFile(dir.file("absent.bin").c_str(), host::GENERIC_READ, 0, nullptr,
                               host::OPEN_EXISTING, 0, nullptr),
              INVALID_HANDLE_VALUE);
}

// A stored file's reader must tell "nothing there" from "there but unusable", and a pipe in a file's place
// must never block it (opening a pipe for reading waits for a writer).
TEST(HostFiles, FileKindsAndSpecialFilesNeverBlock) {
    TempDir dir;
    const std::string regular = dir.write("plain.xml", "<a/>");
    const std::string empty = dir.write("empty.xml", "");
    const std::string pipe = dir.file("pipe.xml");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const std::string folder = dir.file("folder");
    std::filesystem::create_directory(folder);
    const std::string link = dir.file("link.xml");
    std::filesystem::create_symlink(regular, link);

    struct Case {
        std::string path;
        host::FileKind kind;
    };
    const Case cases[] = {
        {regular, host::FileKind::Regular},
        {empty, host::FileKind::Regular},
        {link, host::FileKind::Regular},
        {pipe, host::FileKind::Special},
        {folder, host::FileKind::Folder},
        {dir.file("none.xml"), host::FileKind::Missing},
        {dir.file("plain.xml\\below"), host::FileKind::Missing},
    };
    for (const Case& c : cases) {
        int error = -1;
        EXPECT_EQ(host::GetFileKind(c.path.c_str(), &error), c.kind) << c.path;
    }
    EXPECT_EQ(host::fopen(pipe.c_str(), "rb"), nullptr);
    EXPECT_EQ(host::fopen(pipe.c_str(), "wb"), nullptr);
    EXPECT_EQ(host::describeFileKind(host::FileKind::Special, 0),
              "not a usable file (a pipe, device or socket)");

    // Root reads a file of mode 000, so the unreadable case is forced through the testing switch.
    host::testing::failCall("GetFileKind:" + regular, EACCES);
    int error = 0;
    EXPECT_EQ(host::GetFileKind(regular.c_str(), &error), host::FileKind::Unreadable);
    EXPECT_EQ(host::describeFileKind(host::FileKind::Unreadable, error),
              "cannot be read: " + host::systemErrorText(EACCES));
    host::testing::clearFailures();
    EXPECT_EQ(host::GetFileKind(regular.c_str()), host::FileKind::Regular);
}

// A pipe put in a file's place between fopen's look and its open (as another program might) is opened
// without waiting for its other end, and refused; a regular file found there opens in the mode asked, as a
// stream that blocks as any other.
TEST(HostFiles, WhatTheOpenFindsIsCheckedWithoutWaiting) {
    TempDir dir;
    const std::string name = dir.file("swapped.xml");
    host::testing::runBetweenLookAndOpen([](const std::string& path) {
        std::filesystem::remove(path);
        ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    });
    for (const char* mode : {"rb", "r", "wb", "ab", "r+b", "w+"}) {
        SCOPED_TRACE(mode);
        dir.write("swapped.xml", "old");
        EXPECT_EQ(host::fopen(name.c_str(), mode), nullptr);
        EXPECT_EQ(host::GetLastError(), host::ERROR_ACCESS_DENIED);
        EXPECT_EQ(std::filesystem::status(name).type(), std::filesystem::file_type::fifo);
        std::filesystem::remove(name);
    }

    host::testing::runBetweenLookAndOpen([](const std::string& path) {
        std::filesystem::remove(path);
        std::ofstream(path, std::ios::binary) << "new";
    });
    const struct {
        const char* mode;
        const char* written; // where the mode allows it
        const char* read;    // what the stream reads back from its start
        const char* after;   // the file's bytes afterwards
    } cases[] = {
        {"rb", "", "new", "new"}, {"r+b", "N", "New", "New"}, {"wb", "w", "", "w"},
        {"w+", "w", "w", "w"},    {"ab", "a", "", "newa"},    {"a+e", "a", "newa", "newa"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        dir.write("swapped.xml", "old");
        std::FILE* file = host::fopen(name.c_str(), c.mode);
        ASSERT_NE(file, nullptr);
        EXPECT_EQ(::fcntl(::fileno(file), F_GETFL) & O_NONBLOCK, 0);
        std::fputs(c.written, file);
        char back[8] = {};
        std::rewind(file);
        EXPECT_EQ(std::string(back, std::fread(back, 1, sizeof back, file)), c.read);
        std::fclose(file);
        EXPECT_EQ(TempDir::read(name), c.after);
    }
    host::testing::runBetweenLookAndOpen(nullptr);
}

// What GetFileKind tells of a path: the kind and the reason.
struct KindFound {
    host::FileKind kind = host::FileKind::Missing;
    int error = 0;
};

// Asked by a child process that first gives up root, so that permissions hold for it; as it is when the
// tests run unprivileged.
KindFound kindAsUnprivileged(const std::string& path) {
    int channel[2];
    if (::pipe(channel) != 0) {
        ADD_FAILURE() << "no pipe";
        return {};
    }
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        constexpr uid_t nobody = 65534;
        if (::geteuid() == 0 && (::setgid(nobody) != 0 || ::setuid(nobody) != 0)) {
            ::_exit(2);
        }
        KindFound found;
        found.kind = host::GetFileKind(path.c_str(), &found.error);
        const bool sent = ::write(channel[1], &found, sizeof found) == static_cast<ssize_t>(sizeof found);
        ::_exit(sent ? 0 : 3);
    }
    ::close(channel[1]);
    KindFound found;
    const bool received = ::read(channel[0], &found, sizeof found) == static_cast<ssize_t>(sizeof found);
    ::close(channel[0]);
    int status = -1;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(received && WIFEXITED(status) && WEXITSTATUS(status) == 0) << "child status " << status;
    return found;
}

// A regular file that is there but cannot be opened or read is unreadable, with the system's reason, never
// missing: a missing file is saved over. The tests run as root, who opens and reads a file of mode 000, so
// each failure is a real one: a file of mode 000 asked about by a process without root (the open fails), and
// the process's own memory, whose first page is never mapped (the open succeeds, the read fails).
TEST(HostFiles, AFileThatCannotBeOpenedOrReadIsUnreadableNotMissing) {
    TempDir dir;
    // The folder is crossed by everyone; the file is closed to everyone but root.
    std::filesystem::permissions(dir.path(), std::filesystem::perms::owner_all |
                                                 std::filesystem::perms::group_exec |
                                                 std::filesystem::perms::others_exec);
    const std::string locked = dir.write("locked.xml", "<a/>");
    std::filesystem::permissions(locked, std::filesystem::perms::none);

    const struct {
        const char* what;
        std::string path;
        bool unprivileged;
        int error;
    } cases[] = {
        {"the open fails", locked, true, EACCES},
        {"the read fails", "/proc/self/mem", false, EIO},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        KindFound found;
        if (c.unprivileged) {
            found = kindAsUnprivileged(c.path);
        } else {
            found.kind = host::GetFileKind(c.path.c_str(), &found.error);
        }
        EXPECT_EQ(found.kind, host::FileKind::Unreadable);
        EXPECT_EQ(found.error, c.error);
        EXPECT_EQ(host::describeFileKind(found.kind, found.error),
                  "cannot be read: " + host::systemErrorText(c.error));
    }
}
