#include "engine/platform/PlayerFileStates.h"

#include "engine/platform/PlayerFiles.h"

#include <utility>

namespace platform {

kernel::SmartPtr<kernel::ValueDocument> PlayerFileStates::load(const std::string& path,
                                                               kernel::DocumentRead* read) {
    kernel::DocumentRead outcome;
    kernel::SmartPtr<kernel::ValueDocument> document = loadPlayerFile(path, &outcome);
    if (outcome.isDamaged()) {
        notReadWhole.insert(path);
    } else if (outcome.isUnusable()) {
        leftAlone.insert(path);
    }
    if (read != nullptr) {
        *read = std::move(outcome);
    }
    return document;
}

void PlayerFileStates::keepIfNotReadWhole(const std::string& path) {
    if (notReadWhole.erase(path) > 0) {
        keepDamagedPlayerFile(path);
    }
}

void PlayerFileStates::forget(const std::string& path) {
    notReadWhole.erase(path);
    leftAlone.erase(path);
}

} // namespace platform
