#pragma once
// Replacing a file whole: the one way saves reach the disk, so that a crash, a power cut or a full disk
// leaves either the old file or the new one, and a failed save is heard.

#include <string>

namespace host {

// What writeFileAtomically did: error 0 when the target holds the new bytes, else the system's error number
// (errno) of the step that failed.
struct [[nodiscard]] FileWriteResult {
    int error = 0;
    bool succeeded() const { return error == 0; }
};

// Permission bits of a new file, before the user's file-creation mask takes its share.
constexpr unsigned sharedFile = 0666;
constexpr unsigned privateFile = 0600;

// Writes the bytes to a temporary file beside the target, named "<target>.XXXXXX.tmp" (X a letter or a
// digit), flushes it to the disk, renames it over the target and flushes the folder. A target that holds
// these very bytes already is left as it is (nothing is written or flushed): only saves that change
// something reach the disk. Before that, the
// temporaries of this same target that killed writers left behind are removed: a writer at work (in this
// process or another) holds a lock on its temporary until it is renamed, so only abandoned ones go.
// A target that is there but is no regular file this process can read (a folder, a pipe, a device, a file
// without read permission or with a read error) is never replaced: the save fails and says so. A failure is
// written to the problem log (host::ReportProblem) with the file's name and the reason; the target is then
// as it was, except when only the folder's flush failed (the new file is in place but may not survive a
// power cut). Every '\' of the path becomes '/'.
// Tests make a step fail with host::testing::failCall("writeFileAtomically:<step>", errno), the step being
// "open", "write", "fsync" or "rename".
FileWriteResult writeFileAtomically(const std::string& path, const std::string& bytes,
                                    unsigned permissions = sharedFile);

// The problem log's line for a save that failed: the file's name and the reason for the error number.
void reportFailedWrite(const std::string& path, int error);

} // namespace host
