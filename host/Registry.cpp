#include "host/Registry.h"

#include "host/DamagedFiles.h"
#include "host/RegistryFile.h"
#include "host/System.h"
#include "host/Testing.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <pwd.h>
#include <set>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace host {

class RegistryKey {
public:
    RegistryKey(std::vector<std::string> path, std::string file, REGSAM access)
        : path(std::move(path)), file(std::move(file)), access(access) {}

    // Each level spelled as it is stored.
    const std::vector<std::string> path;
    // The file the key was opened in; empty for the predefined root, which looks it up at every call.
    const std::string file;
    const REGSAM access;
};

namespace {

// Seconds between 1601-01-01 and 1970-01-01.
constexpr std::uint64_t epochDifference = 11644473600ULL;

std::mutex& registryLock() {
    static std::mutex lock;
    return lock;
}

// The keys handed out and not yet closed, so a stale or foreign handle is refused instead of followed.
std::set<const RegistryKey*>& openKeys() {
    static std::set<const RegistryKey*> keys;
    return keys;
}

RegistryKey& currentUserRoot() {
    static RegistryKey root({}, {}, KEY_ALL_ACCESS);
    return root;
}

bool isRoot(const RegistryKey* key) {
    return key == &currentUserRoot();
}

bool isOpen(const RegistryKey* key) {
    return key != nullptr && (isRoot(key) || openKeys().contains(key));
}

std::string fileOf(const RegistryKey& key) {
    return isRoot(&key) ? registryFilePath() : key.file;
}

// A failure forced by a test: its code, or the given default when the test named none.
bool forcedFailure(const char* call, DWORD fallback, LSTATUS* result) {
    long code = 0;
    if (!testing::shouldFail(call, &code)) {
        return false;
    }
    *result = static_cast<LSTATUS>(code < 0 ? fallback : static_cast<DWORD>(code));
    return true;
}

// What the problem log was last told of the file, so that the dozen reads of one start-up tell it once.
std::string& toldProblem() {
    static std::string told;
    return told;
}

int& fileReads() {
    static int reads = 0;
    return reads;
}

// Under the registry lock. A damaged or unusable file is named in the problem log when it first reads so.
StoredKey readStored(const std::string& file, RegistryFileRead* read) {
    ++fileReads();
    RegistryFileRead outcome;
    StoredKey root = readRegistryFile(file, &outcome);
    std::string problem;
    if (outcome.result == RegistryFileRead::Result::Damaged) {
        problem = "Reading \"" + file + "\": " + outcome.problem + "; what could be read is kept\n";
    } else if (outcome.result == RegistryFileRead::Result::Unusable) {
        problem = "Reading \"" + file + "\": " + outcome.problem + "; it is left alone\n";
    }
    if (!problem.empty() && problem != toldProblem()) {
        ReportProblem(problem.c_str());
    }
    toldProblem() = problem;
    *read = std::move(outcome);
    return root;
}

// The registry as its file was read, kept for the rest of the run: reading and parsing the file again for
// every call made reading a key's values one by one take time growing with the square of their number. A
// change is made to a copy, and the copy is kept once the file holds it, so the two never differ.
struct LoadedRegistry {
    bool loaded = false;
    std::string file;
    StoredKey root;
    RegistryFileRead read;
};

LoadedRegistry& loadedRegistry() {
    static LoadedRegistry registry;
    return registry;
}

// Under the registry lock: the registry of the file, read by the first call that asks for it (and again
// when the file to use is another one).
LoadedRegistry& loadRegistry(const std::string& file) {
    LoadedRegistry& registry = loadedRegistry();
    if (!registry.loaded || registry.file != file) {
        registry.root = readStored(file, &registry.read);
        registry.file = file;
        registry.loaded = true;
    }
    return registry;
}

// Under the registry lock. A file that is there but could not be read is never replaced (the values in it
// were not seen); one that was not read whole is kept under another name before the values read from it
// replace it: what could not be read may still be found there. The changed tree is kept once written.
DWORD storeChanged(LoadedRegistry& registry, StoredKey changed) {
    if (registry.read.result == RegistryFileRead::Result::Unusable) {
        ReportProblem(
            ("Not saving over \"" + registry.file + "\": " + registry.read.problem + "; it is left alone\n")
                .c_str());
        return ERROR_ACCESS_DENIED;
    }
    if (registry.read.result == RegistryFileRead::Result::Damaged) {
        keepDamagedFile(registry.file);
    }
    const DWORD written = writeRegistryFile(registry.file, changed);
    if (written == ERROR_SUCCESS) {
        registry.root = std::move(changed);
        registry.read = {RegistryFileRead::Result::Whole, {}};
    }
    return written;
}

// Empty levels ("a\\b", a leading or trailing '\') are skipped rather than refused.
std::vector<std::string> joinPath(const RegistryKey& parent, const char* subKey) {
    std::vector<std::string> path = parent.path;
    std::string level;
    for (const char* at = subKey ? subKey : "";; ++at) {
        if (*at == '\\' || *at == '\0') {
            if (!level.empty()) {
                path.push_back(std::move(level));
            }
            level.clear();
            if (*at == '\0') {
                return path;
            }
        } else {
            level += *at;
        }
    }
}

StoredKey* findKey(StoredKey& root, const std::vector<std::string>& path) {
    StoredKey* key = &root;
    for (const std::string& level : path) {
        key = key->findSubKey(level);
        if (key == nullptr) {
            return nullptr;
        }
    }
    return key;
}

// Walks the path, adding the missing levels when create is true (null when one is missing otherwise); the
// path comes back spelled as stored.
StoredKey* walkKey(StoredKey& root, std::vector<std::string>& path, bool create, bool* created) {
    StoredKey* key = &root;
    for (std::string& level : path) {
        StoredKey* next = key->findSubKey(level);
        if (next == nullptr) {
            if (!create) {
                return nullptr;
            }
            key->subKeys.push_back(StoredKey{level, {}, {}});
            next = &key->subKeys.back();
            *created = true;
        }
        level = next->name;
        key = next;
    }
    return key;
}

HKEY openKey(std::vector<std::string> path, std::string file, REGSAM access) {
    auto* key = new RegistryKey(std::move(path), std::move(file), access);
    openKeys().insert(key);
    return key;
}

// RegCreateKeyEx (create true) and RegOpenKeyEx.
LSTATUS openSubKey(HKEY root, const char* subKey, REGSAM access, HKEY* result, bool create,
                   DWORD* disposition) {
    if (result == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    *result = nullptr;
    std::lock_guard guard(registryLock());
    if (!isOpen(root)) {
        return ERROR_INVALID_HANDLE;
    }
    const char* call = create ? "RegCreateKeyEx" : "RegOpenKeyEx";
    if (LSTATUS forced = 0; forcedFailure(call, ERROR_ACCESS_DENIED, &forced)) {
        return forced;
    }
    LoadedRegistry& registry = loadRegistry(fileOf(*root));
    std::vector<std::string> path = joinPath(*root, subKey);
    bool created = false;
    if (walkKey(registry.root, path, false, &created) == nullptr) {
        if (!create) {
            return ERROR_FILE_NOT_FOUND;
        }
        StoredKey changed = registry.root;
        walkKey(changed, path, true, &created);
        if (const DWORD written = storeChanged(registry, std::move(changed)); written != ERROR_SUCCESS) {
            return static_cast<LSTATUS>(written);
        }
    }
    if (disposition != nullptr) {
        *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    }
    *result = openKey(std::move(path), registry.file, access);
    return ERROR_SUCCESS;
}

// Under the registry lock: the key is open and allows the access.
LSTATUS checkKey(HKEY key, REGSAM needed) {
    if (!isOpen(key)) {
        return ERROR_INVALID_HANDLE;
    }
    return (key->access & needed) == 0 ? ERROR_ACCESS_DENIED : ERROR_SUCCESS;
}

// Hands out one stored value as the enumeration and the query do.
LSTATUS copyValue(const StoredValue& value, DWORD* type, BYTE* data, DWORD* dataLength) {
    if (data != nullptr && dataLength == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    const auto size = static_cast<DWORD>(value.data.size());
    if (data != nullptr && size > *dataLength) {
        *dataLength = size;
        return ERROR_MORE_DATA;
    }
    if (type != nullptr) {
        *type = value.type;
    }
    if (data != nullptr) {
        std::memcpy(data, value.data.data(), size);
    }
    if (dataLength != nullptr) {
        *dataLength = size;
    }
    return ERROR_SUCCESS;
}

FILETIME fileWriteTime(const std::string& file) {
    struct stat status {};
    FILETIME result;
    if (file.empty() || ::stat(file.c_str(), &status) != 0) {
        return result;
    }
    const std::uint64_t ticks =
        (static_cast<std::uint64_t>(status.st_mtim.tv_sec) + epochDifference) * 10000000ULL +
        static_cast<std::uint64_t>(status.st_mtim.tv_nsec) / 100;
    result.dwLowDateTime = static_cast<DWORD>(ticks & 0xFFFFFFFFu);
    result.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
    return result;
}

void setIfAsked(DWORD* target, std::size_t value) {
    if (target != nullptr) {
        *target = static_cast<DWORD>(value);
    }
}

} // namespace

HKEY currentUserKey() {
    return &currentUserRoot();
}

std::string registryFilePath() {
    std::string base;
    // The base-directory rules ignore a relative XDG_CONFIG_HOME.
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config != nullptr && config[0] == '/') {
        base = config;
    } else if (const char* home = std::getenv("HOME"); home != nullptr && home[0] == '/') {
        base = std::string(home) + "/.config";
    } else if (const passwd* user = ::getpwuid(::getuid()); user != nullptr && user->pw_dir != nullptr) {
        base = std::string(user->pw_dir) + "/.config";
    } else {
        return {};
    }
    return base + "/pibbles/registry.xml";
}

LSTATUS RegCreateKeyEx(HKEY root, const char* subKey, DWORD, const char*, DWORD, REGSAM access, void*,
                       HKEY* result, DWORD* disposition) {
    return openSubKey(root, subKey, access, result, true, disposition);
}

LSTATUS RegOpenKeyEx(HKEY root, const char* subKey, DWORD, REGSAM access, HKEY* result) {
    return openSubKey(root, subKey, access, result, false, nullptr);
}

LSTATUS RegQueryInfoKey(HKEY key, char* className, DWORD* classLength, DWORD*, DWORD* subKeys,
                        DWORD* maxSubKeyLength, DWORD* maxClassLength, DWORD* values,
                        DWORD* maxValueNameLength, DWORD* maxValueLength, DWORD* securityDescriptorSize,
                        FILETIME* lastWriteTime) {
    std::lock_guard guard(registryLock());
    if (const LSTATUS usable = checkKey(key, KEY_QUERY_VALUE); usable != ERROR_SUCCESS) {
        return usable;
    }
    const std::string file = fileOf(*key);
    // A key that is no longer there (the file was read again since the key was opened) reads as empty; the
    // next write brings it back.
    const StoredKey* found = findKey(loadRegistry(file).root, key->path);
    const StoredKey empty;
    const StoredKey& contents = found ? *found : empty;

    if (className != nullptr && classLength != nullptr && *classLength > 0) {
        className[0] = '\0';
    }
    setIfAsked(classLength, 0);
    setIfAsked(maxClassLength, 0);
    setIfAsked(securityDescriptorSize, 0);
    setIfAsked(subKeys, contents.subKeys.size());
    setIfAsked(values, contents.values.size());
    std::size_t longestKey = 0;
    for (const StoredKey& child : contents.subKeys) {
        longestKey = std::max(longestKey, child.name.size());
    }
    std::size_t longestName = 0;
    std::size_t largestData = 0;
    for (const StoredValue& value : contents.values) {
        longestName = std::max(longestName, value.name.size());
        largestData = std::max(largestData, value.data.size());
    }
    setIfAsked(maxSubKeyLength, longestKey);
    setIfAsked(maxValueNameLength, longestName);
    setIfAsked(maxValueLength, largestData);
    if (lastWriteTime != nullptr) {
        *lastWriteTime = fileWriteTime(file);
    }
    return ERROR_SUCCESS;
}

LSTATUS RegEnumValue(HKEY key, DWORD index, char* name, DWORD* nameLength, DWORD*, DWORD* type, BYTE* data,
                     DWORD* dataLength) {
    if (name == nullptr || nameLength == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    std::lock_guard guard(registryLock());
    if (const LSTATUS usable = checkKey(key, KEY_QUERY_VALUE); usable != ERROR_SUCCESS) {
        return usable;
    }
    const StoredKey* found = findKey(loadRegistry(fileOf(*key)).root, key->path);
    if (found == nullptr || index >= found->values.size()) {
        return ERROR_NO_MORE_ITEMS;
    }
    const StoredValue& value = found->values[index];
    if (value.name.size() + 1 > *nameLength) {
        return ERROR_MORE_DATA;
    }
    if (const LSTATUS copied = copyValue(value, type, data, dataLength); copied != ERROR_SUCCESS) {
        return copied;
    }
    std::memcpy(name, value.name.c_str(), value.name.size() + 1);
    *nameLength = static_cast<DWORD>(value.name.size());
    return ERROR_SUCCESS;
}

LSTATUS RegSetValueEx(HKEY key, const char* name, DWORD, DWORD type, const BYTE* data, DWORD size) {
    if (data == nullptr && size > 0) {
        return ERROR_INVALID_PARAMETER;
    }
    std::lock_guard guard(registryLock());
    if (const LSTATUS usable = checkKey(key, KEY_SET_VALUE); usable != ERROR_SUCCESS) {
        return usable;
    }
    if (LSTATUS forced = 0; forcedFailure("RegSetValueEx", ERROR_WRITE_FAULT, &forced)) {
        return forced;
    }
    LoadedRegistry& registry = loadRegistry(fileOf(*key));
    std::vector<std::string> path = key->path;
    bool created = false;
    const std::string valueName = name ? name : "";
    const std::string bytes(reinterpret_cast<const char*>(data), data ? size : 0);
    // Stored as it stands already: the file is not written (nor flushed) again, unless it was not read
    // whole, when the write mends it.
    if (StoredKey* stored = walkKey(registry.root, path, false, &created);
        stored != nullptr && registry.read.result == RegistryFileRead::Result::Whole) {
        const StoredValue* existing = stored->findValue(valueName);
        if (existing != nullptr && existing->type == type && existing->data == bytes) {
            return ERROR_SUCCESS;
        }
    }
    StoredKey changed = registry.root;
    StoredKey& target = *walkKey(changed, path, true, &created);
    if (StoredValue* existing = target.findValue(valueName)) {
        existing->type = type;
        existing->data = bytes;
    } else {
        target.values.push_back(StoredValue{valueName, type, bytes});
    }
    return static_cast<LSTATUS>(storeChanged(registry, std::move(changed)));
}

LSTATUS RegQueryValueEx(HKEY key, const char* name, DWORD*, DWORD* type, BYTE* data, DWORD* dataLength) {
    std::lock_guard guard(registryLock());
    if (const LSTATUS usable = checkKey(key, KEY_QUERY_VALUE); usable != ERROR_SUCCESS) {
        return usable;
    }
    StoredKey* found = findKey(loadRegistry(fileOf(*key)).root, key->path);
    const StoredValue* value = found ? found->findValue(name ? name : "") : nullptr;
    if (value == nullptr) {
        return ERROR_FILE_NOT_FOUND;
    }
    return copyValue(*value, type, data, dataLength);
}

LSTATUS RegCloseKey(HKEY key) {
    std::lock_guard guard(registryLock());
    if (isRoot(key)) {
        return ERROR_SUCCESS;
    }
    if (!isOpen(key)) {
        return ERROR_INVALID_HANDLE;
    }
    openKeys().erase(key);
    delete key;
    return ERROR_SUCCESS;
}

namespace testing {

void forgetRegistry() {
    std::lock_guard guard(registryLock());
    loadedRegistry() = LoadedRegistry{};
}

int registryFileReads() {
    std::lock_guard guard(registryLock());
    return fileReads();
}

} // namespace testing

} // namespace host
