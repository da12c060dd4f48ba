// Pictures of a resource group through the real loader thread, from real PNG files: a group that is
// unloaded or removed lets its pictures go (only what still shows one keeps it), and a group requested
// again decodes them afresh, the same to the pixel.
#include "engine/graphics/ImageResource.h"
#include "engine/graphics/MemoryImage32.h"
#include "engine/kernel/ResourceManager.h"

#include "EncodedImages.h"
#include "Eventually.h"
#include "ResourceFolder.h"
#include "RuntimeDir.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

using namespace graphics;
using kernel::SmartPtr;

namespace {

constexpr int side = 3;
const char* const ids[] = {"RED", "GREEN", "BLUE"};

std::string pngFilled(std::uint16_t red, std::uint16_t green, std::uint16_t blue) {
    testsupport::PngPicture picture;
    picture.width = side;
    picture.height = side;
    picture.colourType = PNG_COLOR_TYPE_RGB_ALPHA;
    for (int i = 0; i < side * side; ++i) {
        picture.samples.insert(picture.samples.end(), {red, green, blue, 200});
    }
    return testsupport::encodePng(picture);
}

class ImageGroupTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir.write("red.png", pngFilled(255, 0, 0));
        dir.write("green.png", pngFilled(0, 255, 0));
        dir.write("blue.png", pngFilled(0, 0, 255));
        manager = kernel::ResourceManager::create();
        manager->addDefinitionPath(dir.write("resources.xml", R"(<Resources><Vector id="Sections">
            <Node name="scene"><Image id="RED" file="red.png"/><Image id="GREEN" file="green.png"/>
              <Image id="BLUE" file="blue.png"/></Node>
            <Node name="other"><Image id="ALSO_RED" file="red.png"/></Node></Vector></Resources>)"));
        manager->loadDefinitions();
        manager->setActive();
    }
    void TearDown() override { kernel::ResourceManager::destroy(); }

    void loadScene() {
        ASSERT_TRUE(manager->loadGroup("scene"));
        ASSERT_TRUE(testsupport::eventually([&] { return manager->isLoadingDone(); }));
    }
    MemoryImage32* picture(const char* id, const char* section = "scene") const {
        return static_cast<MemoryImage32*>(manager->getResource(id, section));
    }

    testsupport::RuntimeDir runtime;
    testsupport::WorkingFolder dir;
    kernel::ResourceManager* manager = nullptr;
};

std::vector<std::uint32_t> pixelsOf(const MemoryImage32& image) {
    return {image.pixels32(), image.pixels32() + side * side};
}

TEST_F(ImageGroupTest, AnUnloadedGroupLetsItsPicturesGoAndLoadsThemAgainWhenRequested) {
    loadScene();
    // A sprite that shows the red picture holds it; nothing holds the others.
    const SmartPtr<MemoryImage32> shown = picture("RED");
    ASSERT_TRUE(shown);
    const std::vector<std::uint32_t> red = pixelsOf(*shown);
    EXPECT_EQ(red.front(), 0xC8FF0000u);
    EXPECT_EQ(shown->referenceCount(), 2) << "the resource and the sprite";

    manager->unloadGroup("scene");
    for (const char* id : ids) {
        EXPECT_EQ(picture(id), nullptr) << id;
        EXPECT_FALSE(manager->findResource(id, "scene")->isLoaded()) << id;
    }
    EXPECT_EQ(shown->referenceCount(), 1) << "only what shows it keeps it";

    loadScene();
    ASSERT_NE(picture("RED"), nullptr);
    EXPECT_NE(picture("RED"), shown.get()) << "decoded afresh";
    EXPECT_EQ(pixelsOf(*picture("RED")), red);
    EXPECT_EQ(pixelsOf(*picture("BLUE")).front(), 0xC80000FFu);
}

// A picture declared in two groups is one resource: removing one group with its pictures unloads it for
// the other too, which loads it again on request.
TEST_F(ImageGroupTest, ARemovedGroupTakesItsPicturesAlongAndASharedOneLoadsAgainForTheOther) {
    loadScene();
    EXPECT_EQ(picture("ALSO_RED", "other"), picture("RED"));
    manager->removeGroup("scene", true);
    EXPECT_EQ(manager->findResource("RED", "scene"), nullptr);
    EXPECT_EQ(picture("ALSO_RED", "other"), nullptr);

    ASSERT_TRUE(manager->loadGroup("other"));
    ASSERT_TRUE(testsupport::eventually([&] { return manager->isLoadingDone(); }));
    ASSERT_NE(picture("ALSO_RED", "other"), nullptr);
    EXPECT_EQ(pixelsOf(*picture("ALSO_RED", "other")).front(), 0xC8FF0000u);
}

TEST_F(ImageGroupTest, LettingAlternativesGoKeepsTheOneShownAsItIs) {
    loadScene();
    MemoryImage32* kept = picture("GREEN");
    const SmartPtr<MemoryImage32> shownBefore = picture("BLUE");
    manager->unloadGroupExcept("scene", "GREEN");
    EXPECT_EQ(picture("GREEN"), kept);
    EXPECT_EQ(picture("RED"), nullptr);
    EXPECT_EQ(picture("BLUE"), nullptr);
    EXPECT_EQ(shownBefore->referenceCount(), 1);
}

} // namespace
