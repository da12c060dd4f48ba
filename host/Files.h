#pragma once
// Files and directories. Every path may use '\' as its separator: it is turned
// into '/' before the system sees it. Opening a directory as a file fails, as
// it does on the platform the engine was written for.

#include "host/Types.h"

#include <cstddef>
#include <cstdio>
#include <string>

namespace host {

// The path as the system takes it: every '\' becomes '/'.
std::string systemPath(const char* path);

// The C library's stdio, with the path rule above. fopen opens regular files only (a link to one counts), and
// never waits for the other end of a pipe: a pipe, a device or a folder in the file's place makes it fail.
std::FILE* fopen(const char* path, const char* mode);
std::size_t fread(void* data, std::size_t size, std::size_t count, std::FILE* file);
std::size_t fwrite(const void* data, std::size_t size, std::size_t count, std::FILE* file);
int fclose(std::FILE* file);
int fseek(std::FILE* file, long offset, int origin);
long ftell(std::FILE* file);
// Renames a file, replacing the target.
int rename(const char* from, const char* to);

// What a path holds, told without ever blocking: a named pipe, a device or a socket is never opened.
enum class FileKind {
    Missing,    // nothing there (nor a folder on the way)
    Regular,    // a regular file this process can open for reading (a link to one counts)
    Folder,     // a directory
    Special,    // a pipe, a device or a socket: not a usable file
    Unreadable, // something is there, but it cannot be read (no permission, a read error, a broken folder)
};
// The kind of the path; *error, when given, receives the system's error number of a failed look (0 else).
FileKind GetFileKind(const char* path, int* error = nullptr);
// "missing", "a regular file", "a folder", "not a usable file (a pipe, device or socket)" or the reason
// for the error number: text for the log.
std::string describeFileKind(FileKind kind, int error);

constexpr DWORD FILE_ATTRIBUTE_READONLY = 0x01;
constexpr DWORD FILE_ATTRIBUTE_DIRECTORY = 0x10;
constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x80;
constexpr DWORD INVALID_FILE_ATTRIBUTES = 0xFFFFFFFF;

DWORD GetFileAttributes(const char* path);
BOOL CreateDirectory(const char* path, void* securityAttributes);
BOOL RemoveDirectory(const char* path);
BOOL DeleteFile(const char* path);
// A second name for an existing file: the file lives on under it when the first name is replaced. Fails
// when the new name is taken or the existing one is a directory.
BOOL CreateHardLink(const char* fileName, const char* existingFileName, void* securityAttributes);

struct WIN32_FIND_DATA {
    DWORD dwFileAttributes = 0;
    FILETIME ftCreationTime;
    FILETIME ftLastAccessTime;
    FILETIME ftLastWriteTime;
    DWORD nFileSizeHigh = 0;
    DWORD nFileSizeLow = 0;
    char cFileName[MAX_PATH] = {};
};

// The pattern's folder is listed; its last part may hold '*' and '?' ("*.*" lists everything, "." and ".."
// too).
HANDLE FindFirstFile(const char* pattern, WIN32_FIND_DATA* data);
BOOL FindNextFile(HANDLE listing, WIN32_FIND_DATA* data);
BOOL FindClose(HANDLE listing);

constexpr DWORD GENERIC_READ = 0x80000000;
constexpr DWORD GENERIC_WRITE = 0x40000000;
constexpr DWORD CREATE_ALWAYS = 2;
constexpr DWORD OPEN_EXISTING = 3;

// Only what the engine asks of it: an existing file opened for reading, or one created for writing.
HANDLE CreateFile(const char* path, DWORD access, DWORD shareMode, void* securityAttributes,
                  DWORD disposition, DWORD flags, HANDLE templateFile);
BOOL GetFileTime(HANDLE file, FILETIME* creation, FILETIME* lastAccess, FILETIME* lastWrite);

// The executable's path (module must be null); the length copied, 0 on failure.
DWORD GetModuleFileName(void* module, char* buffer, DWORD size);
// The current directory; the length copied, or the size needed when the buffer is too small; 0 on failure.
DWORD GetCurrentDirectory(DWORD size, char* buffer);

namespace testing {
// Runs the action (null: none) with the path between fopen's look at what the path holds and its open, so
// that a test can put something else in the file's place meanwhile.
void runBetweenLookAndOpen(void (*action)(const std::string& path));
// Makes GetModuleFileName report the path (empty: the program's own again), so that a test can give the
// program a folder of its own.
void useModuleFileName(const std::string& path);
std::string moduleFileName();
} // namespace testing

} // namespace host
