#include "host/RegistryFile.h"

#include "host/AtomicWrite.h"
#include "host/Files.h"
#include "host/XmlParsing.h"

#include <tinyxml.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_set>
#include <utility>

namespace host {
namespace {

constexpr const char* rootElement = "registry";
constexpr const char* keyElement = "key";
constexpr const char* valueElement = "value";

// The names of the types the engine uses; any other type is written as its number.
constexpr const char* typeNames[] = {"REG_NONE", "REG_SZ", "REG_EXPAND_SZ", "REG_BINARY", "REG_DWORD"};

char lowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string typeText(DWORD type) {
    return type < std::size(typeNames) ? typeNames[type] : std::to_string(type);
}

bool readUnsigned(const char* text, unsigned long long limit, DWORD* result) {
    if (text == nullptr || *text < '0' || *text > '9') {
        return false;
    }
    errno = 0;
    char* end = nullptr;
    const unsigned long long number = std::strtoull(text, &end, 10);
    if (errno != 0 || *end != '\0' || number > limit) {
        return false;
    }
    *result = static_cast<DWORD>(number);
    return true;
}

bool readType(const char* text, DWORD* type) {
    for (DWORD known = 0; known < std::size(typeNames); ++known) {
        if (text != nullptr && std::string(text) == typeNames[known]) {
            *type = known;
            return true;
        }
    }
    return readUnsigned(text, 0xFFFFFFFFull, type);
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    const char lower = lowerAscii(c);
    return (lower >= 'a' && lower <= 'f') ? lower - 'a' + 10 : -1;
}

bool decodeHex(const std::string& text, std::string* bytes) {
    if (text.size() % 2 != 0) {
        return false;
    }
    bytes->clear();
    for (std::size_t at = 0; at < text.size(); at += 2) {
        const int high = hexDigit(text[at]);
        const int low = hexDigit(text[at + 1]);
        if (high < 0 || low < 0) {
            return false;
        }
        bytes->push_back(static_cast<char>(high * 16 + low));
    }
    return true;
}

std::string encodeHex(const std::string& bytes) {
    static constexpr char digits[] = "0123456789abcdef";
    std::string text;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        text += digits[byte >> 4];
        text += digits[byte & 15];
    }
    return text;
}

// A string value is kept readable in the file when it is printable ASCII ending in its one zero; anything
// else (other bytes, no zero, zeros inside) is kept exactly, as hexadecimal.
bool isPlainText(const StoredValue& value) {
    if (value.type != 1 || value.data.empty() || value.data.back() != '\0') {
        return false;
    }
    for (std::size_t at = 0; at + 1 < value.data.size(); ++at) {
        if (value.data[at] < 0x20 || value.data[at] > 0x7E) {
            return false;
        }
    }
    return true;
}

bool readValueData(const TiXmlElement& element, DWORD type, std::string* data) {
    if (const char* number = element.Attribute("dword")) {
        DWORD dword = 0;
        if (!readUnsigned(number, 0xFFFFFFFFull, &dword)) {
            return false;
        }
        data->clear();
        for (int shift = 0; shift < 32; shift += 8) {
            data->push_back(static_cast<char>((dword >> shift) & 0xFF));
        }
        return true;
    }
    if (const char* text = element.Attribute("text")) {
        *data = std::string(text) + '\0';
        return type == 1;
    }
    const char* hex = element.Attribute("hex");
    return hex != nullptr && decodeHex(hex, data);
}

std::string lowerName(const char* name) {
    std::string lower = name;
    for (char& c : lower) {
        c = lowerAscii(c);
    }
    return lower;
}

// The names met so far in one key, lower-cased: a key of many values is read in time growing with their
// number, not its square.
struct NamesSeen {
    std::unordered_set<std::string> values;
    std::unordered_set<std::string> keys;
};

void readValue(const TiXmlElement& element, StoredKey& key, NamesSeen& seen) {
    StoredValue value;
    const char* name = element.Attribute("name");
    if (name == nullptr || !readType(element.Attribute("type"), &value.type) ||
        !readValueData(element, value.type, &value.data) || !seen.values.insert(lowerName(name)).second) {
        return;
    }
    value.name = name;
    key.values.push_back(std::move(value));
}

void readKeyContents(const TiXmlElement& element, StoredKey& key) {
    NamesSeen seen;
    for (const TiXmlElement* child = element.FirstChildElement(); child != nullptr;
         child = child->NextSiblingElement()) {
        if (child->ValueStr() == valueElement) {
            readValue(*child, key, seen);
            continue;
        }
        const char* name = child->Attribute("name");
        if (child->ValueStr() != keyElement || name == nullptr || *name == '\0' ||
            !seen.keys.insert(lowerName(name)).second) {
            continue;
        }
        StoredKey subKey;
        subKey.name = name;
        readKeyContents(*child, subKey);
        key.subKeys.push_back(std::move(subKey));
    }
}

void writeValue(const StoredValue& value, TiXmlElement& parent) {
    TiXmlElement element(valueElement);
    element.SetAttribute("name", value.name);
    element.SetAttribute("type", typeText(value.type));
    if (value.type == 4 && value.data.size() == 4) {
        DWORD dword = 0;
        for (int at = 3; at >= 0; --at) {
            dword = (dword << 8) | static_cast<unsigned char>(value.data[at]);
        }
        element.SetAttribute("dword", std::to_string(dword));
    } else if (isPlainText(value)) {
        element.SetAttribute("text", value.data.substr(0, value.data.size() - 1));
    } else {
        element.SetAttribute("hex", encodeHex(value.data));
    }
    parent.InsertEndChild(element);
}

void writeKeyContents(const StoredKey& key, TiXmlElement& element) {
    for (const StoredValue& value : key.values) {
        writeValue(value, element);
    }
    for (const StoredKey& subKey : key.subKeys) {
        TiXmlElement child(keyElement);
        child.SetAttribute("name", subKey.name);
        writeKeyContents(subKey, child);
        element.InsertEndChild(child);
    }
}

enum class FileBytes { Read, TooLarge, Unreadable };

// The whole file, unless it is larger than any registry the program writes (told by its size first, and
// while reading, as it may grow meanwhile); the error number when it could not be read to its end.
FileBytes readWholeFile(const std::string& path, std::string* bytes, int* error) {
    errno = 0;
    std::FILE* file = host::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        *error = errno != 0 ? errno : EACCES;
        return FileBytes::Unreadable;
    }
    struct stat info {};
    bool tooLarge =
        ::fstat(::fileno(file), &info) == 0 && static_cast<std::uintmax_t>(info.st_size) > maxXmlBytes;
    char buffer[4096];
    std::size_t count = 0;
    while (!tooLarge && (count = host::fread(buffer, 1, sizeof buffer, file)) > 0) {
        tooLarge = bytes->size() + count > maxXmlBytes;
        bytes->append(buffer, tooLarge ? 0 : count);
    }
    const bool complete = tooLarge || std::ferror(file) == 0;
    *error = complete ? 0 : (errno != 0 ? errno : EIO);
    std::fclose(file);
    if (tooLarge) {
        bytes->clear();
        return FileBytes::TooLarge;
    }
    return complete ? FileBytes::Read : FileBytes::Unreadable;
}

