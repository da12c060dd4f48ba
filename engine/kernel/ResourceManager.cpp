#include "engine/kernel/ResourceManager.h"

#include "engine/kernel/MutexLock.h"
#include "engine/kernel/NamedId.h"
#include "engine/kernel/PropertyStore.h"
#include "engine/kernel/ValueDocument.h"

#include "host/System.h"
#include "host/Threads.h"
#include "host/Time.h"

#include <algorithm>
#include <utility>

namespace kernel {
namespace {

std::atomic<ResourceManager*> theManager{nullptr};

constexpr const char* innerMutexSuffix = "4BD625E8-Q16F-4836-9F62-60D151CCE3EC";
constexpr const char* outerMutexSuffix = "4BD625E8-Q16F-4836-9F62-60D151CCE3ED";

std::string gameName() {
    PropertyStore* store = PropertyStore::instance();
    return store ? store->stringRef(ids::gameName) : std::string();
}

bool contains(const ResourceManager::Queue& queue, const std::string& name) {
    return std::find(queue.begin(), queue.end(), name) != queue.end();
}

void eraseAll(ResourceManager::Queue& queue, const std::string& name) {
    queue.erase(std::remove(queue.begin(), queue.end(), name), queue.end());
}

} // namespace

template <class Touches> bool ResourceManager::touchesAClaim(Touches touches) const {
    return std::any_of(claimed.begin(), claimed.end(),
                       [&](const SmartPtr<Resource>& resource) { return touches(*resource); });
}

// Runs work under the inner mutex once no thread is loading a resource that touches names. The loader
// holds the outer mutex for its whole pass, so taking it waits for that load to end; the order, outer
// before inner, is the loader's own. A caller's load is short and rare to meet, so it is waited out by
// looking again. Called with the inner mutex not yet held by this thread.
template <class Touches, class Work> auto ResourceManager::whenSettled(Touches touches, Work work) {
    MutexLock inner(innerMutex);
    for (;;) {
        if (inProgress && touches(*inProgress)) {
            inner.unlock();
            { MutexLock outer(outerMutex); }
        } else if (touchesAClaim(touches)) {
            inner.unlock();
            host::Sleep(1);
        } else {
            return work();
        }
        inner.lock();
    }
}

ResourceManager* ResourceManager::create() {
    if (ResourceManager* existing = theManager.load()) {
        return existing;
    }
    auto* manager = new ResourceManager();
    manager->addRef();
    theManager.store(manager);
    manager->startLoader();
    return manager;
}

ResourceManager* ResourceManager::instance() {
    return theManager.load();
}

void ResourceManager::destroy() {
    ResourceManager* manager = theManager.load();
    if (manager == nullptr) {
        return;
    }
    // Joined first: the loader must never see the manager freed under it.
    manager->stopLoader();
    theManager.store(nullptr);
    manager->release();
}

ResourceManager::ResourceManager() {
    const std::string name = gameName();
    innerMutex = host::CreateMutex(nullptr, host::FALSE, (name + innerMutexSuffix).c_str());
    outerMutex = host::CreateMutex(nullptr, host::FALSE, (name + outerMutexSuffix).c_str());
}

ResourceManager::~ResourceManager() {
    inProgress.reset();
    sections.clear();
    host::CloseHandle(innerMutex);
    host::CloseHandle(outerMutex);
}

void ResourceManager::addDefinitionPath(const std::string& path) {
    MutexLock inner(innerMutex);
    definitionFiles.push_back(path);
}

void ResourceManager::setActive() {
    loadingEnabled.store(true);
    wakeLoader();
}

void ResourceManager::loadDefinitions() {
    MutexLock inner(innerMutex);
    for (const std::string& path : definitionFiles) {
        readDefinitionFile(path);
    }
    readDefinitionCount = definitionFiles.size();
    definitionsLoaded = true;
}

void ResourceManager::readDefinitionFile(const std::string& path) {
    SmartPtr<ValueDocument> document(new ValueDocument(path));
    document->load();
    if (document->hasChild("ResourceDefaults")) {
        NodeValue& defaults = document->getNode("ResourceDefaults");
        if (defaults.hasChild("oggtowav")) {
            oggToWav.store(defaults.getValue("oggtowav").asBool());
        }
    }
    VectorValue& declared = document->getVector("Sections");
    for (std::int32_t i = 0; i < declared.childCount(); ++i) {
        addGroup(SmartPtr<ResourceGroup>(new ResourceGroup(*declared.at(i))));
    }
}

void ResourceManager::readLateDefinitions() {
    // Indexed: reading a file may not add paths, but the list is not held by reference across reads.
    while (readDefinitionCount < definitionFiles.size()) {
        readDefinitionFile(definitionFiles[readDefinitionCount++]);
    }
}

void ResourceManager::addGroup(SmartPtr<ResourceGroup> group) {
    MutexLock inner(innerMutex);
    sections[group->name()] = group;
    if (group->isAutoLoad() && !group->isAllLoaded()) {
        wakeLoader();
        autoQueue.push_back(group->name());
    }
    group->markStarted();
}

void ResourceManager::removeGroup(const std::string& name, bool unloadFirst) {
    whenSettled(
        [&](const Resource& loading) {
            const ResourceGroup* group = findGroup(name);
            return unloadFirst && group != nullptr && group->contains(loading);
        },
        [&] {
            eraseAll(requested, name);
            eraseAll(autoQueue, name);
            if (findGroup(name) == nullptr) {
                return;
            }
            if (unloadFirst) {
                unloadGroup(name);
            }
            sections.erase(name);
        });
}

void ResourceManager::unloadGroup(const std::string& name) {
    whenSettled(
        [&](const Resource& loading) {
            const ResourceGroup* group = findGroup(name);
            return group != nullptr && group->contains(loading);
        },
        [&] {
            dropFulfilledRequests();
            if (ResourceGroup* group = findGroup(name)) {
                group->unloadAll();
                // What the group's resources freed goes back to the system instead of waiting in the heap
                // for the next scene: cheap at a scene change.
                host::HeapCompact(host::GetProcessHeap(), 0);
            }
        });
}

void ResourceManager::unloadGroupExcept(const std::string& name, const std::string& kept) {
    whenSettled(
        [&](const Resource& loading) {
            const ResourceGroup* group = findGroup(name);
            return group != nullptr && group->contains(loading);
        },
        [&] {
            dropFulfilledRequests();
            if (ResourceGroup* group = lookUpGroup(name)) {
                group->unloadAllBut(kept);
            }
        });
}

// A request is done once its section was loaded whole, by the loader or by a caller who needed a resource
// first. The loader drops it only at its next look, which may come late on a busy machine: left queued, the
// request would have the loader read again whatever its owner lets go meanwhile, and keep it the whole run.
void ResourceManager::dropFulfilledRequests() {
    (void)nextGroup(requested, true);
    (void)nextGroup(autoQueue, false);
}

bool ResourceManager::loadGroup(const std::string& name) {
    MutexLock inner(innerMutex);
    ResourceGroup* group = lookUpGroup(name);
    if (group == nullptr || group->isAllLoaded()) {
        return false;
    }
    if (contains(requested, name)) {
        return true;
    }
    wakeLoader();
    requested.push_back(name);
    totalWeight += group->totalWeight();
    return true;
}

void ResourceManager::loadGroupNow(const std::string& name) {
    std::vector<std::string> unloaded;
    {
        MutexLock inner(innerMutex);
        if (const ResourceGroup* group = lookUpGroup(name)) {
            for (const auto& [id, resource] : group->resources()) {
                if (!resource->isLoaded()) {
                    unloaded.push_back(id);
                }
            }
        }
    }
    for (const std::string& id : unloaded) {
        (void)getLoadedResource(id, name);
    }
}

bool ResourceManager::isLoadingDone() {
    wakeLoader();
    if (!loadingEnabled.load()) {
        return false;
    }
    MutexLock inner(innerMutex);
    // The last resource counts as loaded before the loader lets go of it, and until then it is not
    // handed out: loading is done only once nothing is in the loader's hands.
    return nextGroup(requested, true) == nullptr && !inProgress;
}

double ResourceManager::loadingProgress() {
    MutexLock inner(innerMutex);
    if (totalWeight == 0) {
        return 1.0;
    }
    std::int32_t done = finishedWeight;
    for (const std::string& name : requested) {
        if (const ResourceGroup* group = findGroup(name)) {
            done += group->loadedWeight();
        }
    }
    return static_cast<double>(done) / totalWeight;
}

void ResourceManager::resetProgress() {
    MutexLock inner(innerMutex);
    totalWeight = 0;
    finishedWeight = 0;
    requested.clear();
}

Object* ResourceManager::getResource(const std::string& name, const std::string& section) {
    MutexLock inner(innerMutex);
    Resource* resource = lookUpResource(name, section);
    // A resource being loaded is not handed out half made.
    return resource == nullptr || isLoading(resource) ? nullptr : resource->get();
}

Object* ResourceManager::getLoadedResource(const std::string& name, const std::string& section) {
    SmartPtr<Resource> mine;
    Object* const ready =
        whenSettled([&](const Resource& loading) { return lookUpResource(name, section) == &loading; },
                    [&]() -> Object* {
                        Resource* resource = lookUpResource(name, section);
                        if (resource == nullptr || resource->isLoaded()) {
                            return resource != nullptr ? resource->get() : nullptr;
                        }
                        mine = resource;
                        claimed.push_back(mine);
                        return nullptr;
                    });
    if (!mine) {
        return ready;
    }
    mine->load();
    MutexLock inner(innerMutex);
    claimed.erase(std::find(claimed.begin(), claimed.end(), mine));
    return mine->get();
}

void ResourceManager::unloadResource(const std::string& name, const std::string& section) {
    whenSettled([&](const Resource& loading) { return lookUpResource(name, section) == &loading; },
                [&] {
                    dropFulfilledRequests();
                    Resource* resource = lookUpResource(name, section);
                    if (resource != nullptr && resource->isLoaded()) {
                        resource->unload();
                    }
                });
}

Resource* ResourceManager::findEqualResource(const Resource& resource) {
    MutexLock inner(innerMutex);
    for (const auto& [name, group] : sections) {
        for (const auto& [id, candidate] : group->resources()) {
            // Another class sharing the file would hand out an object of the wrong kind.
            if (candidate->getClassInfo() == resource.getClassInfo() && candidate->isSame(resource)) {
                return candidate.get();
            }
        }
    }
    return nullptr;
}

Resource* ResourceManager::findResource(const std::string& name, const std::string& section) {
    MutexLock inner(innerMutex);
    return lookUpResource(name, section);
}

ResourceGroup* ResourceManager::findGroup(const std::string& name) const {
    const auto it = sections.find(name);
    return it == sections.end() ? nullptr : it->second.get();
}

ResourceGroup* ResourceManager::lookUpGroup(const std::string& name) {
    ResourceGroup* group = findGroup(name);
    if (group == nullptr && definitionsLoaded && readDefinitionCount < definitionFiles.size()) {
        readLateDefinitions();
        group = findGroup(name);
    }
    return group;
}

Resource* ResourceManager::lookUpResource(const std::string& name, const std::string& section) {
    ResourceGroup* group = lookUpGroup(section);
    return group == nullptr ? nullptr : group->findResource(name);
}

bool ResourceManager::isClaimed(const Resource& resource) const {
    return touchesAClaim([&](const Resource& loading) { return &loading == &resource; });
}

bool ResourceManager::isLoading(const Resource* resource) const {
    return resource != nullptr && ((inProgress && inProgress.get() == resource) || isClaimed(*resource));
}

} // namespace kernel
