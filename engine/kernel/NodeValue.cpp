#include "engine/kernel/NodeValue.h"

#include "engine/kernel/SingleInstance.h"

#include <algorithm>
#include <utility>

namespace kernel {

NodeValue::NodeValue(std::string name, std::string typeName)
    : VectorValue(ValueKind::Node, std::move(name), std::move(typeName)) {}

SmartPtr<Value> NodeValue::append(SmartPtr<Value> value) {
    return setChild(std::move(value));
}

SmartPtr<Value> NodeValue::setChild(SmartPtr<Value> value) {
    if (!value || this == &DUMMY_NODE()) {
        return value;
    }
    // The parameter holds the value, so replacing a child by itself cannot free it on the way.
    if (const auto old = byName.find(value->name()); old != byName.end()) {
        removeFromList(old->second.get());
        byName.erase(old);
    }
    byName.emplace(value->name(), value);
    if (!value->isUntypedScalar()) {
        elements.push_back(value);
    }
    return value;
}

void NodeValue::addBoolean(const std::string& name, bool flag, Typing) {
    setChild(new ScalarValue(name, "Boolean", flag ? "true" : "false"));
}

Value* NodeValue::findChild(const std::string& name) const {
    const auto found = byName.find(name);
    return found == byName.end() ? nullptr : found->second.get();
}

ScalarValue& NodeValue::getValue(const std::string& name) const {
    Value* child = findChild(name);
    return child ? child->asScalar() : DUMMY_VALUE();
}

NodeValue& NodeValue::getNode(const std::string& name) const {
    Value* child = findChild(name);
    return child ? child->asNode() : DUMMY_NODE();
}

VectorValue& NodeValue::getVector(const std::string& name) const {
    Value* child = findChild(name);
    return child ? child->asVector() : DUMMY_VECTOR();
}

void NodeValue::clearList() {
    elements.clear();
}

void NodeValue::clearAll() {
    clearList();
    byName.clear();
}

void NodeValue::removeFromList(const Value* child) {
    const auto first = std::find(elements.begin(), elements.end(), child);
    if (first != elements.end()) {
        elements.erase(first);
    }
}

NodeValue& DUMMY_NODE() {
    static NodeValue& fallback = keepForever(new NodeValue("DUMMY_NODE", std::string()));
    return fallback;
}

} // namespace kernel
