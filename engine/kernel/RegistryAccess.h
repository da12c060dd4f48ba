#pragma once
// What the two registry value classes share: splitting a value's path and writing one value.

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
host::LSTATUS writeRegistryValue(host::HKEY root, const RegistryPath& path, host::DWORD type,
                                 const host::BYTE* data, host::DWORD size);

} // namespace kernel
