#include "engine/kernel/RegistryInt.h"

namespace kernel {

RegistryInt::RegistryInt(const std::string& path, host::HKEY rootKey) : RegistryValue(path, rootKey) {}

host::LSTATUS RegistryInt::write() const {
    // REG_DWORD is little-endian whatever the processor.
    const auto bits = static_cast<std::uint32_t>(value);
    const host::BYTE bytes[4] = {static_cast<host::BYTE>(bits), static_cast<host::BYTE>(bits >> 8),
                                 static_cast<host::BYTE>(bits >> 16), static_cast<host::BYTE>(bits >> 24)};
    return writeValue(host::REG_DWORD, bytes, sizeof bytes);
}

} // namespace kernel
