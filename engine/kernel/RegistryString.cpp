#include "engine/kernel/RegistryString.h"

namespace kernel {

RegistryString::RegistryString(const std::string& path, host::HKEY rootKey, const std::string& defaultText)
    : RegistryValue(path, rootKey), value(defaultText), defaultText(defaultText) {}

host::LSTATUS RegistryString::write() const {
    // c_str() brings the terminating zero with it, counted in the size.
    return writeValue(host::REG_SZ, reinterpret_cast<const host::BYTE*>(value.c_str()),
                      static_cast<host::DWORD>(value.size() + 1));
}

} // namespace kernel
