#pragma once

#include "engine/kernel/SmartPtr.h"
#include "engine/kernel/Value.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kernel {

class NodeValue;
class ScalarValue;

// An ordered list of values (type name "Vector"); a Node keeps its typed children in the same list.
class VectorValue : public Value {
public:
    using List = std::vector<SmartPtr<Value>>;

    explicit VectorValue(std::string name);

    // Appends the value and returns it; does nothing on DUMMY_VECTOR. Hold the result to keep a value
    // that a fallback refused alive.
    virtual SmartPtr<Value> append(SmartPtr<Value> value);
    // Appends an unnamed "Boolean" scalar reading "true" or "false".
    virtual void addBoolean(bool flag);

    // The element, or null outside 0..count-1.
    Value* at(std::int32_t index) const;
    // The element when it has that kind, else the matching fallback.
    ScalarValue& valueAt(std::int32_t index) const;
    NodeValue& nodeAt(std::int32_t index) const;

    std::int32_t childCount() const { return static_cast<std::int32_t>(elements.size()); }
    List::const_iterator childrenBegin() const { return elements.begin(); }
    List::const_iterator childrenEnd() const { return elements.end(); }
    const List& children() const { return elements; }

    static constexpr ClassInfo classInfo{&Value::classInfo};
    const ClassInfo* getClassInfo() const override { return &classInfo; }

protected:
    VectorValue(ValueKind kind, std::string name, std::string typeName);

    List elements;
};

// The Vector fallback named "DUMMY_VECTOR": always empty, ignores appends.
// Never destroyed, and it keeps a reference of its own, so no holder can free it.
VectorValue& DUMMY_VECTOR();

} // namespace kernel
