#pragma once
// Whole files as bytes: the tool reads its rules and the catalogue and writes its levels this way, so a
// file's bytes are what they are whatever the platform's idea of text mode.

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace mklevels {

inline bool readTextFile(const std::filesystem::path& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

// False when the file cannot be written whole.
inline bool writeTextFile(const std::filesystem::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.close();
    return out.good();
}

} // namespace mklevels
