#pragma once
// A registry of its own for one test: XDG_CONFIG_HOME points at a fresh folder while the object lives, and
// forced host failures are cleared afterwards. Values are set and listed through the host's calls; the host
// reads the file once, so a test that changes the file itself does it through replaceFile.

#include "RuntimeDir.h"

#include "host/Registry.h"
#include "host/Testing.h"

#include <string>
#include <utility>
#include <vector>

namespace testsupport {

struct RegistryEntry {
    host::DWORD type = 0;
    std::string data;
    bool operator==(const RegistryEntry&) const = default;
};

inline RegistryEntry dwordEntry(std::int32_t value) {
    const auto bits = static_cast<std::uint32_t>(value);
    std::string bytes;
    for (int shift = 0; shift < 32; shift += 8) {
        bytes += static_cast<char>((bits >> shift) & 0xFF);
    }
    return {host::REG_DWORD, bytes};
}

inline RegistryEntry textEntry(const std::string& text) {
    return {host::REG_SZ, text + '\0'};
}

// The calls return the platform's signed status; the codes are declared unsigned.
inline host::LSTATUS status(host::DWORD code) {
    return static_cast<host::LSTATUS>(code);
}

using RegistryValues = std::vector<std::pair<std::string, RegistryEntry>>;

class ScratchRegistry {
public:
    ScratchRegistry() { host::testing::forgetRegistry(); }
    ~ScratchRegistry() {
        host::testing::clearFailures();
        host::testing::forgetRegistry();
    }

    const TempDir& dir() const { return folder; }
    std::string file() const { return folder.file("pibbles/registry.xml"); }
    // Writes the file as another program would, and makes the host read it again, as a new run does.
    std::string replaceFile(const std::string& contents) const {
        const std::string written = folder.write("pibbles/registry.xml", contents);
        host::testing::forgetRegistry();
        return written;
    }

    static host::LSTATUS set(const std::string& keyPath, const std::string& name,
                             const RegistryEntry& entry) {
        host::HKEY key = nullptr;
        const host::LSTATUS opened = host::RegCreateKeyEx(HKEY_CURRENT_USER, keyPath.c_str(), 0, "", 0,
                                                          host::KEY_WRITE, nullptr, &key, nullptr);
        if (opened != host::ERROR_SUCCESS) {
            return opened;
        }
        const host::LSTATUS written = host::RegSetValueEx(
            key, name.c_str(), 0, entry.type, reinterpret_cast<const host::BYTE*>(entry.data.data()),
            static_cast<host::DWORD>(entry.data.size()));
        host::RegCloseKey(key);
        return written;
    }

    // The key's values in their order, up to the first that cannot be read; empty for a missing key.
    static RegistryValues values(const std::string& keyPath) {
        RegistryValues result;
        host::HKEY key = nullptr;
        if (host::RegOpenKeyEx(HKEY_CURRENT_USER, keyPath.c_str(), 0, host::KEY_READ, &key) !=
            host::ERROR_SUCCESS) {
            return result;
        }
        for (host::DWORD index = 0;; ++index) {
            char name[512];
            host::BYTE data[512];
            host::DWORD nameLength = sizeof name;
            host::DWORD dataLength = sizeof data;
            RegistryEntry entry;
            if (host::RegEnumValue(key, index, name, &nameLength, nullptr, &entry.type, data, &dataLength) !=
                host::ERROR_SUCCESS) {
                break;
            }
            entry.data.assign(reinterpret_cast<const char*>(data), dataLength);
            result.emplace_back(std::string(name, nameLength), entry);
        }
        host::RegCloseKey(key);
        return result;
    }

private:
    TempDir folder;
    ScopedEnv variable{"XDG_CONFIG_HOME", folder.path().string()};
};

} // namespace testsupport
