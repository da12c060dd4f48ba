#pragma once
// A small world for the front-end tests, made in a fresh working folder: the stored texts, a
// colour-keyed font loaded as "FONT_OOGIEBOOGIE_20" of "preloading" (every glyph 4 wide with a blank last
// column, 8 high, advancing 4: a text of n glyphs measures 4n + 1 and one of n lines is 10n - 2 high), the
// dialog declarations given, and a scene manager with the scenes "SOURCE" and "TARGET", whose background
// colours are known and whose entries and requests to close are counted.

#include "engine/graphics/ImagePainter.h"
#include "engine/kernel/PropertyStore.h"
#include "engine/kernel/ResourceManager.h"
#include "engine/ui/DialogManager.h"
#include "engine/ui/Scene.h"
#include "engine/ui/SceneManager.h"

#include "EncodedImages.h"
#include "ResourceFolder.h"
#include "RuntimeDir.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace frontendtest {

constexpr std::uint32_t sourceColour = 0x00336699u;
constexpr std::uint32_t targetColour = 0x00996633u;

class ColourScene : public ui::Scene {
public:
    explicit ColourScene(std::uint32_t colour) : colour(colour) {}
    void onEnter() override {
        ++entries;
        ui::Scene::onEnter();
        if (onEntered) {
            onEntered();
        }
    }
    void paint(graphics::ImagePainter& painter) override {
        painter.setColor(kernel::Color(colour));
        painter.fillRect(0, 0, 640, 480);
    }
    void onCloseRequest() override { ++closeRequests; }
    std::uint32_t colour;
    int entries = 0;
    int closeRequests = 0;
    void (*onEntered)() = nullptr;
};

class FrontendWorld {
public:
    explicit FrontendWorld(const std::string& declarations = "<dialogs><Node id=\"dialogs\"/></dialogs>") {
        kernel::PropertyStore* store = kernel::PropertyStore::create();
        store->textMapLookup("TEXT_LOAD_TRANSITION") = u"Loading";
        loadFont();
        ui::DialogManager::create(dir.write("dialogs.xml", declarations));
        manager = ui::SceneManager::create();
        source = new ColourScene(sourceColour);
        target = new ColourScene(targetColour);
        ui::RegisterScene("SOURCE", source);
        ui::RegisterScene("TARGET", target);
    }
    ~FrontendWorld() {
        ui::SceneManager::destroy();
        ui::DialogManager::destroy();
        kernel::ResourceManager::destroy();
        kernel::PropertyStore::destroy();
    }
    FrontendWorld(const FrontendWorld&) = delete;
    FrontendWorld& operator=(const FrontendWorld&) = delete;

    static void setText(const std::string& id, const std::u16string& text) {
        kernel::PropertyStore::instance()->textMapLookup(id) = text;
    }
    // The first scene runs in the frame of its switch.
    void startIn(const char* name) {
        manager->changeScene(name);
        frame();
    }
    void frame(std::uint32_t ms = 50) { manager->onFrame(ms); }

    ui::SceneManager* manager = nullptr;
    ColourScene* source = nullptr;
    ColourScene* target = nullptr;

private:
    void loadFont() {
        testsupport::PngPicture picture;
        picture.width = 64;
        picture.height = 8;
        for (int y = 0; y < picture.height; ++y) {
            for (int x = 0; x < picture.width; ++x) {
                picture.samples.push_back(x % 4 == 3 ? 0 : 255);
            }
        }
        dir.write("font.png", testsupport::encodePng(picture));
        std::string glyphs;
        for (const char c : std::string("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ.")) {
            glyphs += "<Node id=\"" + std::string(1, c) + R"(" w="4" h="8" width="4"/>)";
        }
        dir.write("font.xml", R"(<Font><Node id="charsetinfo" spacewidth="4" lineheight="10" baseline="6"/>)"
                              R"(<Vector id="charset">)" +
                                  glyphs + "</Vector></Font>");
        kernel::ResourceManager* resources = kernel::ResourceManager::create();
        resources->addDefinitionPath(dir.write(
            "resources.xml", R"(<Resources><Vector id="Sections"><Node name="preloading" auto="false">
              <Font id="FONT_OOGIEBOOGIE_20" mask="font.png" format="font.xml"/></Node></Vector></Resources>)"));
        resources->loadDefinitions();
        EXPECT_NE(resources->getLoadedResource("FONT_OOGIEBOOGIE_20", "preloading"), nullptr);
    }

    testsupport::RuntimeDir runtime;
    testsupport::WorkingFolder dir;
};

} // namespace frontendtest
