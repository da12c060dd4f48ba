#include "engine/kernel/RegistryString.h"

#include "engine/kernel/RegistryInt.h"

namespace kernel {

RegistryString::RegistryString(const std::string& path, host::HKEY rootKey, const std::string& defaultText)
    : rootKey(rootKey), value(defaultText), defaultText(defaultText) {
    RegistryPath parts = RegistryInt::parsePath(path);
    keyPath = std::move(parts.keyPath);
    valueName = std::move(parts.valueName);
}

host::LSTATUS RegistryString::write() const {
    // c_str() brings the terminating zero with it, counted in the size.
    return writeRegistryValue(rootKey, {keyPath, valueName}, host::REG_SZ,
                              reinterpret_cast<const host::BYTE*>(value.c_str()),
                              static_cast<host::DWORD>(value.size() + 1));
}

} // namespace kernel
