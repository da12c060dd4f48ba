#include "engine/kernel/ValueDocument.h"

#include "engine/kernel/FileBuffer.h"
#include "engine/kernel/PathUtil.h"
#include "engine/kernel/PropertyStore.h"
#include "engine/kernel/Scrambler.h"
#include "host/Files.h"
#include "host/System.h"
#include "host/XmlParsing.h"

#include <tinyxml.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>
#include <string_view>
#include <utility>

namespace kernel {
namespace {

constexpr std::array<std::string_view, 6> scalarTags = {"Integer", "Double", "Float",
                                                        "Boolean", "String", "Text"};

bool isScalarTag(const std::string& tag) {
    return std::find(scalarTags.begin(), scalarTags.end(), tag) != scalarTags.end();
}

// The XML library's switch is process-wide: setting it once keeps documents parsed on two threads from
// writing it at the same time.
void condenseWhiteSpace() {
    static const bool condensed = [] {
        TiXmlBase::SetCondenseWhiteSpace(true);
        return true;
    }();
    static_cast<void>(condensed);
}

std::string attributeOrEmpty(const TiXmlElement& element, const char* name) {
    const char* value = element.Attribute(name);
    return value ? value : "";
}

const TiXmlText* firstTextChild(const TiXmlElement& element) {
    for (const TiXmlNode* child = element.FirstChild(); child != nullptr; child = child->NextSibling()) {
        if (const TiXmlText* text = child->ToText()) {
            return text;
        }
    }
    return nullptr;
}

using ReadResult = DocumentRead::Result;

DocumentRead damaged(std::string problem) {
    return {ReadResult::Damaged, std::move(problem)};
}

enum class FileBytes { Missing, Unusable, TooLarge, Read };

// The whole file in one string, read from disk. Its size is asked first, so the string is made once at its
// size and a file over the bound is not read at all. Only a regular file is opened (a pipe would block); one
// that is there but cannot be read to its end is unusable, with the reason in *problem.
FileBytes readFileBytes(const std::string& name, std::string& text, std::string* problem) {
    switch (storedFileState(name, problem)) {
    case StoredFile::Missing:
        return FileBytes::Missing;
    case StoredFile::Unusable:
        return FileBytes::Unusable;
    case StoredFile::Readable:
        break;
    }
    std::FILE* file = host::fopen(name.c_str(), "rb");
    if (file == nullptr) {
        *problem = "cannot be opened";
        return FileBytes::Unusable;
    }
    long size = -1;
    if (host::fseek(file, 0, SEEK_END) == 0) {
        size = host::ftell(file);
    }
    host::fseek(file, 0, SEEK_SET);
    if (size > static_cast<long>(ValueDocument::maxFileBytes)) {
        host::fclose(file);
        return FileBytes::TooLarge;
    }
    text.reserve(size > 0 ? static_cast<std::size_t>(size) : 0);
    char chunk[4096];
    for (std::size_t count = 0; (count = host::fread(chunk, 1, sizeof chunk, file)) > 0;) {
        // The size asked first may be wrong for a file that grows meanwhile.
        if (text.size() + count > ValueDocument::maxFileBytes) {
            host::fclose(file);
            return FileBytes::TooLarge;
        }
        text.append(chunk, count);
    }
    // Less than the file holds: a read error, which must not pass for a file cut short.
    const bool whole = std::ferror(file) == 0 && (size < 0 || text.size() >= static_cast<std::size_t>(size));
    host::fclose(file);
    if (!whole) {
        *problem = "cannot be read to its end (a read error)";
        return FileBytes::Unusable;
    }
    return FileBytes::Read;
}

// CR LF and a lone CR made LF in place, as the XML library's own file reading makes them.
void unifyLineEnds(std::string& text) {
    std::size_t kept = 0;
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (text[at] != '\r') {
            text[kept++] = text[at];
        } else if (at + 1 >= text.size() || text[at + 1] != '\n') {
            text[kept++] = '\n';
        }
    }
    text.resize(kept);
}

// The text is parsed up to its first zero byte: one before its end leaves the rest unread.
DocumentRead parseText(const char* text, std::size_t size, TiXmlDocument& document) {
    if (!host::parseXmlText(document, text)) {
        return damaged("nested more deeply than " + std::to_string(host::maxXmlNesting) + " elements");
    }
    if (document.Error()) {
        const int line = document.ErrorRow();
        return damaged(std::string(document.ErrorDesc()) +
                       (line > 0 ? " at line " + std::to_string(line) : std::string(" at its end")));
    }
    const std::size_t length = std::strlen(text);
    if (length < size) {
        return damaged("a zero byte at offset " + std::to_string(length));
    }
    return {ReadResult::Whole, {}};
}

// Missing when there is nothing to read. A parse error still leaves in the document what the library
// built before the error.
DocumentRead readDocument(const std::string& name, int mode, TiXmlDocument& document) {
    std::string text;
    std::string problem;
    FileBytes bytes = FileBytes::Read;
    if (mode == modeFile || mode == modeEncryptFile) {
        bytes = readFileBytes(storageFileName(mode, name), text, &problem);
    } else {
        // An archive entry: whether it exists is whether it loads.
        FileBuffer buffer;
        if (kernel::loadFile(name, buffer, mode) == LoadResult::Failed) {
            bytes = FileBytes::Missing;
        } else if (buffer.size() > ValueDocument::maxFileBytes) {
            bytes = FileBytes::TooLarge;
        } else {
            text.assign(buffer.data(), buffer.size());
        }
    }
    switch (bytes) {
    case FileBytes::Missing:
        return {};
    case FileBytes::Unusable:
        return {ReadResult::Unusable, problem};
    case FileBytes::TooLarge:
        return damaged("larger than " + std::to_string(ValueDocument::maxFileBytes) + " bytes, not read");
    case FileBytes::Read:
        break;
    }
    if (mode == modeFile) {
        unifyLineEnds(text);
    } else if (mode == modeEncryptFile) {
        xorScramble(text.data(), static_cast<std::int32_t>(text.size()));
    }
    return parseText(text.c_str(), text.size(), document);
}

} // namespace

