#pragma once
// What the two registry value classes share: splitting a value's path, writing one value, and the place
// of the value they keep.

#include "host/Registry.h"

#include <string>

namespace kernel {

struct RegistryPath {
    std::string keyPath;
    std::string valueName;
};

// '/' becomes '\', one trailing '\' is dropped, and the last '\' parts the key path from the value name.
// A path without '\' (or with only a leading one) is a value name directly below the root key.
RegistryPath splitRegistryPath(const std::string& path);

// Creates or opens the key below root, sets the value and closes the key. ERROR_SUCCESS, else the code of
// the step that failed: opening the key, or setting the value (a failed write is never hidden behind the
// close's success).
[[nodiscard]] host::LSTATUS writeRegistryValue(host::HKEY root, const RegistryPath& path, host::DWORD type,
                                               const host::BYTE* data, host::DWORD size);

// The place of one value: a root key and a path below it, split once at construction.
class RegistryValue {
public:
    const std::string& getKeyPath() const { return place.keyPath; }
    const std::string& getValueName() const { return place.valueName; }

protected:
    RegistryValue(const std::string& path, host::HKEY rootKey)
        : rootKey(rootKey), place(splitRegistryPath(path)) {}
    ~RegistryValue() = default;

    [[nodiscard]] host::LSTATUS writeValue(host::DWORD type, const host::BYTE* data, host::DWORD size) const {
        return writeRegistryValue(rootKey, place, type, data, size);
    }

private:
    host::HKEY rootKey;
    RegistryPath place;
};

} // namespace kernel
