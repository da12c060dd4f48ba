// Feeds arbitrary bytes to the settings document reader, typed and plain, as a damaged or hostile settings,
// resource or save file would be, and writes what it read back out and in again. Also checks the nesting
// count that every XML reader trusts before parsing: it must never fall short of how deeply the parser goes.

#include "engine/kernel/FileAccess.h"
#include "engine/kernel/SmartPtr.h"
#include "engine/kernel/ValueDocument.h"
#include "host/XmlParsing.h"

#include "FuzzFolder.h"

#include <tinyxml.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

int elementDepth(const TiXmlNode& node) {
    int deepest = 0;
    for (const TiXmlNode* child = node.FirstChild(); child != nullptr; child = child->NextSibling()) {
        deepest = std::max(deepest, elementDepth(*child));
    }
    return deepest + (node.ToElement() != nullptr ? 1 : 0);
}

// Only texts counted within the bound are parsed here: a count that fell short on a deep text would crash
// the parser, which is a find as well.
void checkNestingCount(const std::string& text) {
    const int counted = host::xmlNestingDepth(text.c_str());
    if (counted > host::maxXmlNesting) {
        return;
    }
    TiXmlDocument document;
    document.Parse(text.c_str(), nullptr, TIXML_ENCODING_LEGACY);
    if (elementDepth(document) > counted) {
        std::abort();
    }
}

void readWriteAndReadAgain(const std::string& path, bool typed) {
    const kernel::SmartPtr<kernel::ValueDocument> document(new kernel::ValueDocument(path));
    document->setFileMode(kernel::modeFile);
    document->setTypedXml(typed);
    document->load();
    document->setSavePath(fuzzing::scratch().file("saved.xml"));
    if (document->save() == kernel::SaveResult::Saved) {
        const kernel::SmartPtr<kernel::ValueDocument> again(
            new kernel::ValueDocument(document->getSavePath()));
        again->setFileMode(kernel::modeFile);
        again->setTypedXml(typed);
        again->load();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    checkNestingCount(text);
    const std::string path = fuzzing::scratch().file("settings.xml");
    if (!fuzzing::writeFile(path, text)) {
        return 0;
    }
    readWriteAndReadAgain(path, true);
    readWriteAndReadAgain(path, false);
    return 0;
}
