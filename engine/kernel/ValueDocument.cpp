#include "engine/kernel/ValueDocument.h"

#include "engine/kernel/FileBuffer.h"
#include "engine/kernel/PropertyStore.h"
#include "engine/kernel/Scrambler.h"
#include "host/Files.h"
#include "host/System.h"
#include "host/XmlParsing.h"

#include <tinyxml.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <limits>
#include <string_view>

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

// The whole file up to its first zero byte, with CR LF and a lone CR made LF as the XML library's own file
// reading makes them; false when it cannot be opened.
bool readTextFile(const std::string& name, std::string& text) {
    std::FILE* file = host::fopen(name.c_str(), "rb");
    if (file == nullptr) {
        return false;
    }
    std::string bytes;
    char chunk[4096];
    for (std::size_t count = 0; (count = host::fread(chunk, 1, sizeof chunk, file)) > 0;) {
        bytes.append(chunk, count);
    }
    host::fclose(file);
    bytes.resize(std::min(bytes.size(), bytes.find('\0')));
    for (std::size_t at = 0; at < bytes.size(); ++at) {
        if (bytes[at] != '\r') {
            text += bytes[at];
        } else if (at + 1 < bytes.size() && bytes[at + 1] == '\n') {
            continue;
        } else {
            text += '\n';
        }
    }
    return true;
}

// False when there is nothing to read: the file is not there, or is nested too deeply to be parsed. A parse
// error still counts as read: the document keeps what the library built before the error.
bool readDocument(const std::string& name, int mode, TiXmlDocument& document) {
    if (mode == modeFile) {
        std::string text;
        return readTextFile(name, text) && host::parseXmlText(document, text.c_str());
    }
    // The other modes name the file as it is stored (".!" appended, or inside the archive), so whether it
    // exists is whether it loads.
    FileBuffer buffer;
    if (kernel::loadFile(name, buffer, mode) == LoadResult::Failed) {
        return false;
    }
    return host::parseXmlText(document, buffer.data());
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

void ValueDocument::loadFile(const std::string& name) {
    condenseWhiteSpace();
    TiXmlDocument document;
    if (!readDocument(name, resolveFileMode(fileMode), document)) {
        return;
    }
    // The top-level elements only gather values: their own tags and attributes mean nothing.
    for (const TiXmlElement* top = document.FirstChildElement(); top; top = top->NextSiblingElement()) {
        for (const TiXmlElement* child = top->FirstChildElement(); child;
             child = child->NextSiblingElement()) {
            setChild(parseElement(*child));
        }
    }
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
        host::OutputDebugString("ValueDocument: a document without a save path was not saved\n");
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
            host::OutputDebugString(("Saving \"" + savePath + "\" failed: too large to scramble\n").c_str());
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
