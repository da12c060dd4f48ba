#include "engine/kernel/ScalarValue.h"

#include "engine/kernel/SingleInstance.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <string_view>
#include <utility>

namespace kernel {
namespace {

bool isSpace(char16_t unit) {
    return unit == u' ' || (unit >= u'\t' && unit <= u'\r');
}

std::size_t skipSpace(std::u16string_view text) {
    std::size_t at = 0;
    while (at < text.size() && isSpace(text[at])) {
        ++at;
    }
    return at;
}

int hexDigitValue(char16_t unit) {
    if (unit >= u'0' && unit <= u'9') {
        return unit - u'0';
    }
    if (unit >= u'a' && unit <= u'f') {
        return unit - u'a' + 10;
    }
    if (unit >= u'A' && unit <= u'F') {
        return unit - u'A' + 10;
    }
    return -1;
}

// Reads an optional sign at the position and steps over it; true when it was '-'.
bool readSign(std::u16string_view text, std::size_t& at) {
    if (at < text.size() && (text[at] == u'+' || text[at] == u'-')) {
        return text[at++] == u'-';
    }
    return false;
}

// As "%x" reads: optional sign and "0x", then hexadecimal digits. The value wraps to 32 bits, so the
// colours written as "#AARRGGBB" come out as the same bit pattern.
std::int32_t readHexadecimal(std::u16string_view text) {
    std::size_t at = skipSpace(text);
    const bool negative = readSign(text, at);
    if (at + 2 < text.size() && text[at] == u'0' && (text[at + 1] == u'x' || text[at + 1] == u'X') &&
        hexDigitValue(text[at + 2]) >= 0) {
        at += 2;
    }
    std::uint32_t result = 0;
    for (; at < text.size() && hexDigitValue(text[at]) >= 0; ++at) {
        result = result * 16 + static_cast<std::uint32_t>(hexDigitValue(text[at]));
    }
    return static_cast<std::int32_t>(negative ? 0u - result : result);
}

// As the C library's wide to-integer conversion reads, with an overflow clamped to the 32-bit range.
std::int32_t readDecimal(std::u16string_view text) {
    std::size_t at = skipSpace(text);
    const bool negative = readSign(text, at);
    constexpr std::int64_t limit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    std::int64_t magnitude = 0;
    for (; at < text.size() && text[at] >= u'0' && text[at] <= u'9'; ++at) {
        magnitude = std::min(magnitude * 10 + (text[at] - u'0'), limit);
    }
    const std::int64_t result = negative ? -magnitude : magnitude;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        result, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

// The ASCII run after leading white space: no unit beyond ASCII can be part of a number.
std::string numberText(std::u16string_view text) {
    std::string result;
    for (std::size_t at = skipSpace(text); at < text.size() && text[at] < 0x80; ++at) {
        result.push_back(static_cast<char>(text[at]));
    }
    return result;
}

// A magnitude outside the type's range: infinity for an overflow and 0 for an underflow, as the C library
// gives. A wider type tells them apart; beyond even its range only the exponent's sign can.
template <class Number> Number outOfRange(const char* first, const char* last, std::chars_format format) {
    long double wide = 0;
    const auto [end, error] = std::from_chars(first, last, wide, format);
    if (error == std::errc()) {
        return wide > std::numeric_limits<Number>::max() ? std::numeric_limits<Number>::infinity()
                                                         : static_cast<Number>(wide);
    }
    const std::string_view number(first, static_cast<std::size_t>(end - first));
    const std::size_t exponent = number.find_first_of(format == std::chars_format::hex ? "pP" : "eE");
    const bool tiny =
        exponent != std::string_view::npos && exponent + 1 < number.size() && number[exponent + 1] == '-';
    return tiny ? Number{0} : std::numeric_limits<Number>::infinity();
}

// As "%lf" and "%f" read, but in the "C" notation whatever the process locale says.
template <class Number> Number readFloating(std::u16string_view text) {
    const std::string ascii = numberText(text);
    const char* first = ascii.data();
    const char* const last = first + ascii.size();
    bool negative = false;
    if (first != last && (*first == '+' || *first == '-')) {
        negative = *first++ == '-';
    }
    if (first != last && (*first == '+' || *first == '-')) {
        return 0;
    }
    std::chars_format format = std::chars_format::general;
    if (last - first >= 2 && first[0] == '0' && (first[1] == 'x' || first[1] == 'X')) {
        format = std::chars_format::hex;
        first += 2;
    }
    Number result = 0;
    const auto [end, error] = std::from_chars(first, last, result, format);
    if (error == std::errc::result_out_of_range) {
        result = outOfRange<Number>(first, end, format);
    } else if (error != std::errc()) {
        return 0;
    }
    return negative ? -result : result;
}

} // namespace

ScalarValue::ScalarValue(std::string name, std::string typeName, const std::string& text)
    : Value(ValueKind::Scalar, std::move(name), std::move(typeName)), value(widenString(text)) {}

ScalarValue::ScalarValue(std::string name, std::string typeName, std::int32_t number)
    : ScalarValue(std::move(name), std::move(typeName), std::to_string(number)) {}

ScalarValue::ScalarValue(std::string name, std::int32_t number, Typing typing)
    : ScalarValue(std::move(name), typing == Typing::Typed ? "Integer" : "", number) {}

ScalarValue::ScalarValue(std::string name, const std::string& text, Typing typing)
    : ScalarValue(std::move(name), typing == Typing::Typed ? "String" : "", text) {}

ScalarValue::ScalarValue(std::string name, WideString text, Typing typing)
    : Value(ValueKind::Scalar, std::move(name), typing == Typing::Typed ? "Text" : ""),
      value(std::move(text)) {}

std::int32_t ScalarValue::asInt() const {
    const std::u16string_view text(value);
    if (!text.empty() && text.front() == u'#') {
        return readHexadecimal(text.substr(1));
    }
    return readDecimal(text);
}

double ScalarValue::asDouble() const {
    return readFloating<double>(value);
}

float ScalarValue::asFloat() const {
    return readFloating<float>(value);
}

bool ScalarValue::asBool() const {
    return !value.empty() && value != u"false";
}

void ScalarValue::setInt(std::int32_t number) {
    if (!isFallback()) {
        value = widenString(std::to_string(number));
    }
}

void ScalarValue::setText(const std::string& text) {
    if (!isFallback()) {
        value = widenString(text);
    }
}

void ScalarValue::setText(WideString text) {
    if (!isFallback()) {
        value = std::move(text);
    }
}

std::string ScalarValue::toString() const {
    return narrowString(value);
}

bool ScalarValue::isFallback() const {
    return this == &DUMMY_VALUE();
}

ScalarValue& DUMMY_VALUE() {
    static ScalarValue& fallback =
        keepForever(new ScalarValue("DUMMY_VALUE", std::string(), Typing::Untyped));
    return fallback;
}

} // namespace kernel
