// The pibble sprite with the real art: the parts the resource lists declare for "pibbles", made by the
// media generator from the game's manifest into a temporary folder and decoded as the game decodes them.
#include "engine/graphics/PngDecoder.h"
#include "game/field/HitMask.h"
#include "game/field/Pibble.h"
#include "game/foundation/GameIds.h"
#include "game/foundation/LevelFile.h"
#include "tools/mkmedia/Manifest.h"

#include "FieldWorld.h"
#include "TempDir.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
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
        for (const auto& [file, id] : wanted) {
            images[id] = graphics::loadPngImage((dir.path() / file).string());
            ASSERT_TRUE(images[id]) << file;
        }
        fieldtest::FieldWorld::addSection(game::ids::groupPibbles, images);
    }

    testsupport::TempDir dir;
    std::map<std::string, testsupport::Image32> images;
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

// The alpha of one frame of a pibble, 100 x 125, as a map that pictures are laid into.
class Reach {
public:
    int at(int x, int y) const {
        return x < 0 || y < 0 || x >= Pibble::frameWidth || y >= Pibble::frameHeight
                   ? 0
                   : alpha[static_cast<std::size_t>(y * Pibble::frameWidth + x)];
    }
    // Frame `frame` of a strip, `up` pixels higher than it is drawn at rest.
    void add(const graphics::MemoryImage32& image, int frame = 0, int up = 0) {
        for (int y = 0; y < Pibble::frameHeight; ++y) {
            for (int x = 0; x < Pibble::frameWidth; ++x) {
                const int row = frame * Pibble::frameHeight + y;
                if (y - up >= 0 && row < static_cast<int>(image.getHeight())) {
                    int& to = alpha[static_cast<std::size_t>((y - up) * Pibble::frameWidth + x)];
                    to = std::max(to, static_cast<int>(image.pixels32()[image.pixelIndex(x, row)] >> 24));
                }
            }
        }
    }
    // Every pixel within `margin` of one of at least `threshold`, as a solid 255.
    Reach grown(int threshold, int margin) const {
        Reach wide;
        for (int y = 0; y < Pibble::frameHeight; ++y) {
            for (int x = 0; x < Pibble::frameWidth; ++x) {
                for (int dy = -margin; dy <= margin; ++dy) {
                    for (int dx = -margin; dx <= margin; ++dx) {
                        if (dx * dx + dy * dy <= margin * margin && at(x + dx, y + dy) >= threshold) {
                            wide.alpha[static_cast<std::size_t>(y * Pibble::frameWidth + x)] = 255;
                        }
                    }
                }
            }
        }
        return wide;
    }

private:
    std::vector<int> alpha = std::vector<int>(Pibble::frameWidth * Pibble::frameHeight, 0);
};

int framesOf(const graphics::MemoryImage32& strip) {
    return static_cast<int>(strip.getHeight()) / Pibble::frameHeight;
}

// The cell sizes of the levels as they are written.
std::set<std::pair<int, int>> levelCellSizes() {
    std::set<std::pair<int, int>> sizes;
    for (const auto& entry : std::filesystem::directory_iterator(sourceDir + "/media/levels")) {
        const game::LevelFile level(entry.path().string());
        sizes.insert({level.cellWidth(), level.cellHeight()});
    }
    return sizes;
}

