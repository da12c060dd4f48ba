#pragma once

#include "tools/mkmedia/Generators.h"

#include <filesystem>
#include <string>
#include <vector>

namespace mkmedia {

// Reads the manifest's entries in document order: every element below the root is one entry. False with
// a message naming the file when it cannot be read or parsed.
bool readManifest(const std::filesystem::path& manifest, std::vector<Entry>& entries, std::string& error);

// Hands each entry to the generator of its element and stops at the first failure, whose message then
// names the entry's file.
[[nodiscard]] bool generateAll(const std::vector<Entry>& entries, const Context& context, std::string& error);

// The whole run: read the manifest, then generate every entry below the output folder.
bool runManifest(const std::filesystem::path& manifest, const std::filesystem::path& outputFolder,
                 std::string& error);

// The contact sheet of what the manifest made in the output folder (tools/mkmedia/ContactSheet.h).
bool writeSheetOfManifest(const std::filesystem::path& manifest, const std::filesystem::path& outputFolder,
                          const std::filesystem::path& sheet, std::string& error);

} // namespace mkmedia
