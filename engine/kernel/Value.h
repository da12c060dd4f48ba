#pragma once

#include "engine/kernel/Object.h"

#include <cstdint>
#include <string>

namespace kernel {

class NodeValue;
class ScalarValue;
class VectorValue;

// What a value holds; the numbers are the ones the tree has always used.
enum class ValueKind : std::int32_t {
    Plain = 0, // only the fallback DUMMY_ABSTRACT
    Scalar = 1,
    Node = 2,
    Vector = 3,
};

// One entry of the settings tree: a scalar, a Node or a Vector, with an optional type name and name.
class Value : public Object {
public:
    Value(std::string name, std::string typeName);

    ValueKind kind() const { return valueKind; }
    bool isScalar() const { return valueKind == ValueKind::Scalar; }
    bool isNode() const { return valueKind == ValueKind::Node; }
    bool isVector() const { return valueKind == ValueKind::Vector; }
    // A scalar without a type: made from an attribute, kept by name only and written back as one.
    bool isUntypedScalar() const { return isScalar() && type.empty(); }

    // The XML tag it was read from ("Integer", "Vector", a class name, ...); empty for an untyped scalar.
    const std::string& typeName() const { return type; }
    const std::string& name() const { return valueName; }

    // The value itself when it has that kind, else the matching fallback.
    ScalarValue& asScalar();
    NodeValue& asNode();
    VectorValue& asVector();

    static constexpr ClassInfo classInfo{&Object::classInfo};
    const ClassInfo* getClassInfo() const override { return &classInfo; }

protected:
    Value(ValueKind kind, std::string name, std::string typeName);

private:
    ValueKind valueKind;
    std::string type;
    std::string valueName;
};

// The plain fallback value named "DUMMY_ABSTRACT": it has no kind and ignores everything.
// Never destroyed, and it keeps a reference of its own, so no holder can free it.
Value& DUMMY_ABSTRACT();

} // namespace kernel