// The board draws a row after the one above it (a lower ground line is painted later), and of two pibbles
// in a row whichever came first. So what a pibble shows beyond its body (its ears at rest, pricked under
// the pointer and lifted 2 pixels, streaming up as it drops into a hole, swinging as it shakes its head, a
// collectable pibble's hat) lies over the three pibbles above it and the two beside it: none of it may
// reach their faces (each head the game shows, with a margin), or the board reads as a heap of ears.
TEST_F(PibbleArtTest, NoPibbleCoversTheFaceOfANeighbourDrawnBeforeIt) {
    using namespace game::ids;
    const std::set<std::pair<int, int>> cells = levelCellSizes();
    ASSERT_FALSE(cells.empty());
    constexpr const char* heads[] = {pibbleHead, pibbleHeadHappy, pibbleHeadUnhappy, pibbleHeadStubborn};
    std::set<std::string> ids = {pibbleShadow};
    for (const char* prefix : pibbleColourPrefixes) {
        for (const char* part : {pibbleEars, pibbleEarsShakeNo, pibbleFeet, pibbleBody}) {
            ids.insert(std::string(prefix) + part);
        }
        for (const char* head : heads) {
            ids.insert(std::string(prefix) + head);
        }
    }
    for (int number = 1; number <= collectableCount; ++number) {
        for (const char* part : pibbleCollectableParts) {
            ids.insert(pibbleCollectablePrefix + std::to_string(number) + part);
        }
    }
    load(ids);
    constexpr int faceMargin = 2;
    constexpr int pricked = 1;
    constexpr int focusLift = 2;
    // Each colour's pibble, then each collectable pibble (of colour 1: it wears its own parts).
    std::vector<std::pair<std::string, Reach>> reaches;
    std::vector<Reach> faces;
    const auto composed = [](std::int32_t colour, std::int32_t collectable) {
        SmartPtr<Pibble> pibble = new Pibble();
        pibble->setColour(colour);
        pibble->setCollectableId(collectable);
        pibble->build();
        pibble->compose();
        Reach reach;
        reach.add(pibble->getComposedImage());
        return reach;
    };
    for (std::int32_t colour = game::colour::firstReal; colour <= game::colour::clown; ++colour) {
        const std::string prefix = pibbleColourPrefixes[colour - game::colour::firstReal];
        Reach reach = composed(colour, 0);
        const graphics::MemoryImage32& ears = *images.at(prefix + pibbleEars);
        for (int frame = 0; frame < framesOf(ears); ++frame) {
            reach.add(ears, frame, frame == pricked ? focusLift : 0);
        }
        const graphics::MemoryImage32& shaking = *images.at(prefix + pibbleEarsShakeNo);
        for (int frame = 0; frame < framesOf(shaking); ++frame) {
            reach.add(shaking, frame);
        }
        reaches.emplace_back("colour " + std::to_string(colour), reach);
        Reach face;
        for (const char* head : heads) {
            face.add(*images.at(prefix + head));
        }
        faces.push_back(face.grown(129, faceMargin));
    }
    for (int number = 1; number <= collectableCount; ++number) {
        reaches.emplace_back("collectable " + std::to_string(number), composed(1, number));
    }
    // Where a neighbour drawn before it stands, in cells.
    constexpr int neighbours[][2] = {{-1, -1}, {0, -1}, {1, -1}, {-1, 0}, {1, 0}};
    for (const auto& [width, height] : cells) {
        for (const auto& [name, reach] : reaches) {
            std::string worst;
            int most = 0;
            for (std::size_t upper = 0; upper < faces.size(); ++upper) {
                for (const auto& [column, row] : neighbours) {
                    int covered = 0;
                    for (int y = 0; y < Pibble::frameHeight; ++y) {
                        for (int x = 0; x < Pibble::frameWidth; ++x) {
                            covered += reach.at(x, y) > 64 &&
                                       faces[upper].at(x - column * width, y - row * height) != 0;
                        }
                    }
                    if (covered > most) {
                        most = covered;
                        worst = "colour " + std::to_string(upper + 1) + " at (" + std::to_string(column) +
                                ", " + std::to_string(row) + ")";
                    }
                }
            }
            EXPECT_EQ(most, 0) << name << " covers " << most << " pixels of the face of " << worst
                               << " in cells of " << width << " x " << height;
        }
    }
}

// A player who does not see the hues must still tell the colours apart at a glance: in grey, over a pale
// pane, the pibbles of any two colours (the clown too) differ in the lightness of their fur, their ears and
// their markings. Seen from across the board the eye takes in blocks of about 5 pixels, so the pictures
// are compared block by block over the cell and the ears above it.
TEST_F(PibbleArtTest, AnyTwoColoursDifferInGrey) {
    using namespace game::ids;
    std::set<std::string> ids = {pibbleShadow};
    for (const char* prefix : pibbleColourPrefixes) {
        for (const char* part : {pibbleEars, pibbleFeet, pibbleBody, pibbleHead}) {
            ids.insert(std::string(prefix) + part);
        }
    }
    load(ids);
    constexpr int block = 5;
    constexpr int left = 26;
    constexpr int top = 46;
    constexpr int columns = 44 / block;
    constexpr int rows = 56 / block;
    constexpr double pane[] = {0xE4, 0xF0, 0xDC};
    // The mean grey of each block, by colour.
    std::vector<std::vector<double>> greys;
    for (std::int32_t colour = game::colour::firstReal; colour <= game::colour::clown; ++colour) {
        SmartPtr<Pibble> pibble = new Pibble();
        pibble->setColour(colour);
        pibble->build();
        pibble->compose();
        const graphics::MemoryImage32& image = pibble->getComposedImage();
        std::vector<double> blocks(columns * rows, 0.0);
        for (int y = 0; y < rows * block; ++y) {
            for (int x = 0; x < columns * block; ++x) {
                const std::uint32_t pixel = image.pixels32()[image.pixelIndex(left + x, top + y)];
                const double alpha = static_cast<double>(pixel >> 24) / 255;
                double channels[3];
                for (int c = 0; c < 3; ++c) {
                    channels[c] =
                        static_cast<double>((pixel >> (16 - 8 * c)) & 0xFF) * alpha + (1 - alpha) * pane[c];
                }
                blocks[static_cast<std::size_t>(y / block * columns + x / block)] +=
                    (0.299 * channels[0] + 0.587 * channels[1] + 0.114 * channels[2]) / (block * block);
            }
        }
        greys.push_back(blocks);
    }
    for (std::size_t a = 0; a < greys.size(); ++a) {
        for (std::size_t b = a + 1; b < greys.size(); ++b) {
            double difference = 0;
            for (std::size_t i = 0; i < greys[a].size(); ++i) {
                difference += std::abs(greys[a][i] - greys[b][i]) / static_cast<double>(greys[a].size());
            }
            EXPECT_GE(difference, 15.0) << "colours " << a + 1 << " and " << b + 1 << " look alike in grey";
        }
    }
}

} // namespace
