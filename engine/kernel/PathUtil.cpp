#include "engine/kernel/PathUtil.h"

#include "host/Files.h"

#include <algorithm>
#include <string_view>
#include <utility>
#include <vector>

namespace kernel {
namespace {

// The later of the last '\' and the last '/', or npos.
std::size_t lastSeparator(const std::string& path) {
    const std::size_t backslash = path.rfind('\\');
    const std::size_t slash = path.rfind('/');
    if (backslash == std::string::npos) {
        return slash;
    }
    if (slash == std::string::npos) {
        return backslash;
    }
    return std::max(backslash, slash);
}

bool endsWithSeparator(const std::string& path) {
    return !path.empty() && (path.back() == '\\' || path.back() == '/');
}

// The code character of a character that escapeFileName replaces, or 0 when it is kept.
char escapeCode(char c, bool keepSpaces) {
    switch (c) {
    case ' ':
        return keepSpaces ? 0 : '0';
    case '\\':
        return '1';
    case '/':
        return '2';
    case '*':
        return '3';
    case '|':
        return '4';
    case ':':
        return '5';
    case '?':
        return '6';
    case '"':
        return '7';
    case '<':
        return '8';
    case '>':
        return '9';
    case '_':
        // Escaping the underscore too keeps the mapping reversible.
        return '_';
    default:
        return 0;
    }
}

// ASCII only: names are compared byte for byte, whatever the locale.
char lowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool isDotEntry(const char* name) {
    const std::string entry = name;
    return entry == "." || entry == "..";
}

} // namespace

bool fileExists(const std::string& path) {
    std::FILE* file = host::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return false;
    }
    host::fclose(file);
    return true;
}

StoredFile storedFileState(const std::string& path, std::string* reason) {
    int error = 0;
    const host::FileKind kind = host::GetFileKind(path.c_str(), &error);
    if (kind == host::FileKind::Missing) {
        return StoredFile::Missing;
    }
    if (kind == host::FileKind::Regular) {
        return StoredFile::Readable;
    }
    if (reason != nullptr) {
        *reason = host::describeFileKind(kind, error);
    }
    return StoredFile::Unusable;
}

void createDirectoryTree(const std::string& path) {
    if (fileExists(path)) {
        return;
    }
    // Parents first; a position of 0 is the root, which is never created.
    const std::size_t separator = lastSeparator(path);
    if (separator != std::string::npos && separator >= 1) {
        createDirectoryTree(path.substr(0, separator));
    }
    host::CreateDirectory(path.c_str(), nullptr);
}

std::string escapeFileName(const std::string& name, bool keepSpaces) {
    std::string escaped;
    escaped.reserve(name.size());
    for (const char c : name) {
        const char code = escapeCode(c, keepSpaces);
        if (code == 0) {
            escaped += c;
        } else {
            escaped += '_';
            escaped += code;
            escaped += '_';
        }
    }
    return escaped;
}

bool unescapeFileName(const std::string& escaped, std::string* name) {
    static constexpr std::string_view replaced = " \\/*|:?\"<>_";
    std::string result;
    for (std::size_t at = 0; at < escaped.size(); ++at) {
        if (escaped[at] != '_') {
            result += escaped[at];
            continue;
        }
        if (at + 2 >= escaped.size() || escaped[at + 2] != '_') {
            return false;
        }
        const char code = escaped[at + 1];
        const auto found = std::find_if(replaced.begin(), replaced.end(),
                                        [code](char c) { return escapeCode(c, false) == code; });
        if (found == replaced.end()) {
            return false;
        }
        result += *found;
        at += 2;
    }
    // Only a name that escapes to this very text: a space, say, is never in an escaped name.
    if (escapeFileName(result, false) != escaped) {
        return false;
    }
    *name = std::move(result);
    return true;
}

std::string applicationDirectory() {
    char buffer[host::MAX_PATH] = {};
    if (host::GetModuleFileName(nullptr, buffer, host::MAX_PATH) == 0) {
        return {};
    }
    // The host reports '/' paths; a '\' path is split the same way.
    const std::string program = buffer;
    const std::size_t separator = lastSeparator(program);
    return separator == std::string::npos ? std::string() : program.substr(0, separator);
}

std::string normaliseResourcePath(const std::string& path) {
    std::string result = path;
    for (char& c : result) {
        if (c == '\\') {
            c = '/';
        }
    }
    if (!result.empty() && result.front() == '/') {
        result.erase(0, 1);
    }
    return result;
}

std::string fileExtensionLower(const std::string& name) {
    const std::size_t dot = name.rfind('.');
    std::string extension = dot == std::string::npos ? name : name.substr(dot + 1);
    for (char& c : extension) {
        c = lowerAscii(c);
    }
    return extension;
}

std::string stripFileExtension(const std::string& name) {
    return name.substr(0, name.rfind('.'));
}

namespace FileUtil {

void DeleteDirectoryTree(const std::string& path) {
    if (path.size() < 2) {
        return;
    }
    const std::string folder = endsWithSeparator(path) ? path : path + "\\";
    host::WIN32_FIND_DATA entry;
    const host::HANDLE listing = host::FindFirstFile((folder + "*.*").c_str(), &entry);
    if (listing == INVALID_HANDLE_VALUE) {
        return;
    }
    do {
        const std::string child = folder + entry.cFileName;
        if ((entry.dwFileAttributes & host::FILE_ATTRIBUTE_DIRECTORY) != 0) {
            if (!isDotEntry(entry.cFileName)) {
                DeleteDirectoryTree(child);
            }
        } else {
            host::DeleteFile(child.c_str());
        }
    } while (host::FindNextFile(listing, &entry));
    host::FindClose(listing);
    host::RemoveDirectory(folder.c_str());
}

std::string CurrentDirectory() {
    std::vector<char> buffer(host::MAX_PATH);
    host::DWORD length = host::GetCurrentDirectory(static_cast<host::DWORD>(buffer.size()), buffer.data());
    // A longer path reports the size it needs; ask once more with that size.
    if (length >= buffer.size()) {
        buffer.resize(length);
        length = host::GetCurrentDirectory(static_cast<host::DWORD>(buffer.size()), buffer.data());
    }
    if (length == 0 || length >= buffer.size()) {
        return {};
    }
    return std::string(buffer.data(), length);
}

void NormalisePath(std::string& path) {
    for (char& c : path) {
        if (c == '\\') {
            c = '/';
        }
    }
    // Until none remain: a run of three or more slashes leaves a "//" after one pass.
    for (std::size_t at = path.find("//"); at != std::string::npos; at = path.find("//", at)) {
        path.erase(at, 1);
    }
}

} // namespace FileUtil

} // namespace kernel
