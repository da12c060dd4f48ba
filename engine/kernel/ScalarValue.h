#pragma once

#include "engine/kernel/TextConversion.h"
#include "engine/kernel/Value.h"

#include <cstdint>
#include <string>

namespace kernel {

// Whether a scalar made from a number or text carries its type name ("Integer", "String", "Text") or none.
enum class Typing { Typed, Untyped };

// A text with typed readers. The readers parse the text on every call; nothing is cached.
class ScalarValue : public Value {
public:
    // Typed by the given name, with an empty text or the text widened.
    ScalarValue(std::string name, std::string typeName, const std::string& text = {});
    ScalarValue(std::string name, std::string typeName, std::int32_t number);
    // Typed "Integer", "String" or "Text" respectively, or with an empty type name.
    ScalarValue(std::string name, std::int32_t number, Typing typing);
    ScalarValue(std::string name, const std::string& text, Typing typing);
    ScalarValue(std::string name, WideString text, Typing typing);

    // "#" and hexadecimal digits (wrapping to 32 bits), else a decimal integer clamped to 32 bits; 0 when
    // no digits can be read.
    std::int32_t asInt() const;
    // A decimal or hexadecimal floating-point number as the C library reads it, in any locale; 0 when
    // unreadable.
    double asDouble() const;
    float asFloat() const;
    // False only for the empty text and the exact text "false": "False", "0" and "no" are true.
    bool asBool() const;
    const WideString& text() const { return value; }
    // The text narrowed: the low byte of each unit.
    std::string asString() const { return narrowString(value); }

    // Each writer does nothing on DUMMY_VALUE.
    void setInt(std::int32_t number);
    void setText(const std::string& text);
    void setText(WideString text);

    std::string toString() const override;

    static constexpr ClassInfo classInfo{&Value::classInfo};
    const ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    bool isFallback() const;

    WideString value;
};

// The scalar fallback named "DUMMY_VALUE": untyped, empty, reads as 0, 0.0 and false, ignores writes.
// Never destroyed, and it keeps a reference of its own, so no holder can free it.
ScalarValue& DUMMY_VALUE();

} // namespace kernel
