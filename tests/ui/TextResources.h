#pragma once
// Two small bitmap fonts and a picture, declared in a resources file of a fresh working folder and loaded
// into the section "text", and widgets made from XML, for the text widget tests.
//
// "small" (colour-keyed): letters, digits and "." are 4 wide and advance 4, so a text of n of them measures
// 4n + 1; a blank advances 4; glyphs 8 high, line height 10, baseline 6, top pad 2, bottom pad 1.
// "big": glyphs 6 wide and 12 high, line height 14, baseline 10. "pic": a 6 x 12 opaque picture.

#include "engine/graphics/BitmapFont.h"
#include "engine/kernel/FileAccess.h"
#include "engine/kernel/ObjectFactory.h"
#include "engine/kernel/ResourceManager.h"
#include "engine/kernel/ValueDocument.h"

#include "EncodedImages.h"
#include "ResourceFolder.h"
#include "RuntimeDir.h"

#include <gtest/gtest.h>

#include <string>

namespace testsupport {

class TextResources {
public:
    TextResources() {
        dir.write("small.png", opaquePng(64, 8));
        dir.write("big.png", opaquePng(16, 12));
        dir.write("pic.png", opaquePng(6, 12));
        dir.write("small.xml",
                  format(R"(spacewidth="4" lineheight="10" baseline="6" toppad="2" bottompad="1")", 4, 8));
        dir.write("big.xml", format(R"(spacewidth="6" lineheight="14" baseline="10")", 6, 12));
        kernel::ResourceManager* manager = kernel::ResourceManager::create();
        manager->addDefinitionPath(
            dir.write("resources.xml", R"(<Resources><Vector id="Sections"><Node name="text" auto="false">
              <Font id="small" mask="small.png" format="small.xml"/><Font id="big" file="big.png" format="big.xml"/>
              <Image id="pic" file="pic.png"/></Node></Vector></Resources>)"));
        manager->loadDefinitions();
        for (const char* name : {"small", "big", "pic"}) {
            EXPECT_NE(manager->getLoadedResource(name, "text"), nullptr) << name;
        }
    }
    ~TextResources() { kernel::ResourceManager::destroy(); }

    static graphics::BitmapFont* font(const std::string& name) {
        return static_cast<graphics::BitmapFont*>(
            kernel::ResourceManager::instance()->getResource(name, "text"));
    }

    // The widget declared with id "w" in the given element, or null when it is not a T.
    template <class T> kernel::SmartPtr<T> make(const std::string& element) const {
        return declared<T>(dir, "widgets.xml", "<Widgets>" + element + "</Widgets>", "w");
    }

private:
    static std::string opaquePng(int width, int height) {
        PngPicture picture;
        picture.width = width;
        picture.height = height;
        picture.samples.assign(static_cast<std::size_t>(width * height), 255);
        return encodePng(picture);
    }
    static std::string format(const std::string& info, int width, int height) {
        std::string glyphs;
        for (const char c : std::string("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789.")) {
            glyphs += "<Node id=\"" + std::string(1, c) + "\" w=\"" + std::to_string(width) + "\" h=\"" +
                      std::to_string(height) + "\" width=\"" + std::to_string(width) + "\"/>";
        }
        return "<Font><Node id=\"charsetinfo\" " + info + "/><Vector id=\"charset\">" + glyphs +
               "</Vector></Font>";
    }

    RuntimeDir runtime;
    WorkingFolder dir;
};

} // namespace testsupport
