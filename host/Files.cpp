#include "host/Files.h"

#include "host/System.h"
#include "host/Testing.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

namespace host {
namespace {

// Seconds between 1601-01-01 and 1970-01-01.
constexpr std::uint64_t epochDifference = 11644473600ULL;

FILETIME toFileTime(const struct timespec& time) {
    const std::uint64_t ticks =
        (static_cast<std::uint64_t>(time.tv_sec) + epochDifference) * 10000000ULL + time.tv_nsec / 100;
    FILETIME result;
    result.dwLowDateTime = static_cast<DWORD>(ticks & 0xFFFFFFFFu);
    result.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
    return result;
}

void setErrorFromErrno() {
    switch (errno) {
    case ENOENT:
        SetLastError(ERROR_FILE_NOT_FOUND);
        break;
    case ENOTDIR:
        SetLastError(ERROR_PATH_NOT_FOUND);
        break;
    case EEXIST:
        SetLastError(ERROR_ALREADY_EXISTS);
        break;
    case ENOTEMPTY:
        SetLastError(ERROR_DIR_NOT_EMPTY);
        break;
    case ENOMEM:
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        break;
    default:
        SetLastError(ERROR_ACCESS_DENIED);
        break;
    }
}

// A failure forced by a test: the error code set, true returned.
bool forcedFailure(const char* call) {
    return testing::failsWithLastError(call, ERROR_ACCESS_DENIED);
}

// A system call's 0-or-error result as the platform reports it: TRUE, or FALSE with the error set.
BOOL reported(int result) {
    if (result != 0) {
        setErrorFromErrno();
        return FALSE;
    }
    return TRUE;
}

class FileHandle : public HandleObject {
public:
    explicit FileHandle(int fd) : fd(fd) {}
    ~FileHandle() override { ::close(fd); }
    const int fd;
};

class FindHandle : public HandleObject {
public:
    FindHandle(DIR* dir, std::string folder, std::string pattern)
        : dir(dir), folder(std::move(folder)), pattern(std::move(pattern)) {}
    ~FindHandle() override { ::closedir(dir); }
    DIR* const dir;
    const std::string folder;
    const std::string pattern;
};

bool matchesPattern(const std::string& pattern, const char* name) {
    // The platform's "*.*" also matches names without a dot.
    if (pattern == "*.*" || pattern == "*") {
        return true;
    }
    return ::fnmatch(pattern.c_str(), name, FNM_PERIOD) == 0;
}

// Fills the entry's data; false when the entry vanished in between.
bool describeEntry(const FindHandle& listing, const char* name, WIN32_FIND_DATA* data) {
    struct stat info;
    const std::string path = listing.folder + name;
    // A link is listed as the link itself, never as the folder it points to, so that deleting a
    // tree removes the link and leaves what it points to alone.
    if (::lstat(path.c_str(), &info) != 0) {
        return false;
    }
    *data = WIN32_FIND_DATA{};
    data->dwFileAttributes = S_ISDIR(info.st_mode) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL;
    data->ftLastWriteTime = toFileTime(info.st_mtim);
    data->ftLastAccessTime = toFileTime(info.st_atim);
    data->ftCreationTime = toFileTime(info.st_ctim);
    const auto size = static_cast<std::uint64_t>(info.st_size);
    data->nFileSizeLow = static_cast<DWORD>(size & 0xFFFFFFFFu);
    data->nFileSizeHigh = static_cast<DWORD>(size >> 32);
    std::strncpy(data->cFileName, name, MAX_PATH - 1);
    data->cFileName[MAX_PATH - 1] = '\0';
    return true;
}

// The next entry that matches the listing's pattern.
bool nextEntry(FindHandle& listing, WIN32_FIND_DATA* data) {
    while (struct dirent* entry = ::readdir(listing.dir)) {
        if (matchesPattern(listing.pattern, entry->d_name) && describeEntry(listing, entry->d_name, data)) {
            return true;
        }
    }
    SetLastError(ERROR_NO_MORE_FILES);
    return false;
}

// What a test runs between fopen's look at the path and its open.
std::atomic<void (*)(const std::string&)> betweenLookAndOpen{nullptr};

struct GivenModuleName {
    std::mutex lock;
    std::string path;
};

GivenModuleName& givenModuleName() {
    static GivenModuleName given;
    return given;
}

struct StreamMode {
    int flags = -1;         // for open; -1 for a mode the C library refuses
    const char* mode = "r"; // for fdopen, which neither creates nor truncates
};

// The C library's reading of fopen's mode: "r", "w" or "a", then '+' for both ways, 'x' for a file that
// must be new, 'e' for closing on exec ('b' and the rest change nothing).
StreamMode streamMode(const char* mode) {
    StreamMode stream;
    bool both = false;
    int extra = 0;
    for (const char* at = mode + (*mode != '\0' ? 1 : 0); *at != '\0'; ++at) {
        both = both || *at == '+';
        extra |= *at == 'x' ? O_EXCL : (*at == 'e' ? O_CLOEXEC : 0);
    }
    const int access = both ? O_RDWR : (*mode == 'r' ? O_RDONLY : O_WRONLY);
    switch (*mode) {
    case 'r':
        return {access | extra, both ? "r+" : "r"};
    case 'w':
        return {access | O_CREAT | O_TRUNC | extra, both ? "w+" : "w"};
    case 'a':
        return {access | O_CREAT | O_APPEND | extra, both ? "a+" : "a"};
    default:
        return stream;
    }
}

} // namespace

std::string systemPath(const char* path) {
    std::string result = path ? path : "";
    for (char& c : result) {
        if (c == '\\') {
            c = '/';
        }
    }
    return result;
}

std::FILE* fopen(const char* path, const char* mode) {
    if (path == nullptr || mode == nullptr || forcedFailure("fopen")) {
        return nullptr;
    }
    const std::string name = systemPath(path);
    if (testing::failsWithLastError(("fopen:" + name).c_str(), ERROR_ACCESS_DENIED)) {
        return nullptr;
    }
    const StreamMode stream = streamMode(mode);
    if (stream.flags < 0) {
        errno = EINVAL;
        setErrorFromErrno();
        return nullptr;
    }
    // Opening a named pipe waits for its other end, for good when there is none: only regular files are
    // opened (a new file is made by the open itself). The look first spares a device even being opened;
    // the open does not wait, should a pipe have been put in the file's place since, and what it opened is
    // looked at again.
    struct stat before;
    if (::stat(name.c_str(), &before) == 0 && !S_ISREG(before.st_mode)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return nullptr;
    }
    if (const auto action = betweenLookAndOpen.load()) {
        action(name);
    }
    const int fd = ::open(name.c_str(), stream.flags | O_NONBLOCK, 0666);
    if (fd < 0) {
        setErrorFromErrno();
        return nullptr;
    }
    struct stat info;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        SetLastError(ERROR_ACCESS_DENIED);
        return nullptr;
    }
    // A regular file never makes its reads and writes wait; the stream gets the descriptor as a blocking
    // open would have made it.
    const int status = ::fcntl(fd, F_GETFL);
    std::FILE* file =
        status < 0 || ::fcntl(fd, F_SETFL, status & ~O_NONBLOCK) != 0 ? nullptr : ::fdopen(fd, stream.mode);
    if (file == nullptr) {
        setErrorFromErrno();
        ::close(fd);
    }
    return file;
}

