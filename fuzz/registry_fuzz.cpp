// Feeds arbitrary bytes to the registry file reader, then writes what it read and reads that again: the two
// trees must be the same (a tree too large to be read again is not written at all). The bytes also become a
// key's name, a value's name and a text, which must come back from the file byte for byte.

#include "host/Registry.h"
#include "host/RegistryFile.h"
#include "host/XmlParsing.h"

#include "FuzzFolder.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

bool sameKeys(const host::StoredKey& a, const host::StoredKey& b) {
    if (a.name != b.name || a.values.size() != b.values.size() || a.subKeys.size() != b.subKeys.size()) {
        return false;
    }
    for (std::size_t at = 0; at < a.values.size(); ++at) {
        const host::StoredValue& x = a.values[at];
        const host::StoredValue& y = b.values[at];
        if (x.name != y.name || x.type != y.type || x.data != y.data) {
            return false;
        }
    }
    for (std::size_t at = 0; at < a.subKeys.size(); ++at) {
        if (!sameKeys(a.subKeys[at], b.subKeys[at])) {
            return false;
        }
    }
    return true;
}

void checkRoundTrip(const host::StoredKey& root) {
    const std::string copy = fuzzing::scratch().file("copy.xml");
    std::filesystem::remove(copy);
    if (host::printRegistry(root).size() > host::maxXmlBytes) {
        if (host::writeRegistryFile(copy, root) != host::ERROR_WRITE_FAULT || std::filesystem::exists(copy)) {
            std::abort();
        }
        return;
    }
    if (host::writeRegistryFile(copy, root) != host::ERROR_SUCCESS ||
        !sameKeys(root, host::readRegistryFile(copy))) {
        std::abort();
    }
}

// Names are C strings, so their zeros are dropped; a key needs a name.
host::StoredKey treeNamedBy(const std::string& bytes) {
    std::string name = bytes;
    name.erase(std::remove(name.begin(), name.end(), '\0'), name.end());
    host::StoredKey root;
    if (!name.empty()) {
        host::StoredKey& key = root.subKeys.emplace_back(host::StoredKey{name, {}, {}});
        key.values.push_back({name, host::REG_SZ, name + '\0'});
        key.values.push_back({"", host::REG_BINARY, bytes});
    }
    return root;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::string file = fuzzing::scratch().file("registry.xml");
    if (!fuzzing::writeFile(file, bytes)) {
        return 0;
    }
    checkRoundTrip(host::readRegistryFile(file));
    checkRoundTrip(treeNamedBy(bytes));
    return 0;
}
