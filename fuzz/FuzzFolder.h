#pragma once
// What the fuzz targets that read files share: a folder of the process's own for the files an input is
// written to (removed when the process ends), and inputs cut into parts for loaders that read several files.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include <unistd.h>

namespace fuzzing {

class ScratchFolder {
public:
    ScratchFolder()
        : root(std::filesystem::temp_directory_path() / ("pibbles-fuzz-" + std::to_string(getpid()))) {
        std::filesystem::create_directories(root);
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(root, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& path() const { return root; }
    std::string file(const std::string& name) const { return (root / name).string(); }

private:
    std::filesystem::path root;
};

inline const ScratchFolder& scratch() {
    static const ScratchFolder folder;
    return folder;
}

// Makes the scratch folder the working directory once, for the services that keep their files below it.
inline void workInScratch() {
    static const bool moved = [] {
        std::filesystem::current_path(scratch().path());
        return true;
    }();
    static_cast<void>(moved);
}

inline bool writeFile(const std::string& path, std::string_view bytes) {
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

// The marker that separates the files of one input, on a line of its own.
inline constexpr std::string_view partMarker = "\n--8<--\n";

// Exactly `count` parts; the missing ones are empty, the last one takes whatever follows.
inline std::vector<std::string_view> splitParts(const std::uint8_t* data, std::size_t size,
                                                std::size_t count) {
    std::string_view rest(reinterpret_cast<const char*>(data), size);
    std::vector<std::string_view> parts;
    while (parts.size() + 1 < count) {
        const std::size_t marker = rest.find(partMarker);
        if (marker == std::string_view::npos) {
            break;
        }
        parts.push_back(rest.substr(0, marker));
        rest.remove_prefix(marker + partMarker.size());
    }
    parts.push_back(rest);
    parts.resize(count);
    return parts;
}

} // namespace fuzzing
