#include "host/AtomicWrite.h"

#include "host/Files.h"
#include "host/System.h"
#include "host/Testing.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <random>
#include <string_view>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace host {
namespace {

constexpr std::string_view temporarySuffix = ".tmp";
constexpr std::size_t randomLength = 6;
constexpr std::string_view randomCharacters =
    "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
// Names are drawn at random, so a clash is rare; the bound only keeps a folder full of them from looping.
constexpr int createAttempts = 100;

struct Place {
    std::string folder;
    std::string name;
};

Place placeOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return {".", path};
    }
    return {slash == 0 ? std::string("/") : path.substr(0, slash), path.substr(slash + 1)};
}

std::string inFolder(const Place& place, const std::string& name) {
    return place.folder == "/" ? "/" + name : place.folder + "/" + name;
}

bool isLetterOrDigit(char c) {
    return randomCharacters.find(c) != std::string_view::npos;
}

// Exactly "<name>.XXXXXX.tmp": nothing else in the folder is ever taken for a temporary of the target.
bool isTemporaryOf(std::string_view entry, std::string_view name) {
    const std::size_t randomAt = name.size() + 1;
    if (entry.size() != randomAt + randomLength + temporarySuffix.size() || !entry.starts_with(name) ||
        entry[name.size()] != '.' || !entry.ends_with(temporarySuffix)) {
        return false;
    }
    const std::string_view random = entry.substr(randomAt, randomLength);
    return std::all_of(random.begin(), random.end(), isLetterOrDigit);
}

std::string randomTemporaryName(const std::string& target) {
    thread_local std::mt19937 generator{std::random_device{}()};
    std::uniform_int_distribution<std::size_t> pick(0, randomCharacters.size() - 1);
    std::string name = target + ".";
    for (std::size_t at = 0; at < randomLength; ++at) {
        name += randomCharacters[pick(generator)];
    }
    name += temporarySuffix;
    return name;
}

// Waits for the lock. A file system without locks leaves the file unlocked; the clean-up there cannot take
// a lock either, so it removes nothing.
void lockExclusively(int fd) {
    while (::flock(fd, LOCK_EX) != 0 && errno == EINTR) {
    }
}

// The name still leads to the open file: nobody removed or replaced it in between.
bool stillNamed(int fd, const std::string& name) {
    struct stat opened {};
    struct stat named {};
    return ::fstat(fd, &opened) == 0 && ::lstat(name.c_str(), &named) == 0 && opened.st_dev == named.st_dev &&
           opened.st_ino == named.st_ino;
}

// A temporary whose lock can be taken has no writer any more: its writer was killed before the rename.
void removeIfAbandoned(const std::string& candidate) {
    // Not following links and not waiting on a pipe: only a plain file of that name is ever removed.
    const int fd = ::open(candidate.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return;
    }
    struct stat opened {};
    if (::fstat(fd, &opened) == 0 && S_ISREG(opened.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
        stillNamed(fd, candidate)) {
        ::unlink(candidate.c_str());
    }
    ::close(fd);
}

void removeAbandonedTemporaries(const Place& place) {
    DIR* folder = ::opendir(place.folder.c_str());
    if (folder == nullptr) {
        return;
    }
    while (const dirent* entry = ::readdir(folder)) {
        if (isTemporaryOf(entry->d_name, place.name)) {
            removeIfAbandoned(inFolder(place, entry->d_name));
        }
    }
    ::closedir(folder);
}

// The error number a test forces on the step (its fallback when the test named none), else 0.
int forcedError(const char* step, int fallback) {
    long code = 0;
    if (!testing::shouldFail(step, &code)) {
        return 0;
    }
    return code < 0 ? fallback : static_cast<int>(code);
}

// A new temporary, locked, in *temporary; -1 with errno set when none can be made.
int createTemporary(const std::string& target, unsigned permissions, std::string* temporary) {
    if (const int forced = forcedError("writeFileAtomically:open", EACCES)) {
        errno = forced;
        return -1;
    }
    for (int attempt = 0; attempt < createAttempts; ++attempt) {
        std::string name = randomTemporaryName(target);
        const int fd =
            ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, permissions);
        if (fd < 0 && errno != EEXIST) {
            return -1;
        }
        if (fd < 0) {
            continue;
        }
        lockExclusively(fd);
        // Another writer's clean-up may have found the file between its creation and the lock and removed it
        // as abandoned: then it is not ours to write, and a new one is made.
        if (stillNamed(fd, name)) {
            *temporary = std::move(name);
            return fd;
        }
        ::close(fd);
    }
    errno = EEXIST;
    return -1;
}

