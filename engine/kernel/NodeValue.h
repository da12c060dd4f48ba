#pragma once

#include "engine/kernel/ScalarValue.h"
#include "engine/kernel/VectorValue.h"

#include <string>
#include <unordered_map>

namespace kernel {

// Named children plus their order. Untyped scalars (the attributes) are found by name but kept out of the
// ordered list.
class NodeValue : public VectorValue {
public:
    using NameMap = std::unordered_map<std::string, SmartPtr<Value>>;

    NodeValue(std::string name, std::string typeName);

    // On a Node, appending is setting a child.
    SmartPtr<Value> append(SmartPtr<Value> value) override;
    // Replaces the child of the same name (dropping it from the ordered list) and returns the value; the
    // new one goes to the end of the list. Does nothing on DUMMY_NODE.
    SmartPtr<Value> setChild(SmartPtr<Value> value);
    using VectorValue::addBoolean;
    // Sets a "Boolean" child of that name; it is typed whatever the typing asks, as it always was.
    virtual void addBoolean(const std::string& name, bool flag, Typing typing);

    Value* findChild(const std::string& name) const;
    bool hasChild(const std::string& name) const { return byName.contains(name); }
    // The child when it has that kind, else the matching fallback.
    ScalarValue& getValue(const std::string& name) const;
    NodeValue& getNode(const std::string& name) const;
    VectorValue& getVector(const std::string& name) const;

    const NameMap& namedChildren() const { return byName; }

    // Empties the ordered list only; the children stay reachable by name.
    void clearList();
    void clearAll();

    static constexpr ClassInfo classInfo{&VectorValue::classInfo};
    const ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    void removeFromList(const Value* child);

    NameMap byName;
};

// The Node fallback named "DUMMY_NODE": no children, ignores setChild.
// Never destroyed, and it keeps a reference of its own, so no holder can free it.
NodeValue& DUMMY_NODE();

} // namespace kernel
