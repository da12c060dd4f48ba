// The stored settings read as the game reads them: one key holding N values, enumerated one by one (its
// count first) and queried by name, from a registry file in a scratch configuration folder. Each iteration
// is a run of its own: the file is read from the disk again first.

#include "host/Registry.h"
#include "host/RegistryFile.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

constexpr const char* keyPath = "Software\\Tarvo\\Games\\pibbles";

std::string valueName(int index) {
    return "value" + std::to_string(index);
}

// A configuration folder of the process's own, holding a registry of the given number of values.
class ScratchSettings {
public:
    explicit ScratchSettings(int values)
        : folder(std::filesystem::temp_directory_path() / ("pibbles-bench-" + std::to_string(::getpid()))) {
        std::filesystem::create_directories(folder);
        ::setenv("XDG_CONFIG_HOME", folder.c_str(), 1);
        host::StoredKey root;
        host::StoredKey* key = &root;
        for (const char* level : {"Software", "Tarvo", "Games", "pibbles"}) {
            key = &key->subKeys.emplace_back(host::StoredKey{level, {}, {}});
        }
        for (int index = 0; index < values; ++index) {
            const std::string text = "setting " + std::to_string(index);
            key->values.push_back({valueName(index), host::REG_SZ, text + '\0'});
        }
        if (host::writeRegistryFile(host::registryFilePath(), root) != host::ERROR_SUCCESS) {
            std::abort();
        }
    }
    ~ScratchSettings() {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
    ScratchSettings(const ScratchSettings&) = delete;
    ScratchSettings& operator=(const ScratchSettings&) = delete;

private:
    std::filesystem::path folder;
};

host::HKEY openSettings() {
    host::testing::forgetRegistry();
    host::HKEY key = nullptr;
    if (host::RegOpenKeyEx(HKEY_CURRENT_USER, keyPath, 0, host::KEY_READ, &key) != host::ERROR_SUCCESS) {
        std::abort();
    }
    return key;
}

void BM_EnumerateValues(benchmark::State& state) {
    const ScratchSettings settings(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        host::HKEY key = openSettings();
        host::DWORD count = 0;
        host::RegQueryInfoKey(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, nullptr,
                              nullptr, nullptr, nullptr);
        for (host::DWORD index = 0; index < count; ++index) {
            char name[256];
            host::BYTE data[256];
            host::DWORD nameLength = sizeof name;
            host::DWORD dataLength = sizeof data;
            host::DWORD type = 0;
            benchmark::DoNotOptimize(
                host::RegEnumValue(key, index, name, &nameLength, nullptr, &type, data, &dataLength));
        }
        host::RegCloseKey(key);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_EnumerateValues)->Arg(200)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);

void BM_QueryValues(benchmark::State& state) {
    const auto count = static_cast<int>(state.range(0));
    const ScratchSettings settings(count);
    for (auto _ : state) {
        host::HKEY key = openSettings();
        for (int index = 0; index < count; ++index) {
            host::BYTE data[256];
            host::DWORD dataLength = sizeof data;
            benchmark::DoNotOptimize(
                host::RegQueryValueEx(key, valueName(index).c_str(), nullptr, nullptr, data, &dataLength));
        }
        host::RegCloseKey(key);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_QueryValues)->Arg(200)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
