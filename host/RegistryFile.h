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

// How reading the file went: nothing there, read whole, damaged (what could be read was kept) or there but
// unusable (a folder, a pipe, no permission, a read error), with what was wrong.
struct RegistryFileRead {
    enum class Result { Missing, Whole, Damaged, Unusable };
    Result result = Result::Missing;
    std::string problem;

    bool operator==(const RegistryFileRead&) const = default;
};

// The root key of the file. A missing or unusable file reads as an empty root; a damaged one (empty, cut,
// malformed, with a zero byte) as far as it parses, and one nested too deeply, rooted in another element or
// larger than host::maxXmlBytes (not read at all) as an empty root. Elements that do not make sense (no name,
// bad data, a name given twice) are skipped one by one, the rest is kept. Only a regular file is ever opened,
// so nothing here blocks.
StoredKey readRegistryFile(const std::string& path, RegistryFileRead* read = nullptr);

// The file's text for the tree.
std::string printRegistry(const StoredKey& root);

// Writes the whole tree through host::writeFileAtomically, creating the folders first. ERROR_SUCCESS, or
// the reason it failed (also written to the problem log); the old file is then untouched. A tree whose text
// is larger than host::maxXmlBytes, which would not be read again, is not written (ERROR_WRITE_FAULT).
[[nodiscard]] DWORD writeRegistryFile(const std::string& path, const StoredKey& root);

} // namespace host
