#include "engine/platform/PlayerFiles.h"

#include "engine/kernel/FileAccess.h"
#include "engine/kernel/PathUtil.h"
#include "host/Files.h"

#include <utility>

namespace platform {
namespace {

kernel::SmartPtr<kernel::ValueDocument> makeDocument() {
    kernel::SmartPtr<kernel::ValueDocument> document(new kernel::ValueDocument());
    document->setFileMode(playerFileMode());
    return document;
}

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

kernel::SmartPtr<kernel::ValueDocument> loadPlayerFile(const std::string& path) {
    if (!kernel::fileExists(kernel::storageFileName(playerFileMode(), path))) {
        return nullptr;
    }
    kernel::SmartPtr<kernel::ValueDocument> document = makeDocument();
    document->loadFile(path);
    return document;
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
