#include "engine/kernel/ResourceGroup.h"

#include "engine/kernel/NodeValue.h"
#include "engine/kernel/ObjectFactory.h"
#include "engine/kernel/ResourceManager.h"

#include <utility>

namespace kernel {
namespace {

const char* yesNo(bool flag) {
    return flag ? "yes" : "no";
}

} // namespace

ResourceGroup::ResourceGroup(Value& settings) : cursor(members.begin()) {
    NodeValue& node = settings.asNode();
    groupName = narrowString(node.getValue("name").text());
    autoLoad = node.getValue("auto").asBool();
    for (const SmartPtr<Value>& element : node.children()) {
        if (element->isNode()) {
            addDeclared(*element);
        }
    }
    rewind();
}

void ResourceGroup::addDeclared(Value& element) {
    Object* made = ObjectFactory::instance()->createObject(element);
    if (made == nullptr) {
        return;
    }
    SmartPtr<Object> holder(made);
    if (!made->isKindOf(Resource::classInfo)) {
        return;
    }
    SmartPtr<Resource> resource(static_cast<Resource*>(made));
    if (ResourceManager* manager = ResourceManager::instance()) {
        if (Resource* declared = manager->findEqualResource(*resource)) {
            resource = declared;
        }
    }
    addResource(element.name(), resource);
}

void ResourceGroup::addResource(const std::string& id, SmartPtr<Resource> resource) {
    members[id] = std::move(resource);
    // An insertion may rehash, which invalidates the cursor.
    rewind();
}

Resource* ResourceGroup::findResource(const std::string& id) const {
    const auto it = members.find(id);
    return it == members.end() ? nullptr : it->second.get();
}

bool ResourceGroup::contains(const Resource& resource) const {
    for (const auto& [id, member] : members) {
        if (member.get() == &resource) {
            return true;
        }
    }
    return false;
}

bool ResourceGroup::isAllLoaded() const {
    for (const auto& [id, member] : members) {
        if (!member->isLoaded()) {
            return false;
        }
    }
    return true;
}

std::int32_t ResourceGroup::totalWeight() const {
    std::int32_t total = 0;
    for (const auto& [id, member] : members) {
        total += member->weight();
    }
    return total;
}

std::int32_t ResourceGroup::loadedWeight() const {
    std::int32_t total = 0;
    for (const auto& [id, member] : members) {
        total += member->loadedWeight();
    }
    return total;
}

void ResourceGroup::unloadAll() {
    unloadAllBut(nullptr);
}

void ResourceGroup::unloadAllBut(const std::string& kept) {
    // A missing id spares nothing.
    unloadAllBut(findResource(kept));
}

void ResourceGroup::unloadAllBut(const Resource* spared) {
    for (const auto& [id, member] : members) {
        if (member.get() != spared && member->isLoaded()) {
            member->unload();
        }
    }
    rewind();
}

Resource* ResourceGroup::nextToLoad() {
    if (Resource* next = skipLoaded()) {
        return next;
    }
    rewind();
    return skipLoaded();
}

Resource* ResourceGroup::skipLoaded() {
    while (cursor != members.end() && cursor->second->isLoaded()) {
        ++cursor;
    }
    return cursor == members.end() ? nullptr : cursor->second.get();
}

std::string ResourceGroup::toString() const {
    std::string text = std::string("Auto Load: ") + yesNo(autoLoad) + "; Has Started: " + yesNo(started) +
                       "; Name: " + groupName + ";\n\tObjects:";
    for (const auto& [id, member] : members) {
        text += "\n\t\t" + member->toString();
    }
    return text;
}

} // namespace kernel
