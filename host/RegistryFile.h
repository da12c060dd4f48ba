#pragma once
// The registry's backing file: the tree of keys and values in memory, read from and written to XML.
// Used only by the registry calls, which hold their lock around every read-change-write.

#include "host/Types.h"

#include <string>
#include <vector>

namespace host {

struct StoredValue {
    std::string name;
    DWORD type = 0;
    std::string data;
};

struct StoredKey {
    std::string name;
    std::vector<StoredValue> values;
    std::vector<StoredKey> subKeys;

    // Found by a case-insensitive (ASCII) name; null when missing.
    StoredKey* findSubKey(const std::string& keyName);
    StoredValue* findValue(const std::string& valueName);
};

bool sameRegistryName(const std::string& a, const std::string& b);

// The root key of the file. A missing, empty, malformed or too deeply nested file reads as an empty root;
// elements that do not make sense (no name, bad data, a name given twice) are skipped one by one, the rest is
// kept.
StoredKey readRegistryFile(const std::string& path);

// Writes the whole tree through host::writeFileAtomically, creating the folders first. ERROR_SUCCESS, or
// the reason it failed (also written to the debug output); the old file is then untouched.
[[nodiscard]] DWORD writeRegistryFile(const std::string& path, const StoredKey& root);

} // namespace host
