#pragma once

#include "engine/kernel/SmartPtr.h"
#include "engine/kernel/ValueDocument.h"

#include <set>
#include <string>

namespace platform {

// What a run has learnt of the player files it read. A file that was not read whole still holds what the
// reader could not make out: it is kept once under another name before the first save that replaces it. A
// file that is there but unusable is never saved over in the run: what the program holds of it is not what
// the file holds, and must not replace it should the file become readable.
class PlayerFileStates {
public:
    // The player file read (loadPlayerFile), with how the reading went noted; read, when given, receives it.
    kernel::SmartPtr<kernel::ValueDocument> load(const std::string& path,
                                                 kernel::DocumentRead* read = nullptr);
    // A file read whole whose content was cut to fit: kept like one not read whole.
    void noteNotReadWhole(const std::string& path) { notReadWhole.insert(path); }
    bool isNotReadWhole(const std::string& path) const { return notReadWhole.contains(path); }
    bool isLeftAlone(const std::string& path) const { return leftAlone.contains(path); }
    // Before a save over the file. The save goes on also when the file could not be kept (the problem log
    // says so): the player's new progress is not held back for the old file's.
    void keepIfNotReadWhole(const std::string& path);
    // The file was deleted: nothing read of it holds any longer.
    void forget(const std::string& path);

private:
    std::set<std::string> notReadWhole;
    std::set<std::string> leftAlone;
};

} // namespace platform
