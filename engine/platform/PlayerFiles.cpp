#include "engine/platform/PlayerFiles.h"

#include "engine/kernel/FileAccess.h"
#include "engine/kernel/PathUtil.h"
#include "host/DamagedFiles.h"
#include "host/Files.h"

#include <algorithm>
#include <string>
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

kernel::SmartPtr<kernel::ValueDocument> loadPlayerFile(const std::string& path, kernel::DocumentRead* read) {
    kernel::SmartPtr<kernel::ValueDocument> document = makeDocument();
    const kernel::DocumentRead outcome = document->loadFile(path);
    const bool found = outcome.result == kernel::DocumentRead::Result::Whole || outcome.isDamaged();
    if (read != nullptr) {
        *read = outcome;
    }
    return found ? document : nullptr;
}

bool keepDamagedPlayerFile(const std::string& path) {
    return host::keepDamagedFile(kernel::storageFileName(playerFileMode(), path));
}

std::vector<std::string> profileNamesInFolder(const std::string& folder) {
    const std::string suffix = kernel::storageFileName(playerFileMode(), profileSuffix);
    std::vector<std::string> files;
    host::WIN32_FIND_DATA found;
    const host::HANDLE listing = host::FindFirstFile((folder + "/*").c_str(), &found);
    if (listing == INVALID_HANDLE_VALUE) {
        return {};
    }
    do {
        const std::string file = found.cFileName;
        if ((found.dwFileAttributes & host::FILE_ATTRIBUTE_DIRECTORY) == 0 && file.size() > suffix.size() &&
            file.compare(file.size() - suffix.size(), suffix.size(), suffix) == 0) {
            files.push_back(file.substr(0, file.size() - suffix.size()));
        }
    } while (host::FindNextFile(listing, &found));
    host::FindClose(listing);
    std::sort(files.begin(), files.end());
    std::vector<std::string> names;
    for (const std::string& file : files) {
        if (std::string name; kernel::unescapeFileName(file, &name)) {
            names.push_back(std::move(name));
        }
    }
    return names;
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
