#pragma once
// Small path helpers: existence, directory trees, file names made from player names, splitting.
// Paths may use '\' or '/' as separators.

#include <string>

namespace kernel {

// The path is a regular file that can be opened for reading (a directory, a pipe, a device or a socket is
// not; nothing here ever blocks).
bool fileExists(const std::string& path);

// What a reader of a stored file (settings, players, scores, saved games) finds at the path: nothing there
// (a first start), a file to read, or something that is there but cannot be used (no permission, a read
// error, a folder, a pipe), which is left alone: never taken for a missing file and saved over.
enum class StoredFile { Missing, Readable, Unusable };
// reason, when given, receives the text for the log of an unusable one.
StoredFile storedFileState(const std::string& path, std::string* reason = nullptr);

// Creates every missing directory of the path; failures (an existing directory) are ignored.
void createDirectoryTree(const std::string& path);

// A name made safe as a file name: space \ / * | : ? " < > _ become "_c_" with c in 0..9 or '_'.
// A space is kept as it is when keepSpaces is true.
std::string escapeFileName(const std::string& name, bool keepSpaces);
// The name that escapeFileName (spaces escaped too) turns into the text; false, and *name untouched, when no
// name escapes to it.
bool unescapeFileName(const std::string& escaped, std::string* name);

// The directory of the program file, without a trailing separator; empty when it cannot be read.
std::string applicationDirectory();

// Every '\' becomes '/', then one leading '/' is dropped: the form of resource file names.
std::string normaliseResourcePath(const std::string& path);

// The text after the last '.', lower-cased; the whole name lower-cased when it has no '.'.
std::string fileExtensionLower(const std::string& name);

// The text before the last '.'; the whole name when it has no '.'.
std::string stripFileExtension(const std::string& name);

namespace FileUtil {

// Deletes everything below the directory and the directory itself. Failures are skipped silently;
// paths shorter than 2 characters are ignored, so a stray "" or "\" never empties a root.
void DeleteDirectoryTree(const std::string& path);

// The process's current directory; empty when it cannot be read.
std::string CurrentDirectory();

// In place: every '\' becomes '/', then runs of '/' collapse into one.
void NormalisePath(std::string& path);

} // namespace FileUtil

} // namespace kernel
