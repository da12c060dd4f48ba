#pragma once

#include "engine/kernel/Object.h"
#include "engine/kernel/Resource.h"
#include "engine/kernel/ResourceGroup.h"
#include "engine/kernel/SmartPtr.h"

#include "host/Types.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace kernel {

// Knows every declared resource by section and id, loads requested sections on its own loader thread and
// hands loaded objects to the main thread.
//
// Threads: the main thread declares, requests, looks up and unloads; the loader thread only loads. The
// inner mutex guards sections, queues, counters and cursors; the loader holds the outer mutex for a whole
// pass (outer before inner). A resource the loader is loading is loaded with the inner mutex released; a
// main-thread operation that would load or unload that same resource waits for the load to end.
// getLoadedResource loads with the inner mutex released too, so the loader goes on meanwhile and several
// threads may load different resources at once; a resource so claimed is left to its caller by everyone
// else, who waits for that load as for the loader's.
class ResourceManager : public Object {
public:
    using Queue = std::vector<std::string>;

    // Makes the singleton and starts its loader thread, which waits for setActive.
    static ResourceManager* create();
    static ResourceManager* instance();
    // Stops and joins the loader thread, then frees the singleton.
    static void destroy();
    // For the end of a run, when nothing read is needed any more: the loader ends after the resource it is
    // loading, which it finishes and hands over, and starts nothing queued, so the join in destroy waits
    // for that one resource at most. Does not wait itself; callers may still load on their own thread.
    void stopLoading();

    void addDefinitionPath(const std::string& path);
    // Lets the loader start loading.
    void setActive();
    // Reads every definition file again; a section read again replaces the earlier one.
    void loadDefinitions();

    void addGroup(SmartPtr<ResourceGroup> group);
    void removeGroup(const std::string& name, bool unloadFirst);
    void unloadGroup(const std::string& name);
    // Unloads every resource of the section but the one with that id: for a section of alternatives of
    // which one is shown at a time, so those shown before do not pile up.
    void unloadGroupExcept(const std::string& name, const std::string& kept);

    // False when every resource of the section is loaded or no section has that name; true when queued.
    // A caller that waits for the loader must know whether there is anything to wait for.
    [[nodiscard]] bool loadGroup(const std::string& name);
    // Loads what of the section is not loaded on the calling thread, waiting for any resource another thread
    // is loading: for what takes its pictures as it is built and must not wait for the whole queue. Nothing
    // for an unknown section.
    void loadGroupNow(const std::string& name);
    // False until setActive; then true once no requested section has an unloaded resource.
    bool isLoadingDone();
    // 0 to 1 over the sections requested since the last reset; 1 when nothing was requested.
    double loadingProgress();
    void resetProgress();

    // The resource's object as it stands: null while not loaded (or being loaded) and for unknown names.
    Object* getResource(const std::string& name, const std::string& section);
    // Loads the resource on the calling thread first when it is not loaded. Safe to call from several
    // threads at once: each resource is loaded once, by whichever thread claims it first.
    Object* getLoadedResource(const std::string& name, const std::string& section);
    void unloadResource(const std::string& name, const std::string& section);
    // The first declared resource of the same class for which isSame holds, or null.
    Resource* findEqualResource(const Resource& resource);
    // The declared resource itself, or null; for checks of declarations and loading state.
    Resource* findResource(const std::string& name, const std::string& section);

    void wakeLoader();
    bool isOggToWav() const { return oggToWav.load(); }

    static constexpr ClassInfo classInfo{&Object::classInfo};
    const ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    enum class Pass { Loaded, Idle, Ended };

    ResourceManager();
    ~ResourceManager() override;

    void startLoader();
    void stopLoader();
    static host::DWORD loaderMain(void* parameter);
    void runLoader();
    Pass loadOnePass();
    ResourceGroup* nextGroup(Queue& queue, bool countFinished);
    // Drops from both queues every section that is loaded whole; called under the inner mutex before
    // anything is unloaded.
    void dropFulfilledRequests();
    Resource* unclaimedToLoad(const ResourceGroup& group) const;

    void readDefinitionFile(const std::string& path);
    void readLateDefinitions();
    ResourceGroup* findGroup(const std::string& name) const;
    // Reads definition files added since loadDefinitions when no read file declares the section.
    ResourceGroup* lookUpGroup(const std::string& name);
    Resource* lookUpResource(const std::string& name, const std::string& section);
    bool isLoading(const Resource* resource) const;
    bool isClaimed(const Resource& resource) const;
    template <class Touches> bool touchesAClaim(Touches touches) const;
    template <class Touches, class Work> auto whenSettled(Touches touches, Work work);

    std::unordered_map<std::string, SmartPtr<ResourceGroup>> sections;
    std::vector<std::string> definitionFiles;
    std::size_t readDefinitionCount = 0;
    bool definitionsLoaded = false;
    Queue requested;
    Queue autoQueue;
    std::atomic<bool> running{true};
    std::atomic<bool> loadingEnabled{false};
    std::int32_t totalWeight = 0;
    std::int32_t finishedWeight = 0;
    host::HANDLE loaderThread = nullptr;
    host::HANDLE innerMutex = nullptr;
    host::HANDLE outerMutex = nullptr;
    std::atomic<bool> oggToWav{true};
    // The resource the loader is loading with the inner mutex released; held so no removal frees it.
    SmartPtr<Resource> inProgress;
    // The resources callers of getLoadedResource are loading with the inner mutex released.
    std::vector<SmartPtr<Resource>> claimed;
};

} // namespace kernel
