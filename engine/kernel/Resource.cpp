#include "engine/kernel/Resource.h"

#include "engine/kernel/NodeValue.h"
#include "engine/kernel/PathUtil.h"
#include "engine/kernel/ResourceManager.h"

#include <utility>

namespace kernel {
namespace {

const char* flagText(bool flag) {
    return flag ? "true" : "false";
}

} // namespace

Resource::Resource(NodeValue& settings)
    : file(normaliseResourcePath(narrowString(settings.getValue("file").text()))),
      fileMode(modeFromArchive(narrowString(settings.getValue("archive").text()))) {}

Resource::Resource(std::string file) : file(std::move(file)) {}

void Resource::unload() {
    if (ResourceManager* manager = ResourceManager::instance()) {
        manager->wakeLoader();
    }
    loaded.store(false);
    error.store(false);
    finishedWeight.store(0);
}

bool Resource::isSame(const Resource& other) const {
    return fileName() == other.fileName();
}

void Resource::markLoaded() {
    finishedWeight.store(resourceWeight);
    loaded.store(true);
}

std::string Resource::toString() const {
    return Object::toString() + "Has Error: " + flagText(hasError()) +
           "; Is Loaded: " + flagText(isLoaded()) + "; File Name: " + fileName() + ";\n\t\t\t";
}

std::string Resource::fileName() const {
    const std::lock_guard<std::mutex> guard(fileLock);
    return file;
}

void Resource::setFileName(std::string name) {
    const std::lock_guard<std::mutex> guard(fileLock);
    file = std::move(name);
}

std::int32_t Resource::modeFromArchive(const std::string& archive) {
    static constexpr const char* archiveNames[] = {"file", "zip", "encryptfile", "encryptzip"};
    for (std::int32_t mode = 1; mode <= 4; ++mode) {
        if (archive == archiveNames[mode - 1]) {
            return mode;
        }
    }
    return 0;
}

} // namespace kernel
