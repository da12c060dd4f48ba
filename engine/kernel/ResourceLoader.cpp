// The loader thread of the ResourceManager: one resource per pass, requested sections before auto ones.

#include "engine/kernel/MutexLock.h"
#include "engine/kernel/ResourceManager.h"

#include "host/System.h"
#include "host/Threads.h"
#include "host/Time.h"

namespace kernel {

void ResourceManager::startLoader() {
    loaderThread = host::CreateThread(nullptr, 0, &ResourceManager::loaderMain, this, 0, nullptr);
}

void ResourceManager::stopLoader() {
    wakeLoader();
    {
        MutexLock outer(outerMutex);
        running.store(false);
    }
    // The loader may have suspended itself again since the first wake.
    wakeLoader();
    if (loaderThread != nullptr) {
        host::WaitForSingleObject(loaderThread, host::INFINITE);
        host::CloseHandle(loaderThread);
        loaderThread = nullptr;
    }
}

void ResourceManager::stopLoading() {
    // Set under the inner mutex, which a load never holds: the loader looks again under it before it takes
    // a resource, so nothing starts once this returns, and the load under way is not waited for.
    {
        MutexLock inner(innerMutex);
        running.store(false);
    }
    wakeLoader();
}

host::DWORD ResourceManager::loaderMain(void* parameter) {
    static_cast<ResourceManager*>(parameter)->runLoader();
    return 0;
}

void ResourceManager::runLoader() {
    while (running.load()) {
        // Suspended rather than spinning until setActive, which wakes the loader like any request.
        const Pass pass = loadingEnabled.load() ? loadOnePass() : Pass::Idle;
        if (pass == Pass::Ended) {
            return;
        }
        if (pass == Pass::Idle) {
            // Decoding leaves the heap with free pages of file bytes and decode buffers: give them back
            // before waiting for the next request.
            host::HeapCompact(host::GetProcessHeap(), 0);
            host::SuspendThread(host::GetCurrentThread());
        }
    }
}

ResourceManager::Pass ResourceManager::loadOnePass() {
    MutexLock outer(outerMutex);
    if (instance() != this || !running.load()) {
        return Pass::Ended;
    }
    MutexLock inner(innerMutex);
    if (!running.load()) {
        return Pass::Ended;
    }
    ResourceGroup* group = nextGroup(requested, true);
    if (group == nullptr) {
        group = nextGroup(autoQueue, false);
    }
    if (group == nullptr || !group->isStarted()) {
        return Pass::Idle;
    }
    inProgress = group->nextToLoad();
    if (!inProgress) {
        return Pass::Loaded;
    }
    // A caller of getLoadedResource is loading the one under the cursor: the loader takes another of the
    // group meanwhile, or gives that load a moment when there is none.
    if (isClaimed(*inProgress)) {
        inProgress = unclaimedToLoad(*group);
        if (!inProgress) {
            inner.unlock();
            outer.unlock();
            host::Sleep(1);
            return Pass::Loaded;
        }
    }
    const SmartPtr<Resource> resource = inProgress;
    inner.unlock();
    resource->load();
    host::Sleep(0);
    inner.lock();
    inProgress.reset();
    return Pass::Loaded;
}

Resource* ResourceManager::unclaimedToLoad(const ResourceGroup& group) const {
    for (const auto& [id, resource] : group.resources()) {
        if (!resource->isLoaded() && !isClaimed(*resource)) {
            return resource.get();
        }
    }
    return nullptr;
}

ResourceGroup* ResourceManager::nextGroup(Queue& queue, bool countFinished) {
    MutexLock inner(innerMutex);
    for (auto it = queue.begin(); it != queue.end();) {
        const ResourceGroup* group = findGroup(*it);
        if (group != nullptr && !group->isAllLoaded()) {
            ++it;
            continue;
        }
        // A section removed or replaced under its name has nothing left to load here.
        if (group != nullptr && countFinished) {
            finishedWeight += group->totalWeight();
        }
        it = queue.erase(it);
    }
    return queue.empty() ? nullptr : findGroup(queue.front());
}

void ResourceManager::wakeLoader() {
    if (loaderThread == nullptr) {
        return;
    }
    host::SetLastError(0);
    for (int attempt = 0; attempt < 10; ++attempt) {
        const host::DWORD previous = host::ResumeThread(loaderThread);
        if (previous == 0 || previous == 1 || host::GetLastError() == 0) {
            return;
        }
        host::Sleep(10);
    }
}

} // namespace kernel