ValueDocument::ValueDocument(const std::string& fileName) : NodeValue("", "root") {
    if (!fileName.empty()) {
        files.push_back(fileName);
    }
}

void ValueDocument::load() {
    for (const std::string& name : files) {
        loadFile(name);
    }
}

DocumentRead ValueDocument::loadFile(const std::string& name) {
    condenseWhiteSpace();
    TiXmlDocument document;
    const int mode = resolveFileMode(fileMode);
    const DocumentRead read = readDocument(name, mode, document);
    // A file on disk is named as it is stored, for whoever looks for it.
    const std::string shown = mode == modeEncryptFile ? storageFileName(mode, name) : name;
    if (read.isDamaged()) {
        host::ReportProblem(("Reading \"" + shown + "\": " + read.problem + "\n").c_str());
    } else if (read.isUnusable()) {
        host::ReportProblem(("Reading \"" + shown + "\": " + read.problem + "; it is left alone\n").c_str());
    }
    // The top-level elements only gather values: their own tags and attributes mean nothing.
    for (const TiXmlElement* top = document.FirstChildElement(); top; top = top->NextSiblingElement()) {
        for (const TiXmlElement* child = top->FirstChildElement(); child;
             child = child->NextSiblingElement()) {
            setChild(parseElement(*child));
        }
    }
    return read;
}

SmartPtr<Value> ValueDocument::parseElement(const TiXmlElement& element) {
    SmartPtr<Value> value = makeValue(element, attributeOrEmpty(element, "id"));
    if (value->isNode()) {
        copySetup(element, value->asNode());
    }
    readAttributes(element, *value);
    readText(element, *value);
    readChildElements(element, *value);
    return value;
}

SmartPtr<Value> ValueDocument::makeValue(const TiXmlElement& element, const std::string& name) const {
    const std::string& tag = element.ValueStr();
    if (tag == "Vector") {
        return new VectorValue(name);
    }
    if (isScalarTag(tag)) {
        return new ScalarValue(name, tag);
    }
    const TiXmlNode* first = element.FirstChild();
    if (!typedXml && first != nullptr && first->ToText() != nullptr) {
        return new ScalarValue(tag, std::string(), Typing::Untyped);
    }
    return new NodeValue(name, tag);
}

// Runs before the element's own attributes and children, so those replace the shared ones of the same name.
// The Node table is only searched, never added to: documents are parsed on the loader thread too.
void ValueDocument::copySetup(const TiXmlElement& element, NodeValue& node) const {
    const std::string setup = attributeOrEmpty(element, "setup");
    const PropertyStore* store = PropertyStore::instance();
    const NodeValue* source = setup.empty() || store == nullptr ? nullptr : store->findNode(setup);
    if (source == nullptr) {
        return;
    }
    // The listed children first, so they keep their order; then those found by name only.
    for (const SmartPtr<Value>& child : source->children()) {
        node.setChild(child);
    }
    for (const auto& [name, child] : source->namedChildren()) {
        if (node.findChild(name) != child.get()) {
            node.setChild(child);
        }
    }
}

void ValueDocument::readAttributes(const TiXmlElement& element, Value& value) const {
    if (value.isScalar()) {
        if (const char* text = element.Attribute("value")) {
            value.asScalar().setText(std::string(text));
        }
        return;
    }
    if (!value.isNode()) {
        return;
    }
    for (const TiXmlAttribute* attribute = element.FirstAttribute(); attribute;
         attribute = attribute->Next()) {
        if (attribute->NameTStr() != "id") {
            value.asNode().setChild(
                new ScalarValue(attribute->NameTStr(), attribute->ValueStr(), Typing::Untyped));
        }
    }
}