int writeAll(int fd, const std::string& bytes) {
    if (const int forced = forcedError("writeFileAtomically:write", ENOSPC)) {
        return forced;
    }
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t count = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0) {
            return errno;
        }
        // A write that takes nothing and names no error: the disk has no room left.
        if (count == 0) {
            return ENOSPC;
        }
        written += static_cast<std::size_t>(count);
    }
    return 0;
}

int syncFile(int fd) {
    if (const int forced = forcedError("writeFileAtomically:fsync", EIO)) {
        return forced;
    }
    return ::fsync(fd) == 0 ? 0 : errno;
}

int renameOver(const std::string& temporary, const std::string& target) {
    if (const int forced = forcedError("writeFileAtomically:rename", EIO)) {
        return forced;
    }
    return ::rename(temporary.c_str(), target.c_str()) == 0 ? 0 : errno;
}

// Makes the rename itself survive a power cut. A file system that cannot flush a folder (EINVAL) has
// nothing more to offer, and that is no failure of the save.
int syncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return errno;
    }
    const int error = ::fsync(fd) == 0 || errno == EINVAL ? 0 : errno;
    ::close(fd);
    return error;
}

// The target is a plain file whose bytes are these already: it was put in place by an earlier write that
// flushed it, so writing it again would change nothing on the disk but cost two flushes. Read in pieces and
// given up at the first difference; a file that cannot be read is written.
bool holdsAlready(const std::string& target, const std::string& bytes) {
    const int fd = ::open(target.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    struct stat status {};
    bool same = ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode) &&
                static_cast<std::uint64_t>(status.st_size) == bytes.size();
    char buffer[16384];
    std::size_t compared = 0;
    while (same && compared < bytes.size()) {
        const ssize_t count = ::read(fd, buffer, std::min(sizeof buffer, bytes.size() - compared));
        if (count < 0 && errno == EINTR) {
            continue;
        }
        same =
            count > 0 && std::memcmp(buffer, bytes.data() + compared, static_cast<std::size_t>(count)) == 0;
        compared += count > 0 ? static_cast<std::size_t>(count) : 0;
    }
    // The file may have grown since the size was read.
    same = same && ::read(fd, buffer, 1) == 0;
    ::close(fd);
    return same;
}

// A rename would replace whatever is there: a file this process cannot read may be a player's whole
// progress, which the program never saw, and a pipe or a folder in a stored file's place was put there by
// someone. Such a target is left alone; the error number, or 0 for a regular file or none.
int refusedTarget(const std::string& target) {
    int error = 0;
    const FileKind kind = GetFileKind(target.c_str(), &error);
    if (kind == FileKind::Missing || kind == FileKind::Regular) {
        return 0;
    }
    ReportProblem(
        ("Not saving over \"" + target + "\": " + describeFileKind(kind, error) + "; it is left alone\n")
            .c_str());
    if (kind == FileKind::Folder) {
        return EISDIR;
    }
    return kind == FileKind::Unreadable && error != 0 ? error : EACCES;
}

FileWriteResult failed(const std::string& path, int error) {
    reportFailedWrite(path, error);
    return {error};
}

} // namespace

FileWriteResult writeFileAtomically(const std::string& path, const std::string& bytes, unsigned permissions) {
    const std::string target = systemPath(path.c_str());
    if (const int refused = refusedTarget(target)) {
        return {refused};
    }
    if (holdsAlready(target, bytes)) {
        return {};
    }
    const Place place = placeOf(target);
    // First, so that the room they take is free again for this write.
    removeAbandonedTemporaries(place);

    std::string temporary;
    const int fd = createTemporary(target, permissions, &temporary);
    if (fd < 0) {
        return failed(target, errno);
    }
    int error = writeAll(fd, bytes);
    if (error == 0) {
        error = syncFile(fd);
    }
    // Renamed while still open and locked, so no clean-up can take it for abandoned before it is in place.
    if (error == 0) {
        error = renameOver(temporary, target);
    }
    if (error != 0) {
        ::unlink(temporary.c_str());
    }
    // The bytes are on the disk already (fsync), so the close has nothing left to report.
    ::close(fd);
    if (error == 0) {
        error = syncFolder(place.folder);
    }
    return error == 0 ? FileWriteResult{} : failed(target, error);
}

void reportFailedWrite(const std::string& path, int error) {
    ReportProblem(("Saving \"" + path + "\" failed: " + systemErrorText(error) + "\n").c_str());
}

} // namespace host
