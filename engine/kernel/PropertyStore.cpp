#include "engine/kernel/PropertyStore.h"

#include "engine/kernel/ObjectFactory.h"
#include "engine/kernel/ScalarValue.h"
#include "engine/kernel/SingleInstance.h"

namespace kernel {
namespace {

PropertyStore* theStore = nullptr;

// The value-type creators: each stores the value under its name and makes no object. A value of the wrong
// kind reads as the matching fallback, so it stores 0, an empty text or an empty Node or Vector.
Object* storeInteger(Value& settings) {
    if (PropertyStore* store = PropertyStore::instance()) {
        store->intRef(settings.name()) = settings.asScalar().asInt();
    }
    return nullptr;
}

Object* storeDouble(Value& settings) {
    if (PropertyStore* store = PropertyStore::instance()) {
        store->doubleRef(settings.name()) = settings.asScalar().asDouble();
    }
    return nullptr;
}

Object* storeFloat(Value& settings) {
    if (PropertyStore* store = PropertyStore::instance()) {
        store->floatRef(settings.name()) = settings.asScalar().asFloat();
    }
    return nullptr;
}

Object* storeBoolean(Value& settings) {
    if (PropertyStore* store = PropertyStore::instance()) {
        store->boolRef(settings.name()) = settings.asScalar().asBool();
    }
    return nullptr;
}

Object* storeString(Value& settings) {
    if (PropertyStore* store = PropertyStore::instance()) {
        store->stringRef(settings.name()) = narrowString(settings.asScalar().text());
    }
    return nullptr;
}

Object* storeText(Value& settings) {
    if (PropertyStore* store = PropertyStore::instance()) {
        store->textMapLookup(settings.name()) = settings.asScalar().text();
    }
    return nullptr;
}

Object* storeNode(Value& settings) {
    if (PropertyStore* store = PropertyStore::instance()) {
        store->nodeRef(settings.name()) = &settings.asNode();
    }
    return nullptr;
}

Object* storeVector(Value& settings) {
    if (PropertyStore* store = PropertyStore::instance()) {
        store->vectorRef(settings.name()) = &settings.asVector();
    }
    return nullptr;
}

const ClassRegistrar registerInteger("Integer", storeInteger);
const ClassRegistrar registerDouble("Double", storeDouble);
const ClassRegistrar registerFloat("Float", storeFloat);
const ClassRegistrar registerBoolean("Boolean", storeBoolean);
const ClassRegistrar registerString("String", storeString);
const ClassRegistrar registerText("Text", storeText);
const ClassRegistrar registerNode("Node", storeNode);
const ClassRegistrar registerVector("Vector", storeVector);

} // namespace

PropertyStore* PropertyStore::create() {
    return createSingleInstance(theStore, [] { return new PropertyStore(); });
}

PropertyStore* PropertyStore::instance() {
    return theStore;
}

void PropertyStore::destroy() {
    destroySingleInstance(theStore);
}

std::int32_t& PropertyStore::intRef(const std::string& name) {
    return ints[name];
}

double& PropertyStore::doubleRef(const std::string& name) {
    return doubles[name];
}

float& PropertyStore::floatRef(const std::string& name) {
    return floats[name];
}

bool& PropertyStore::boolRef(const std::string& name) {
    return bools[name];
}

std::string& PropertyStore::stringRef(const std::string& name) {
    return strings[name];
}

WideString& PropertyStore::textMapLookup(const std::string& name) {
    return texts[name];
}

SmartPtr<NodeValue>& PropertyStore::nodeRef(const std::string& name) {
    return nodes[name];
}

SmartPtr<VectorValue>& PropertyStore::vectorRef(const std::string& name) {
    return vectors[name];
}

NodeValue* PropertyStore::findNode(const std::string& name) const {
    const auto found = nodes.find(name);
    return found == nodes.end() ? nullptr : found->second.get();
}

WideString PropertyStore::getText(const std::string& id) {
    return theStore ? theStore->textMapLookup(id) : WideString();
}

} // namespace kernel
