// The pibble sprite with the real art: the parts the resource lists declare for "pibbles", made by the
// media generator from the game's manifest into a temporary folder and decoded as the game decodes them.
#include "engine/graphics/PngDecoder.h"
#include "game/field/HitMask.h"
#include "game/field/Pibble.h"
#include "game/foundation/GameIds.h"
#include "tools/mkmedia/Manifest.h"

#include "FieldWorld.h"
#include "TempDir.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <set>

namespace {

using game::Pibble;
using kernel::SmartPtr;

const std::string sourceDir = PIBBLES_SOURCE_DIR;

// Id -> file ("media/...") of every picture the section "pibbles" declares.
std::map<std::string, std::string> declaredPibbles() {
    std::map<std::string, std::string> files;
    TiXmlDocument document((sourceDir + "/media/properties/resources.xml").c_str());
    EXPECT_TRUE(document.LoadFile());
    const TiXmlElement* sections =
        document.RootElement() ? document.RootElement()->FirstChildElement("Vector") : nullptr;
    for (const TiXmlElement* section = sections ? sections->FirstChildElement("Section") : nullptr; section;
         section = section->NextSiblingElement("Section")) {
        if (section->Attribute("name") != nullptr &&
            section->Attribute("name") == std::string(game::ids::groupPibbles)) {
            for (const TiXmlElement* image = section->FirstChildElement("Image"); image;
                 image = image->NextSiblingElement("Image")) {
                files[image->Attribute("id")] = image->Attribute("file");
            }
        }
    }
    return files;
}

class PibbleArtTest : public ::testing::Test {
protected:
    // Generates the pictures of the ids with the manifest's entries for their files and hands them to the
    // resource manager as the section "pibbles".
    void load(const std::set<std::string>& ids) {
        const std::map<std::string, std::string> declared = declaredPibbles();
        std::map<std::string, std::string> wanted;
        for (const std::string& id : ids) {
            ASSERT_TRUE(declared.contains(id)) << id;
            wanted[declared.at(id).substr(std::string("media/").size())] = id;
        }
        std::vector<mkmedia::Entry> entries;
        std::string error;
        ASSERT_TRUE(mkmedia::readManifest(sourceDir + "/media/mkmedia.xml", entries, error)) << error;
        std::erase_if(entries, [&](const mkmedia::Entry& entry) { return !wanted.contains(entry.file()); });
        ASSERT_EQ(entries.size(), wanted.size());
        mkmedia::Context context;
        context.outputFolder = dir.path();
        ASSERT_TRUE(mkmedia::generateAll(entries, context, error)) << error;
        std::map<std::string, testsupport::Image32> images;
        for (const auto& [file, id] : wanted) {
            images[id] = graphics::loadPngImage((dir.path() / file).string());
            ASSERT_TRUE(images[id]) << file;
        }
        fieldtest::FieldWorld::addSection(game::ids::groupPibbles, images);
    }

    testsupport::TempDir dir;
    fieldtest::FieldWorld world;
};

// Every colour's resting pibble stands on its feet inside the rows the game repaints (down to 10 below the
// feet), and the hit mask takes clicks on its body and nowhere beyond its cell.
TEST_F(PibbleArtTest, EachColourComposesInsideItsRowsWithItsHitMaskOnTheBody) {
    using namespace game::ids;
    std::set<std::string> ids = {pibbleShadow, pibbleHitMask};
    for (const char* prefix : pibbleColourPrefixes) {
        for (const char* part : {pibbleEars, pibbleFeet, pibbleBody, pibbleHead}) {
            ids.insert(std::string(prefix) + part);
        }
    }
    load(ids);
    graphics::ImageBase* mask = game::pibbleImage(pibbleHitMask);
    ASSERT_NE(mask, nullptr);
    constexpr int centreX = 48;
    constexpr int centreY = 80;
    constexpr int lastRow = 101 + Pibble::belowFeet;
    for (std::int32_t colour = game::colour::firstReal; colour <= game::colour::clown; ++colour) {
        SmartPtr<Pibble> pibble = new Pibble();
        pibble->setColour(colour);
        pibble->build();
        pibble->compose();
        const graphics::MemoryImage32& image = pibble->getComposedImage();
        int outside = 0;
        int body = 0;
        int bodyTaken = 0;
        for (int y = 0; y < Pibble::frameHeight; ++y) {
            for (int x = 0; x < Pibble::frameWidth; ++x) {
                const std::uint32_t alpha = image.pixels32()[image.pixelIndex(x, y)] >> 24;
                outside += y > lastRow && alpha != 0;
                // The fur's core: a circle well inside the outline, which the mask must cover.
                if ((x - centreX) * (x - centreX) + (y - centreY) * (y - centreY) <= 18 * 18) {
                    ++body;
                    bodyTaken += alpha == 255 && game::maskAllows(*mask, x, y);
                }
                if (game::maskAllows(*mask, x, y)) {
                    EXPECT_TRUE(x >= centreX - 24 && x <= centreX + 24 && y >= 56 && y <= 104)
                        << "colour " << colour << ": the mask takes " << x << "," << y << ", beyond the cell";
                }
            }
        }
        EXPECT_EQ(outside, 0) << "colour " << colour << " draws below row " << lastRow;
        EXPECT_EQ(bodyTaken, body) << "colour " << colour << ": the body is opaque and clickable";
        EXPECT_GT(image.pixels32()[image.pixelIndex(centreX, 100)] >> 24, 0u)
            << "colour " << colour << " stands";
    }
}

} // namespace
