#include "engine/kernel/TextConversion.h"

#include <cstdint>

namespace kernel {

std::string narrowString(std::u16string_view text) {
    std::string result(text.size(), '\0');
    for (std::size_t i = 0; i < text.size(); ++i) {
        result[i] = static_cast<char>(text[i] & 0xFF);
    }
    return result;
}

WideString widenString(std::string_view text) {
    WideString result(text.size(), u'\0');
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<std::int8_t>(text[i]);
        result[i] = static_cast<char16_t>(static_cast<std::int16_t>(byte));
    }
    return result;
}

} // namespace kernel
