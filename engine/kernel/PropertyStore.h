#pragma once

#include "engine/kernel/NodeValue.h"
#include "engine/kernel/Object.h"
#include "engine/kernel/SmartPtr.h"
#include "engine/kernel/TextConversion.h"
#include "engine/kernel/VectorValue.h"

#include <cstdint>
#include <string>
#include <unordered_map>

namespace kernel {

// The program's named constants: tuning values, texts, strings and shared settings Nodes and Vectors, filled
// from the start-up settings by the value-type creators. A look-up never fails: a missing name is inserted
// with a zero or empty value, so the next look-up finds the same entry. Main thread only.
class PropertyStore : public Object {
public:
    static PropertyStore* create();
    // Null before create: the store is never made on demand.
    static PropertyStore* instance();
    static void destroy();

    // References into the tables, which the caller may overwrite; they stay valid while the store lives.
    std::int32_t& intRef(const std::string& name);
    double& doubleRef(const std::string& name);
    float& floatRef(const std::string& name);
    bool& boolRef(const std::string& name);
    std::string& stringRef(const std::string& name);
    WideString& textMapLookup(const std::string& name);
    // An empty holder is inserted on a miss: callers must be prepared for null.
    SmartPtr<NodeValue>& nodeRef(const std::string& name);
    SmartPtr<VectorValue>& vectorRef(const std::string& name);

    // The stored Node, or null; inserts nothing, so a parser on another thread may ask.
    NodeValue* findNode(const std::string& name) const;

    // The singleton's text of that id (inserted empty on a miss); empty when there is no store.
    static WideString getText(const std::string& id);

    static constexpr ClassInfo classInfo{&Object::classInfo};
    const ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    PropertyStore() = default;

    std::unordered_map<std::string, std::int32_t> ints;
    std::unordered_map<std::string, double> doubles;
    std::unordered_map<std::string, float> floats;
    std::unordered_map<std::string, bool> bools;
    std::unordered_map<std::string, std::string> strings;
    std::unordered_map<std::string, WideString> texts;
    std::unordered_map<std::string, SmartPtr<NodeValue>> nodes;
    std::unordered_map<std::string, SmartPtr<VectorValue>> vectors;
};

} // namespace kernel