RegistryFileRead damaged(std::string problem) {
    return {RegistryFileRead::Result::Damaged, std::move(problem)};
}

// 0, or the error number of the folder that could not be made.
int makeFolders(const std::string& folder) {
    for (std::size_t at = folder.find('/', 1);; at = folder.find('/', at + 1)) {
        const std::string part = folder.substr(0, at);
        if (!part.empty() && ::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
            return errno;
        }
        if (at == std::string::npos) {
            return 0;
        }
    }
}

// Names and texts are bytes, read back one byte per character. The library writes control characters as
// references to their codes and every byte from 0x80 up as it is; those bytes (found only in attribute
// values) become references too, so the file is plain ASCII whatever an editor takes it for.
std::string referencesForHighBytes(const std::string& printed) {
    std::string text;
    for (const char c : printed) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            text += c;
            continue;
        }
        char reference[8];
        std::snprintf(reference, sizeof reference, "&#x%02X;", byte);
        text += reference;
    }
    return text;
}

} // namespace

bool sameRegistryName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t at = 0; at < a.size(); ++at) {
        if (lowerAscii(a[at]) != lowerAscii(b[at])) {
            return false;
        }
    }
    return true;
}

StoredKey* StoredKey::findSubKey(const std::string& keyName) {
    for (StoredKey& key : subKeys) {
        if (sameRegistryName(key.name, keyName)) {
            return &key;
        }
    }
    return nullptr;
}