FileKind GetFileKind(const char* path, int* error) {
    int ignored = 0;
    int& reason = error != nullptr ? *error : ignored;
    reason = 0;
    const std::string name = systemPath(path);
    long code = 0;
    if (testing::shouldFail(("GetFileKind:" + name).c_str(), &code)) {
        reason = code > 0 ? static_cast<int>(code) : EACCES;
        return FileKind::Unreadable;
    }
    struct stat info;
    if (::stat(name.c_str(), &info) != 0) {
        reason = errno;
        return (reason == ENOENT || reason == ENOTDIR) ? FileKind::Missing : FileKind::Unreadable;
    }
    if (S_ISDIR(info.st_mode)) {
        return FileKind::Folder;
    }
    if (!S_ISREG(info.st_mode)) {
        return FileKind::Special;
    }
    // O_NONBLOCK: should the file have been swapped for a pipe since the look, the open still returns.
    const int fd = ::open(name.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        reason = errno;
        return FileKind::Unreadable;
    }
    char probe = 0;
    const bool readable = ::read(fd, &probe, 1) >= 0;
    if (!readable) {
        reason = errno;
    }
    ::close(fd);
    return readable ? FileKind::Regular : FileKind::Unreadable;
}

std::string describeFileKind(FileKind kind, int error) {
    switch (kind) {
    case FileKind::Missing:
        return "missing";
    case FileKind::Regular:
        return "a regular file";
    case FileKind::Folder:
        return "a folder";
    case FileKind::Special:
        return "not a usable file (a pipe, device or socket)";
    case FileKind::Unreadable:
        break;
    }
    return "cannot be read: " + systemErrorText(error);
}