// Runs after the attributes: an element's text wins over its "value" attribute.
void ValueDocument::readText(const TiXmlElement& element, Value& value) const {
    const TiXmlText* text = firstTextChild(element);
    if (text == nullptr) {
        return;
    }
    if (value.isScalar()) {
        value.asScalar().setText(text->ValueStr());
    } else if (value.isNode() && typedXml) {
        value.asNode().setChild(new ScalarValue("value", "Text", text->ValueStr()));
    }
}

void ValueDocument::readChildElements(const TiXmlElement& element, Value& value) {
    if (!value.isNode() && !value.isVector()) {
        return;
    }
    for (const TiXmlElement* child = element.FirstChildElement(); child;
         child = child->NextSiblingElement()) {
        if (value.isNode()) {
            value.asNode().setChild(parseElement(*child));
        } else {
            value.asVector().append(parseElement(*child));
        }
    }
}

SaveResult ValueDocument::save() {
    if (savePath.empty()) {
        host::ReportProblem("ValueDocument: a document without a save path was not saved\n");
        return SaveResult::Failed;
    }
    TiXmlDocument document;
    writeValue(*this, document, false);
    TiXmlPrinter printer;
    document.Accept(&printer);
    std::string bytes = printer.Str();

    const int mode = resolveFileMode(fileMode);
    const bool scrambled = mode != modeFile && mode != modeZip;
    if (scrambled) {
        if (bytes.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
            host::ReportProblem(("Saving \"" + savePath + "\" failed: too large to scramble\n").c_str());
            return SaveResult::Failed;
        }
        xorScramble(bytes.data(), static_cast<std::int32_t>(bytes.size()));
    }
    // Nothing is ever written into the archive: the archive modes save to disk as well.
    const std::string target = scrambled ? savePath + scrambledSuffix : savePath;
    return writeFileReplacing(target, bytes) ? SaveResult::Saved : SaveResult::Failed;
}

void ValueDocument::writeValue(const Value& value, TiXmlNode& parent, bool insideNode) {
    if (insideNode && value.isUntypedScalar()) {
        writeUntypedScalar(static_cast<const ScalarValue&>(value), parent);
        return;
    }
    if (!typedXml && value.isScalar()) {
        parent.LinkEndChild(new TiXmlText(static_cast<const ScalarValue&>(value).toString()));
        return;
    }
    // An element needs a tag: a value without a type name could not be read back.
    if (value.typeName().empty()) {
        return;
    }
    auto* element = new TiXmlElement(value.typeName());
    parent.LinkEndChild(element);
    if (!value.name().empty()) {
        element->SetAttribute("id", value.name());
    }
    if (value.isScalar()) {
        element->SetAttribute("value", static_cast<const ScalarValue&>(value).toString());
    } else if (value.isNode()) {
        writeNodeChildren(static_cast<const NodeValue&>(value), *element);
    } else if (value.isVector()) {
        for (const SmartPtr<Value>& child : static_cast<const VectorValue&>(value).children()) {
            writeValue(*child, *element, false);
        }
    }
}

// The attributes first, then the listed children in their order, so that reading the file back rebuilds
// the same list; children found by name only (after clearList) still belong to the Node and come last.
void ValueDocument::writeNodeChildren(const NodeValue& node, TiXmlElement& element) {
    for (const auto& [name, child] : node.namedChildren()) {
        if (child->isUntypedScalar()) {
            writeValue(*child, element, true);
        }
    }
    const VectorValue::List& listed = node.children();
    for (const SmartPtr<Value>& child : listed) {
        writeValue(*child, element, true);
    }
    for (const auto& [name, child] : node.namedChildren()) {
        if (!child->isUntypedScalar() && std::find(listed.begin(), listed.end(), child) == listed.end()) {
            writeValue(*child, element, true);
        }
    }
}

// Typed XML carries it as an attribute of the Node's element, plain XML as an element holding its text.
void ValueDocument::writeUntypedScalar(const ScalarValue& scalar, TiXmlNode& parent) {
    // Neither an attribute nor an element can be named by the empty text.
    if (scalar.name().empty()) {
        return;
    }
    if (typedXml) {
        if (TiXmlElement* element = parent.ToElement()) {
            element->SetAttribute(scalar.name(), scalar.toString());
        }
        return;
    }
    auto* element = new TiXmlElement(scalar.name());
    element->LinkEndChild(new TiXmlText(scalar.toString()));
    parent.LinkEndChild(element);
}

} // namespace kernel
