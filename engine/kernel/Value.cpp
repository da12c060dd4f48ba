#include "engine/kernel/Value.h"

#include "engine/kernel/NodeValue.h"
#include "engine/kernel/ScalarValue.h"
#include "engine/kernel/SingleInstance.h"
#include "engine/kernel/VectorValue.h"

#include <utility>

namespace kernel {

Value::Value(std::string name, std::string typeName)
    : Value(ValueKind::Plain, std::move(name), std::move(typeName)) {}

Value::Value(ValueKind kind, std::string name, std::string typeName)
    : valueKind(kind), type(std::move(typeName)), valueName(std::move(name)) {}

ScalarValue& Value::asScalar() {
    return isScalar() ? static_cast<ScalarValue&>(*this) : DUMMY_VALUE();
}

NodeValue& Value::asNode() {
    return isNode() ? static_cast<NodeValue&>(*this) : DUMMY_NODE();
}

VectorValue& Value::asVector() {
    return isVector() ? static_cast<VectorValue&>(*this) : DUMMY_VECTOR();
}

Value& DUMMY_ABSTRACT() {
    static Value& fallback = keepForever(new Value("DUMMY_ABSTRACT", std::string()));
    return fallback;
}

} // namespace kernel
