#pragma once

#include "engine/kernel/Object.h"
#include "engine/kernel/Resource.h"
#include "engine/kernel/SmartPtr.h"

#include <cstdint>
#include <string>
#include <unordered_map>

namespace kernel {

class Value;

// One section of a resources file: its resources by id, and the cursor that tells the loader where
// to go on. The manager guards every group with its inner mutex.
class ResourceGroup : public Object {
public:
    using ResourceMap = std::unordered_map<std::string, SmartPtr<Resource>>;

    // Reads "name" and "auto", then makes one resource per Node element through the object factory,
    // sharing an already declared resource of the same file. Unregistered classes are skipped.
    explicit ResourceGroup(Value& settings);

    void addResource(const std::string& id, SmartPtr<Resource> resource);
    // Null for an id the group does not declare.
    Resource* findResource(const std::string& id) const;
    bool contains(const Resource& resource) const;
    const ResourceMap& resources() const { return members; }

    bool isAllLoaded() const;
    std::int32_t totalWeight() const;
    std::int32_t loadedWeight() const;
    // Unloads every loaded resource and rewinds the cursor.
    void unloadAll();
    // The same but for the resource with that id (unless another id shares it).
    void unloadAllBut(const std::string& kept);

    // Moves the cursor past loaded resources and returns the one it stops on. A resource unloaded behind
    // the cursor would otherwise keep the group unfinished for ever, so an end reached early rewinds once.
    Resource* nextToLoad();
    void rewind() { cursor = members.begin(); }

    const std::string& name() const { return groupName; }
    bool isAutoLoad() const { return autoLoad; }
    bool isStarted() const { return started; }
    void markStarted() { started = true; }

    std::string toString() const override;

    static constexpr ClassInfo classInfo{&Object::classInfo};
    const ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    void addDeclared(Value& element);
    Resource* skipLoaded();
    // Null spares nothing.
    void unloadAllBut(const Resource* spared);

    ResourceMap members;
    ResourceMap::iterator cursor;
    std::string groupName;
    bool autoLoad = false;
    bool started = false;
};

} // namespace kernel
