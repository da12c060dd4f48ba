#include "engine/kernel/VectorValue.h"

#include "engine/kernel/NodeValue.h"
#include "engine/kernel/ScalarValue.h"
#include "engine/kernel/SingleInstance.h"

#include <utility>

namespace kernel {

VectorValue::VectorValue(std::string name) : VectorValue(ValueKind::Vector, std::move(name), "Vector") {}

VectorValue::VectorValue(ValueKind kind, std::string name, std::string typeName)
    : Value(kind, std::move(name), std::move(typeName)) {}

SmartPtr<Value> VectorValue::append(SmartPtr<Value> value) {
    if (value && this != &DUMMY_VECTOR()) {
        elements.push_back(value);
    }
    return value;
}

void VectorValue::addBoolean(bool flag) {
    append(new ScalarValue("", "Boolean", flag ? "true" : "false"));
}

Value* VectorValue::at(std::int32_t index) const {
    if (index < 0 || index >= childCount()) {
        return nullptr;
    }
    return elements[static_cast<std::size_t>(index)].get();
}

ScalarValue& VectorValue::valueAt(std::int32_t index) const {
    Value* element = at(index);
    return element ? element->asScalar() : DUMMY_VALUE();
}

NodeValue& VectorValue::nodeAt(std::int32_t index) const {
    Value* element = at(index);
    return element ? element->asNode() : DUMMY_NODE();
}

VectorValue& DUMMY_VECTOR() {
    static VectorValue& fallback = keepForever(new VectorValue("DUMMY_VECTOR"));
    return fallback;
}

} // namespace kernel
