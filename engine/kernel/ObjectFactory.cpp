#include "engine/kernel/ObjectFactory.h"

#include "engine/kernel/NodeValue.h"
#include "engine/kernel/SingleInstance.h"

namespace kernel {
namespace {
ObjectFactory* theFactory = nullptr;
}

ObjectFactory* ObjectFactory::create() {
    return createSingleInstance(theFactory, [] { return new ObjectFactory(); });
}

ObjectFactory* ObjectFactory::instance() {
    return theFactory ? theFactory : create();
}

void ObjectFactory::destroy() {
    destroySingleInstance(theFactory);
}

bool ObjectFactory::registerCreator(const std::string& name, Creator creator) {
    return creator != nullptr && creators.emplace(name, creator).second;
}

void ObjectFactory::replaceCreator(const std::string& name, Creator creator) {
    if (creator != nullptr) {
        creators[name] = creator;
    }
}

Object* ObjectFactory::createObject(Value& settings) {
    const auto it = creators.find(settings.typeName());
    return it == creators.end() ? nullptr : it->second(settings);
}

void ObjectFactory::createChildren(Value& settings) {
    NodeValue& node = settings.asNode();
    // Hold the children: a creator may change the node it is given.
    std::vector<SmartPtr<Value>> children;
    for (const auto& [name, child] : node.namedChildren()) {
        children.push_back(child);
    }
    for (const SmartPtr<Value>& child : children) {
        Object* made = createObject(*child);
        if (made != nullptr) {
            createdObjects[child->name()] = made;
        }
    }
}

Object* ObjectFactory::createdObject(const std::string& name) const {
    const auto it = createdObjects.find(name);
    return it == createdObjects.end() ? nullptr : it->second.get();
}

ClassRegistrar::ClassRegistrar(const char* name, Creator creator) {
    ObjectFactory::instance()->registerCreator(name, creator);
}

} // namespace kernel
