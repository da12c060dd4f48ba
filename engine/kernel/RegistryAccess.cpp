#include "engine/kernel/RegistryAccess.h"

namespace kernel {

RegistryPath splitRegistryPath(const std::string& path) {
    std::string normalised = path;
    for (char& c : normalised) {
        if (c == '/') {
            c = '\\';
        }
    }
    if (!normalised.empty() && normalised.back() == '\\') {
        normalised.pop_back();
    }
    const std::size_t separator = normalised.rfind('\\');
    if (separator == std::string::npos) {
        return {std::string(), normalised};
    }
    return {normalised.substr(0, separator), normalised.substr(separator + 1)};
}

host::LSTATUS writeRegistryValue(host::HKEY root, const RegistryPath& path, host::DWORD type,
                                 const host::BYTE* data, host::DWORD size) {
    host::HKEY key = nullptr;
    const host::LSTATUS opened =
        host::RegCreateKeyEx(root, path.keyPath.c_str(), 0, "", 0, host::KEY_WRITE, nullptr, &key, nullptr);
    if (opened != host::ERROR_SUCCESS) {
        return opened;
    }
    const host::LSTATUS written = host::RegSetValueEx(key, path.valueName.c_str(), 0, type, data, size);
    const host::LSTATUS closed = host::RegCloseKey(key);
    return written != host::ERROR_SUCCESS ? written : closed;
}

} // namespace kernel
