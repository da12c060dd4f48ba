#pragma once

#include "engine/kernel/RegistryAccess.h"

#include <string>

namespace kernel {

// One REG_SZ value of the registry, addressed by a path below a root key and written on demand.
// Nothing touches the registry before write.
class RegistryString : public RegistryValue {
public:
    // The value starts as the default text.
    RegistryString(const std::string& path, host::HKEY rootKey, const std::string& defaultText);
    virtual ~RegistryString() = default;

    // ERROR_SUCCESS (0), else the registry's code for opening the key or setting the value. The stored
    // length counts the terminating zero, so an empty text is stored with length 1.
    [[nodiscard]] host::LSTATUS write() const;

    const std::string& getValue() const { return value; }
    void setValue(const std::string& text) { value = text; }
    const std::string& getDefaultText() const { return defaultText; }

private:
    std::string value;
    std::string defaultText;
};

} // namespace kernel
