#include "tools/mkmedia/Manifest.h"

#include "host/XmlParsing.h"
#include "tools/mkmedia/ContactSheet.h"

#include <tinyxml.h>

#include <charconv>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

namespace mkmedia {

std::string Entry::text(const std::string& name, const std::string& fallback) const {
    const auto found = attributes.find(name);
    return found == attributes.end() ? fallback : found->second;
}

int Entry::integer(const std::string& name, int fallback) const {
    const std::string value = text(name);
    int result = 0;
    const auto [end, code] = std::from_chars(value.data(), value.data() + value.size(), result);
    return code == std::errc() && end == value.data() + value.size() ? result : fallback;
}

double Entry::number(const std::string& name, double fallback) const {
    const std::string value = text(name);
    if (value.empty()) {
        return fallback;
    }
    // strtod reads the "C" locale's decimal point: the tool never changes its locale.
    char* end = nullptr;
    const double result = std::strtod(value.c_str(), &end);
    return end == value.c_str() + value.size() ? result : fallback;
}

namespace {

using Generator = bool (*)(const Entry&, const Context&, std::string&);

struct GeneratorEntry {
    const char* element;
    Generator generate;
};

constexpr GeneratorEntry generators[] = {
    {"font", generateFont},
    {"image", generateImage},
    {"sound", generateSound},
    {"music", generateMusic},
};

Generator generatorFor(const std::string& element) {
    for (const GeneratorEntry& candidate : generators) {
        if (element == candidate.element) {
            return candidate.generate;
        }
    }
    return nullptr;
}

// Read through a stream rather than TiXmlDocument::LoadFile so the file's bytes are parsed as they are,
// whatever the platform's idea of text mode.
bool readFileText(const std::filesystem::path& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

Entry entryOf(const TiXmlElement& element) {
    Entry entry;
    entry.element = element.Value();
    for (const TiXmlAttribute* attribute = element.FirstAttribute(); attribute != nullptr;
         attribute = attribute->Next()) {
        entry.attributes[attribute->Name()] = attribute->Value();
    }
    return entry;
}

std::string describe(const Entry& entry) {
    const std::string file = entry.file();
    return "<" + entry.element + (file.empty() ? "" : " file=\"" + file + "\"") + ">";
}

} // namespace

bool readManifest(const std::filesystem::path& manifest, std::vector<Entry>& entries, std::string& error) {
    std::string text;
    if (!readFileText(manifest, text)) {
        error = manifest.string() + ": cannot be read";
        return false;
    }
    TiXmlDocument document;
    if (!host::parseXmlText(document, text.c_str())) {
        error = manifest.string() + ": nested more than " + std::to_string(host::maxXmlNesting) + " deep";
        return false;
    }
    if (document.Error()) {
        std::ostringstream message;
        message << manifest.string() << ":" << document.ErrorRow() << ": " << document.ErrorDesc();
        error = message.str();
        return false;
    }
    const TiXmlElement* root = document.RootElement();
    if (root == nullptr) {
        error = manifest.string() + ": no root element";
        return false;
    }
    for (const TiXmlElement* child = root->FirstChildElement(); child != nullptr;
         child = child->NextSiblingElement()) {
        entries.push_back(entryOf(*child));
    }
    return true;
}

bool generateAll(const std::vector<Entry>& entries, const Context& context, std::string& error) {
    for (const Entry& entry : entries) {
        const Generator generate = generatorFor(entry.element);
        std::string reason;
        if (generate == nullptr) {
            reason = "unknown element";
        } else if (entry.file().empty()) {
            reason = "no \"file\" attribute";
        } else if (generate(entry, context, reason)) {
            continue;
        }
        error = describe(entry) + ": " + reason;
        return false;
    }
    return true;
}

bool runManifest(const std::filesystem::path& manifest, const std::filesystem::path& outputFolder,
                 std::string& error) {
    std::vector<Entry> entries;
    if (!readManifest(manifest, entries, error)) {
        return false;
    }
    Context context;
    context.outputFolder = outputFolder;
    for (const Entry& entry : entries) {
        if (entry.element == "font") {
            context.fonts[entry.file()] = entry;
        }
    }
    return generateAll(entries, context, error);
}

bool writeSheetOfManifest(const std::filesystem::path& manifest, const std::filesystem::path& outputFolder,
                          const std::filesystem::path& sheet, std::string& error) {
    std::vector<Entry> entries;
    if (!readManifest(manifest, entries, error)) {
        return false;
    }
    Context context;
    context.outputFolder = outputFolder;
    return writeContactSheet(entries, context, sheet, error);
}

} // namespace mkmedia
