#include "tools/mkmedia/OutputFile.h"

#include <cstdio>
#include <fstream>
#include <system_error>

namespace mkmedia {

bool resolveOutputPath(const std::filesystem::path& outputFolder, const std::string& relative,
                       std::filesystem::path& resolved, std::string& error) {
    const std::filesystem::path path(relative);
    if (relative.empty() || path.is_absolute()) {
        error = "\"" + relative + "\" is not a relative path";
        return false;
    }
    for (const std::filesystem::path& part : path) {
        if (part == "..") {
            error = "\"" + relative + "\" leaves the output folder";
            return false;
        }
    }
    resolved = outputFolder / path;
    return true;
}

bool writeFileAtomically(const std::filesystem::path& path, std::string_view bytes, std::string& error) {
    std::error_code code;
    if (path.has_parent_path()) {
        std::filesystem::create_directories(path.parent_path(), code);
        if (code) {
            error = path.parent_path().string() + ": cannot create the folder: " + code.message();
            return false;
        }
    }
    std::filesystem::path temporary = path;
    temporary += ".part";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) {
            std::filesystem::remove(temporary, code);
            error = temporary.string() + ": cannot be written";
            return false;
        }
    }
    std::filesystem::rename(temporary, path, code);
    if (code) {
        std::filesystem::remove(temporary, code);
        error = path.string() + ": cannot replace the file";
        return false;
    }
    return true;
}

bool writeFileAtomically(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes,
                         std::string& error) {
    return writeFileAtomically(
        path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), error);
}

} // namespace mkmedia