std::size_t fread(void* data, std::size_t size, std::size_t count, std::FILE* file) {
    long code = 0;
    if (testing::shouldFail("fread", &code)) {
        // A short read: at most the number of items the test asked for (none by default).
        return code > 0 ? std::fread(data, size, std::min<std::size_t>(count, code), file) : 0;
    }
    return std::fread(data, size, count, file);
}

std::size_t fwrite(const void* data, std::size_t size, std::size_t count, std::FILE* file) {
    long code = 0;
    if (testing::shouldFail("fwrite", &code)) {
        return code > 0 ? std::fwrite(data, size, std::min<std::size_t>(count, code), file) : 0;
    }
    return std::fwrite(data, size, count, file);
}

int fclose(std::FILE* file) {
    if (file == nullptr) {
        return EOF;
    }
    const int result = std::fclose(file);
    return forcedFailure("fclose") ? EOF : result;
}

int fseek(std::FILE* file, long offset, int origin) {
    if (file == nullptr || forcedFailure("fseek")) {
        return -1;
    }
    return std::fseek(file, offset, origin);
}

long ftell(std::FILE* file) {
    if (file == nullptr || forcedFailure("ftell")) {
        return -1;
    }
    return std::ftell(file);
}

int rename(const char* from, const char* to) {
    if (forcedFailure("rename")) {
        return -1;
    }
    return std::rename(systemPath(from).c_str(), systemPath(to).c_str());
}

DWORD GetFileAttributes(const char* path) {
    struct stat info;
    if (::stat(systemPath(path).c_str(), &info) != 0) {
        setErrorFromErrno();
        return INVALID_FILE_ATTRIBUTES;
    }
    return S_ISDIR(info.st_mode) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL;
}

BOOL CreateDirectory(const char* path, void*) {
    if (forcedFailure("CreateDirectory")) {
        return FALSE;
    }
    return reported(::mkdir(systemPath(path).c_str(), 0777));
}

BOOL RemoveDirectory(const char* path) {
    if (forcedFailure("RemoveDirectory")) {
        return FALSE;
    }
    return reported(::rmdir(systemPath(path).c_str()));
}

