#pragma once

#include "engine/kernel/Object.h"
#include "engine/kernel/SmartPtr.h"

#include <string>
#include <unordered_map>

namespace kernel {

class Value;

// Builds a new object (reference count 0) from its settings value, or returns null.
using Creator = Object* (*)(Value& settings);

// Maps a class name or a value-type name to its creator, so XML can name any registered class.
class ObjectFactory : public Object {
public:
    static ObjectFactory* create();
    // Created on first use: registrations run before anything else exists.
    static ObjectFactory* instance();
    static void destroy();

    // The first registration of a name wins; a later one is ignored. True when it was stored.
    bool registerCreator(const std::string& name, Creator creator);
    // Installs the creator whatever was registered under the name before: a higher layer makes its own class
    // for a name that a lower one registers (objects stored by a plain engine class load as the game's).
    void replaceCreator(const std::string& name, Creator creator);
    bool hasCreator(const std::string& name) const { return creators.contains(name); }

    // creator(settings) for the settings' type name, or null for an unregistered name.
    Object* createObject(Value& settings);
    // Runs the creators over a Node's children; non-null results are kept under the child's name.
    void createChildren(Value& settings);
    Object* createdObject(const std::string& name) const;

    static constexpr ClassInfo classInfo{&Object::classInfo};
    const ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    ObjectFactory() = default;

    std::unordered_map<std::string, Creator> creators;
    std::unordered_map<std::string, SmartPtr<Object>> createdObjects;
};

// A static object per registered class: its constructor registers the creator under the name.
class ClassRegistrar {
public:
    ClassRegistrar(const char* name, Creator creator);
};

} // namespace kernel
