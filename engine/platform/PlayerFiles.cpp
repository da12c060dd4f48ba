#include "engine/platform/PlayerFiles.h"

#include "engine/kernel/FileAccess.h"
#include "engine/kernel/PathUtil.h"
#include "host/Files.h"
#include "host/System.h"

#include <string>
#include <utility>

namespace platform {
namespace {

kernel::SmartPtr<kernel::ValueDocument> makeDocument() {
    kernel::SmartPtr<kernel::ValueDocument> document(new kernel::ValueDocument());
    document->setFileMode(playerFileMode());
    return document;
}

// Copies of earlier damaged files are never replaced; past this many, a new one is not kept.
constexpr int maxDamagedCopies = 9;

std::string folderOf(const std::string& path) {
    const std::size_t separator = path.find_last_of("/\\");
    return separator == std::string::npos ? std::string() : path.substr(0, separator);
}

} // namespace

int playerFileMode() {
    const int mode = kernel::resolveFileMode(kernel::modeGlobal);
    const bool scrambled = mode == kernel::modeEncryptFile || mode == kernel::modeEncryptZip;
    return scrambled ? kernel::modeEncryptFile : kernel::modeFile;
}

kernel::SmartPtr<kernel::ValueDocument> loadPlayerFile(const std::string& path, bool* damaged) {
    if (!kernel::fileExists(kernel::storageFileName(playerFileMode(), path))) {
        return nullptr;
    }
    kernel::SmartPtr<kernel::ValueDocument> document = makeDocument();
    const kernel::DocumentRead read = document->loadFile(path);
    if (damaged != nullptr) {
        *damaged = read.isDamaged();
    }
    return document;
}

// A link, not a copy: nothing is read, however large the file, and the save that follows replaces only the
// first name.
bool keepDamagedPlayerFile(const std::string& path) {
    const std::string stored = kernel::storageFileName(playerFileMode(), path);
    for (int number = 1; number <= maxDamagedCopies; ++number) {
        const std::string kept = stored + ".damaged" + (number > 1 ? std::to_string(number) : std::string());
        if (host::CreateHardLink(kept.c_str(), stored.c_str(), nullptr)) {
            host::OutputDebugString(
                ("\"" + stored + "\" was not read whole; it is kept as \"" + kept + "\"\n").c_str());
            return true;
        }
        if (host::GetLastError() != host::ERROR_ALREADY_EXISTS) {
            break;
        }
    }
    host::OutputDebugString(("\"" + stored + "\" was not read whole and could not be kept\n").c_str());
    return false;
}

bool savePlayerFile(const std::string& path, kernel::SmartPtr<kernel::Value> top) {
    const std::string folder = folderOf(path);
    if (!folder.empty()) {
        kernel::createDirectoryTree(folder);
    }
    kernel::SmartPtr<kernel::ValueDocument> document = makeDocument();
    document->setChild(std::move(top));
    document->setSavePath(path);
    return document->save() == kernel::SaveResult::Saved;
}

void deletePlayerFile(const std::string& path) {
    host::DeleteFile(path.c_str());
    const std::string stored = kernel::storageFileName(playerFileMode(), path);
    if (stored != path) {
        host::DeleteFile(stored.c_str());
    }
}

} // namespace platform
