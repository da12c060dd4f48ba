// Lays out arbitrary bytes as styled-text markup, each byte one character as the game widens its texts, in a
// label that grows with its text and in one of a fixed width; two fonts and a picture are there to be named.

#include "engine/kernel/NodeValue.h"
#include "engine/kernel/ResourceManager.h"
#include "engine/kernel/ScalarValue.h"
#include "engine/kernel/SmartPtr.h"
#include "engine/kernel/TextConversion.h"
#include "engine/ui/StyleLabel.h"

#include "EncodedImages.h"
#include "FuzzFolder.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

namespace {

std::string opaquePng(int width, int height) {
    testsupport::PngPicture picture;
    picture.width = width;
    picture.height = height;
    picture.samples.assign(static_cast<std::size_t>(width * height), 255);
    return testsupport::encodePng(picture);
}

std::string fontFormat(const std::string& info, int width, int height) {
    std::string glyphs;
    for (const char c : std::string_view("abcdefghijklmnopqrstuvwxyz0123456789.")) {
        glyphs += "<Node id=\"" + std::string(1, c) + "\" w=\"" + std::to_string(width) + "\" h=\"" +
                  std::to_string(height) + "\" width=\"" + std::to_string(width) + "\"/>";
    }
    return "<Font><Node id=\"charsetinfo\" " + info + "/><Vector id=\"charset\">" + glyphs +
           "</Vector></Font>";
}

// The fonts "small" and "big" and the picture "pic", in the section "text".
void loadResources() {
    std::filesystem::current_path(fuzzing::scratch().path());
    fuzzing::writeFile("small.png", opaquePng(64, 8));
    fuzzing::writeFile("big.png", opaquePng(16, 12));
    fuzzing::writeFile("pic.png", opaquePng(6, 12));
    fuzzing::writeFile("small.xml", fontFormat(R"(spacewidth="4" lineheight="10" baseline="6")", 4, 8));
    fuzzing::writeFile("big.xml", fontFormat(R"(spacewidth="6" lineheight="14" baseline="10")", 6, 12));
    fuzzing::writeFile("resources.xml", R"(<Resources><Vector id="Sections"><Node name="text" auto="false">
        <Font id="small" mask="small.png" format="small.xml"/><Font id="big" file="big.png" format="big.xml"/>
        <Image id="pic" file="pic.png"/></Node></Vector></Resources>)");
    kernel::ResourceManager* manager = kernel::ResourceManager::create();
    manager->addDefinitionPath("resources.xml");
    manager->loadDefinitions();
    for (const char* name : {"small", "big", "pic"}) {
        if (manager->getLoadedResource(name, "text") == nullptr) {
            std::abort();
        }
    }
}

kernel::SmartPtr<ui::StyleLabel> makeLabel(int width) {
    const kernel::SmartPtr<kernel::NodeValue> settings(new kernel::NodeValue("w", "StyleLabel"));
    settings->setChild(new kernel::ScalarValue("font", std::string("small"), kernel::Typing::Untyped));
    settings->setChild(new kernel::ScalarValue("section", std::string("text"), kernel::Typing::Untyped));
    settings->setChild(new kernel::ScalarValue("width", width, kernel::Typing::Untyped));
    return new ui::StyleLabel(*settings);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool loaded = [] {
        loadResources();
        return true;
    }();
    static_cast<void>(loaded);
    const kernel::WideString markup =
        kernel::widenString(std::string_view(reinterpret_cast<const char*>(data), size));
    for (const int width : {0, 60}) {
        const kernel::SmartPtr<ui::StyleLabel> label = makeLabel(width);
        label->setText(markup);
        label->relayout();
    }
    return 0;
}
