#pragma once
// Reading files that may lie on disk or in the ZIP archive, plain or scrambled.

#include "engine/kernel/FileBuffer.h"

#include <string>

namespace kernel {

// File-source modes: where a file comes from, and whether it is scrambled.
enum FileMode : int {
    modeGlobal = 0,      // the global mode when an archive object exists, else plain files
    modeFile = 1,        // plain file on disk
    modeZip = 2,         // plain entry in the archive
    modeEncryptFile = 3, // scrambled file on disk ("name.!")
    modeEncryptZip = 4,  // scrambled entry in the archive ("name.!")
};

// The mode used when a caller passes mode 0 and an archive object exists; 4 until ZipArchive::create.
extern int FileSourceMode;

// The suffix of a scrambled file's name.
inline constexpr const char* scrambledSuffix = ".!";

// The outcome of loadFile. Its value is true on failure, as the loader always reported it.
enum class LoadResult : bool { Done = false, Failed = true };

// Fills the buffer with the file (mode 0..4). A missing or empty file, a missing archive entry,
// a short read and an archive mode without an archive all fail and leave the buffer as it was.
[[nodiscard]] LoadResult loadFile(const std::string& name, FileBuffer& buffer, int mode);

// Mode 0 resolved: the global mode when an archive object exists, else mode 1.
int resolveFileMode(int mode);

// The name as stored for the mode: ".!" appended for the scrambled modes.
std::string storageFileName(int mode, const std::string& name);

// Replaces the target whole through a temporary file flushed to the disk (host::writeFileAtomically), so a
// crash, a power cut or a full disk never leaves half a file, and an old file stays whole when the new one
// cannot be written; a target that is there but unusable (a folder, a pipe, an unreadable file) is left
// alone. False on failure, which is written to the problem log with the file and the reason.
[[nodiscard]] bool writeFileReplacing(const std::string& target, const std::string& bytes);

} // namespace kernel
