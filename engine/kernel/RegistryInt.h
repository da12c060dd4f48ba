#pragma once

#include "engine/kernel/RegistryAccess.h"

#include <cstdint>
#include <string>

namespace kernel {

// One REG_DWORD value of the registry, addressed by a path below a root key and written on demand.
// Nothing touches the registry before write.
class RegistryInt : public RegistryValue {
public:
    RegistryInt(const std::string& path, host::HKEY rootKey);
    virtual ~RegistryInt() = default;

    static RegistryPath parsePath(const std::string& path) { return splitRegistryPath(path); }

    // ERROR_SUCCESS (0), else the registry's code for opening the key or setting the value.
    [[nodiscard]] host::LSTATUS write() const;

    std::int32_t getValue() const { return value; }
    void setValue(std::int32_t number) { value = number; }

private:
    std::int32_t value = 0;
};

} // namespace kernel
