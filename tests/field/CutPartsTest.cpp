// Pibbles whose parts are kept cut into frames, as the game's resource lists declare them: their composed
// looks, darkened parts, VIB shines and paints (the layers drawn one by one while an animation runs) at both
// depths are exactly those of pibbles made of the whole parts.
#include "engine/graphics/FrameStripImage.h"
#include "engine/graphics/ImageFactory.h"
#include "engine/graphics/ImagePainter.h"
#include "game/field/ImageComposition.h"
#include "game/field/Pibble.h"
#include "game/field/PibbleImages.h"
#include "game/foundation/GameIds.h"

#include "FieldWorld.h"

#include <gtest/gtest.h>

#include <random>

namespace {

using game::Pibble;
using kernel::SmartPtr;
namespace bit = game::animationBit;
namespace layer = game::pibbleLayer;
namespace flag = game::pibbleFlag;

struct Part {
    const char* id;
    int frames;
};
const Part parts[] = {
    {"PIBBLE_SHADOW", 1},         {"PIBBLE_RED_EARS", 3},      {"PIBBLE_RED_FEET", 1},
    {"PIBBLE_RED_BODY", 1},       {"PIBBLE_RED_HEAD", 1},      {"PIBBLE_RED_HEAD_STUBBORN", 1},
    {"PIBBLE_RED_HEAD_HAPPY", 1}, {"PIBBLE_RED_VIBSTATIC", 1}, {"PIBBLE_RED_VIBSHINE", 8},
    {"PIBBLE_DECHAIN", 7},        {"PIBBLE_BLINK_DEF", 1},     {"PIBBLE_RED_EARS_SHAKENO", 10}};

// Each frame a blob of soft and opaque pixels inside clear margins of its own; every third frame clear.
testsupport::Image32 partPicture(int frames, std::mt19937& random) {
    testsupport::Image32 image = graphics::createImage32(Pibble::frameWidth, Pibble::frameHeight * frames);
    for (int frame = 0; frame < frames; ++frame) {
        if (frame % 3 == 2) {
            continue;
        }
        const int left = static_cast<int>(random() % 40);
        const int top = static_cast<int>(random() % 50);
        const int right = left + 5 + static_cast<int>(random() % 50);
        const int bottom = top + 5 + static_cast<int>(random() % 60);
        for (int y = top; y < bottom; ++y) {
            for (int x = left; x < right; ++x) {
                const std::uint32_t alpha = random() % 2 == 0 ? 255u : random() % 256;
                image->pixels32()[image->pixelIndex(x, frame * Pibble::frameHeight + y)] =
                    alpha << 24 | (random() & 0xFFFFFFu);
            }
        }
    }
    return image;
}

void addSection(const std::map<std::string, SmartPtr<graphics::ImageBase>>& images) {
    kernel::NodeValue declaration(game::ids::groupPibbles, "Node");
    declaration.setChild(new kernel::ScalarValue("name", game::ids::groupPibbles, kernel::Typing::Untyped));
    SmartPtr<kernel::ResourceGroup> group = new kernel::ResourceGroup(declaration);
    for (const auto& [id, image] : images) {
        group->addResource(id, new testsupport::HeldResource(image.get(), id + ".png"));
    }
    kernel::ResourceManager::instance()->addGroup(group);
}

template <class Image> auto pixelsOf(const Image& image) {
    return testsupport::words(image);
}

// Everything a set of pibbles shows, in order: looks, each layer's picture put together whole, and paints
// with animations running on both depths.
std::vector<std::uint32_t> whatPibblesShow(bool cut) {
    fieldtest::FieldWorld world;
    fieldtest::FieldWorld::setDouble(game::ids::cfgDarkFactorRed, 0.4);
    std::mt19937 random(31);
    std::map<std::string, SmartPtr<graphics::ImageBase>> images;
    for (const Part& part : parts) {
        testsupport::Image32 whole = partPicture(part.frames, random);
        whole->setAlphaMode(true);
        SmartPtr<graphics::ImageBase> kept = whole.get();
        if (cut) {
            kept = graphics::FrameStripImage::cut(*whole, part.frames, false);
            EXPECT_TRUE(kept) << part.id;
        }
        images[part.id] = kept;
    }
    addSection(images);

    std::vector<std::uint32_t> shown;
    const auto append = [&shown](const auto& values) {
        shown.insert(shown.end(), values.begin(), values.end());
    };
    const std::int32_t kinds[] = {0, flag::stubborn, flag::vib, flag::vib | flag::stubborn, flag::chained};
    for (const std::int32_t kind : kinds) {
        SmartPtr<Pibble> pibble = new Pibble();
        pibble->setColour(game::colour::red);
        pibble->setFlags(kind);
        pibble->build();
        pibble->compose();
        append(pixelsOf(pibble->getComposedImage()));
        for (int index = 0; index < layer::count; ++index) {
            if (graphics::ImageBase* picture = pibble->layer(index).getImage()) {
                append(pixelsOf(*SmartPtr<graphics::MemoryImage32>(graphics::createImage32From(*picture))));
            }
        }
        for (const std::uint32_t animation : {bit::blink, bit::hop, bit::vibShine}) {
            pibble->addModifierType(animation);
            for (int frame = 0; frame < 3; ++frame) {
                pibble->layer(layer::ears).setCurrentFrame(frame);
                pibble->layer(layer::vibShine).setCurrentFrame(frame * 3);
                pibble->layer(layer::head).setX(frame * 7 - 5);
                pibble->setAlpha(frame == 1 ? 140 : 255);
                for (const int x : {60, 2, 590}) {
                    auto screen32 = testsupport::filled32(640, 300, 0xFF203040u);
                    auto screen16 = testsupport::filled16(640, 300, 0x1234);
                    pibble->setPosition(x, 150);
                    pibble->paint(*SmartPtr<graphics::ImagePainter>(screen32->createPainter()));
                    pibble->paint(*SmartPtr<graphics::ImagePainter>(screen16->createPainter()));
                    append(pixelsOf(*screen32));
                    append(pixelsOf(*screen16));
                }
            }
            pibble->removeModifierType(animation);
        }
    }
    return shown;
}

} // namespace

TEST(CutPibbleParts, PibblesLookDarkenShineAndPaintAsWithWholeParts) {
    const std::vector<std::uint32_t> whole = whatPibblesShow(false);
    const std::vector<std::uint32_t> cut = whatPibblesShow(true);
    ASSERT_EQ(whole.size(), cut.size());
    EXPECT_TRUE(whole == cut);
    EXPECT_GT(whole.size(), std::size_t{1000000});
}
