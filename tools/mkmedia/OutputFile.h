#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace mkmedia {

// The full path of an entry's file below the output folder; refuses absolute paths and "..", so a
// manifest never writes outside the folder it was given.
bool resolveOutputPath(const std::filesystem::path& outputFolder, const std::string& relative,
                       std::filesystem::path& resolved, std::string& error);

// Creates the parent folders, writes a temporary file beside the target and renames it over the
// target, so an interrupted build never leaves a half-written file that looks finished.
[[nodiscard]] bool writeFileAtomically(const std::filesystem::path& path,
                                       const std::vector<std::uint8_t>& bytes, std::string& error);
[[nodiscard]] bool writeFileAtomically(const std::filesystem::path& path, std::string_view bytes,
                                       std::string& error);

} // namespace mkmedia