StoredValue* StoredKey::findValue(const std::string& valueName) {
    for (StoredValue& value : values) {
        if (sameRegistryName(value.name, valueName)) {
            return &value;
        }
    }
    return nullptr;
}

std::string printRegistry(const StoredKey& root) {
    TiXmlDocument document;
    // The references stand for bytes, which makes them Latin-1 characters.
    document.InsertEndChild(TiXmlDeclaration("1.0", "ISO-8859-1", ""));
    TiXmlElement element(rootElement);
    writeKeyContents(root, element);
    document.InsertEndChild(element);
    TiXmlPrinter printer;
    printer.SetIndent("    ");
    document.Accept(&printer);
    return referencesForHighBytes(printer.Str());
}

StoredKey readRegistryFile(const std::string& path, RegistryFileRead* read) {
    StoredKey root;
    RegistryFileRead ignored;
    RegistryFileRead& outcome = read != nullptr ? *read : ignored;
    outcome = {};
    int error = 0;
    const FileKind kind = path.empty() ? FileKind::Missing : GetFileKind(path.c_str(), &error);
    if (kind == FileKind::Missing) {
        return root;
    }
    std::string bytes;
    if (kind != FileKind::Regular) {
        outcome = {RegistryFileRead::Result::Unusable, describeFileKind(kind, error)};
        return root;
    }
    switch (readWholeFile(path, &bytes, &error)) {
    case FileBytes::Unreadable:
        outcome = {RegistryFileRead::Result::Unusable, describeFileKind(FileKind::Unreadable, error)};
        return root;
    case FileBytes::TooLarge:
        outcome = damaged("larger than " + std::to_string(maxXmlBytes) + " bytes, not read");
        return root;
    case FileBytes::Read:
        break;
    }
    // The parser stops at a zero byte: what comes before it is read like a cut file.
    if (const std::size_t zero = bytes.find('\0'); zero != std::string::npos) {
        outcome = damaged("a zero byte at offset " + std::to_string(zero));
        bytes.resize(zero);
    }
    TiXmlDocument document;
    if (!parseXmlText(document, bytes.c_str())) {
        outcome = damaged("nested more deeply than " + std::to_string(maxXmlNesting) + " elements");
        return root;
    }
    // The library keeps what it built before an error, so the values of a cut file up to the cut are read.
    if (document.Error() && outcome.result != RegistryFileRead::Result::Damaged) {
        const int line = document.ErrorRow();
        outcome = damaged(std::string(document.ErrorDesc()) +
                          (line > 0 ? " at line " + std::to_string(line) : std::string(" at its end")));
    }
    const TiXmlElement* element = document.RootElement();
    if (element == nullptr || element->ValueStr() != rootElement) {
        if (outcome.result != RegistryFileRead::Result::Damaged) {
            outcome = damaged("no registry in it");
        }
        return root;
    }
    if (outcome.result != RegistryFileRead::Result::Damaged) {
        outcome.result = RegistryFileRead::Result::Whole;
    }
    readKeyContents(*element, root);
    return root;
}

DWORD writeRegistryFile(const std::string& path, const StoredKey& root) {
    const std::size_t slash = path.rfind('/');
    if (path.empty() || slash == std::string::npos) {
        return ERROR_PATH_NOT_FOUND;
    }
    if (const int error = makeFolders(path.substr(0, slash)); error != 0) {
        reportFailedWrite(path, error);
        return error == EACCES ? ERROR_ACCESS_DENIED : ERROR_PATH_NOT_FOUND;
    }
    // A file the next run would not read is not written: the old one stays, as it was.
    const std::string text = printRegistry(root);
    if (text.size() > maxXmlBytes) {
        reportFailedWrite(path, EFBIG);
        return ERROR_WRITE_FAULT;
    }
    // Private: the registry is the user's own.
    const FileWriteResult written = writeFileAtomically(path, text, privateFile);
    if (!written.succeeded()) {
        return written.error == EACCES ? ERROR_ACCESS_DENIED : ERROR_WRITE_FAULT;
    }
    return ERROR_SUCCESS;
}

} // namespace host