BOOL DeleteFile(const char* path) {
    if (forcedFailure("DeleteFile")) {
        return FALSE;
    }
    const std::string name = systemPath(path);
    struct stat info;
    // The platform does not delete a directory through this call.
    if (::lstat(name.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    return reported(::unlink(name.c_str()));
}

BOOL CreateHardLink(const char* fileName, const char* existingFileName, void*) {
    if (forcedFailure("CreateHardLink")) {
        return FALSE;
    }
    const std::string existing = systemPath(existingFileName);
    struct stat info;
    if (::stat(existing.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    return reported(::link(existing.c_str(), systemPath(fileName).c_str()));
}

HANDLE FindFirstFile(const char* pattern, WIN32_FIND_DATA* data) {
    if (pattern == nullptr || data == nullptr || forcedFailure("FindFirstFile")) {
        return INVALID_HANDLE_VALUE;
    }
    const std::string full = systemPath(pattern);
    const auto slash = full.rfind('/');
    std::string folder = slash == std::string::npos ? std::string("./") : full.substr(0, slash + 1);
    std::string namePattern = slash == std::string::npos ? full : full.substr(slash + 1);
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) {
        setErrorFromErrno();
        return INVALID_HANDLE_VALUE;
    }
    auto* listing = new FindHandle(dir, std::move(folder), std::move(namePattern));
    if (!nextEntry(*listing, data)) {
        delete listing;
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    return listing;
}

BOOL FindNextFile(HANDLE handle, WIN32_FIND_DATA* data) {
    auto* listing = dynamic_cast<FindHandle*>(handle);
    if (listing == nullptr || data == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return nextEntry(*listing, data) ? TRUE : FALSE;
}

BOOL FindClose(HANDLE handle) {
    if (dynamic_cast<FindHandle*>(handle) == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return CloseHandle(handle);
}

HANDLE CreateFile(const char* path, DWORD access, DWORD, void*, DWORD disposition, DWORD, HANDLE) {
    if (path == nullptr || forcedFailure("CreateFile")) {
        return INVALID_HANDLE_VALUE;
    }
    int flags = (access & GENERIC_WRITE) ? ((access & GENERIC_READ) ? O_RDWR : O_WRONLY) : O_RDONLY;
    if (disposition == CREATE_ALWAYS) {
        flags |= O_CREAT | O_TRUNC;
    }
    const int fd = ::open(systemPath(path).c_str(), flags | O_CLOEXEC, 0666);
    if (fd < 0) {
        setErrorFromErrno();
        return INVALID_HANDLE_VALUE;
    }
    struct stat info;
    if (::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode)) {
        ::close(fd);
        SetLastError(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    return new FileHandle(fd);
}

BOOL GetFileTime(HANDLE handle, FILETIME* creation, FILETIME* lastAccess, FILETIME* lastWrite) {
    auto* file = dynamic_cast<FileHandle*>(handle);
    struct stat info;
    if (file == nullptr || ::fstat(file->fd, &info) != 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (creation) {
        *creation = toFileTime(info.st_ctim);
    }
    if (lastAccess) {
        *lastAccess = toFileTime(info.st_atim);
    }
    if (lastWrite) {
        *lastWrite = toFileTime(info.st_mtim);
    }
    return TRUE;
}

DWORD GetModuleFileName(void* module, char* buffer, DWORD size) {
    if (module != nullptr || buffer == nullptr || size == 0 || forcedFailure("GetModuleFileName")) {
        return 0;
    }
    char path[4096];
    ssize_t length = 0;
    if (const std::string given = testing::moduleFileName(); !given.empty()) {
        length = static_cast<ssize_t>(given.copy(path, sizeof(path) - 1));
    } else if ((length = ::readlink("/proc/self/exe", path, sizeof(path) - 1)) <= 0) {
        setErrorFromErrno();
        return 0;
    }
    // Like the platform: a path that does not fit is cut to the buffer and still ends in a NUL.
    const DWORD copied = std::min<DWORD>(static_cast<DWORD>(length), size - 1);
    std::memcpy(buffer, path, copied);
    buffer[copied] = '\0';
    if (copied < static_cast<DWORD>(length)) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return size;
    }
    return copied;
}

DWORD GetCurrentDirectory(DWORD size, char* buffer) {
    if (forcedFailure("GetCurrentDirectory")) {
        return 0;
    }
    char path[4096];
    if (::getcwd(path, sizeof(path)) == nullptr) {
        setErrorFromErrno();
        return 0;
    }
    const DWORD length = static_cast<DWORD>(std::strlen(path));
    if (buffer == nullptr || length + 1 > size) {
        return length + 1;
    }
    std::memcpy(buffer, path, length + 1);
    return length;
}

namespace testing {

void runBetweenLookAndOpen(void (*action)(const std::string& path)) {
    betweenLookAndOpen = action;
}

void useModuleFileName(const std::string& path) {
    GivenModuleName& given = givenModuleName();
    std::lock_guard guard(given.lock);
    given.path = path;
}

std::string moduleFileName() {
    GivenModuleName& given = givenModuleName();
    std::lock_guard guard(given.lock);
    return given.path;
}

} // namespace testing

} // namespace host
