// The pibble sprite on a tiny picture set made here: every part covers the frame's left side up to its
// own width in a colour of its own, so the composed picture shows which part lies over which.
#include "game/field/Pibble.h"
#include "engine/graphics/ImageFactory.h"
#include "engine/graphics/ImagePainter.h"
#include "engine/ui/DelayModifier.h"
#include "game/field/FieldRenderer.h"
#include "game/field/PibbleColours.h"
#include "game/field/PibbleImages.h"
#include "game/foundation/GameIds.h"
#include "game/foundation/Random.h"

#include "FieldWorld.h"

#include <gtest/gtest.h>

namespace {

using game::Pibble;
using kernel::SmartPtr;
using testsupport::Image32;
namespace bit = game::animationBit;
namespace layer = game::pibbleLayer;

constexpr std::uint32_t shadow = 0xFF101010u;
constexpr std::uint32_t ears = 0xFF202020u;
constexpr std::uint32_t feet = 0xFFC86432u;
constexpr std::uint32_t body = 0xFF404040u;
constexpr std::uint32_t head = 0xFF505050u;
constexpr std::uint32_t headStubborn = 0xFFFF8080u;
constexpr std::uint32_t headHappy = 0xFF707070u;
constexpr std::uint32_t chain = 0xFF808080u;
constexpr std::uint32_t blink = 0xFF909090u;
constexpr std::uint32_t glow = 0xFF00FF00u;
constexpr std::uint32_t vibStatic = 0xFF0000FFu;

// Frames of 100 x 125 one below the other, each opaque over x < width (frame i's colour plus i).
Image32 part(std::uint32_t colour, int width, int frames = 1) {
    Image32 image = testsupport::filled32(Pibble::frameWidth, Pibble::frameHeight * frames, 0);
    for (int frame = 0; frame < frames; ++frame) {
        for (int y = 0; y < Pibble::frameHeight; ++y) {
            for (int x = 0; x < width; ++x) {
                image->pixels32()[image->pixelIndex(x, frame * Pibble::frameHeight + y)] = colour + frame;
            }
        }
    }
    return image;
}

class PibbleTest : public ::testing::Test {
protected:
    void SetUp() override {
        images = {{"PIBBLE_SHADOW", part(shadow, 95)},
                  {"PIBBLE_RED_EARS", part(ears, 80, 3)},
                  {"PIBBLE_RED_FEET", part(feet, 60)},
                  {"PIBBLE_RED_BODY", part(body, 40)},
                  {"PIBBLE_RED_HEAD", part(head, 20)},
                  {"PIBBLE_RED_HEAD_STUBBORN", part(headStubborn, 20)},
                  {"PIBBLE_RED_HEAD_HAPPY", part(headHappy, 20)},
                  {"PIBBLE_RED_VIBSTATIC", part(vibStatic, 100)},
                  {"PIBBLE_RED_VIBSHINE", part(0, 0, 8)},
                  {"PIBBLE_DECHAIN", part(chain, 10, 7)},
                  {"PIBBLE_BLINK_DEF", part(blink, 30)},
                  {"PIBBLE_CLOWN_HEAD", part(head, 20)}};
        // The shine's glow lies right of the pibble in every frame.
        Image32& shine = images["PIBBLE_RED_VIBSHINE"];
        for (int frame = 0; frame < 8; ++frame) {
            shine->pixels32()[shine->pixelIndex(99, frame * Pibble::frameHeight)] = glow;
        }
        fieldtest::FieldWorld::addSection(game::ids::groupPibbles, images);
        fieldtest::FieldWorld::setDouble(game::ids::cfgDarkFactorRed, 0.5);
    }

    static SmartPtr<Pibble> pibble(std::int32_t colour, std::int32_t flags = 0) {
        SmartPtr<Pibble> made = new Pibble();
        made->setColour(colour);
        made->setFlags(flags);
        return made;
    }
    // Builds and composes as the first paint does.
    static SmartPtr<Pibble> composed(std::int32_t colour, std::int32_t flags = 0, std::int32_t style = 0) {
        SmartPtr<Pibble> made = pibble(colour, flags);
        made->setStyle(style);
        made->build();
        made->compose();
        return made;
    }
    static std::uint32_t at(const Pibble& pibble, int x, int y = 60) {
        const graphics::MemoryImage32& image = pibble.getComposedImage();
        return image.pixels32()[image.pixelIndex(x, y)];
    }

    fieldtest::FieldWorld world;
    std::map<std::string, Image32> images;
};

TEST_F(PibbleTest, ComposesShadowEarsFeetBodyAndHeadInThatOrder) {
    const SmartPtr<Pibble> red = composed(game::colour::red);
    EXPECT_EQ(at(*red, 10), head);
    EXPECT_EQ(at(*red, 30), body);
    EXPECT_EQ(at(*red, 50), feet);
    EXPECT_EQ(at(*red, 70), ears);
    EXPECT_EQ(at(*red, 90), shadow);
    EXPECT_TRUE(red->getComposedImage().getAlphaMode());
    // The blink overlay is built but drawn only while blinking, never composed.
    EXPECT_NE(red->layer(layer::blink).getImage(), nullptr);
    EXPECT_EQ(at(*red, 25), body);

    // The chain lies over everything while chained.
    EXPECT_EQ(at(*composed(game::colour::red, game::pibbleFlag::chained), 5), chain);

    // Colour 0 has no parts: nothing is composed, the size stays.
    const SmartPtr<Pibble> none = composed(game::colour::none);
    EXPECT_EQ(at(*none, 90), 0u);
    EXPECT_EQ(none->getWidth(), Pibble::frameWidth);
    EXPECT_EQ(none->getHeight(), Pibble::frameHeight);
}

TEST_F(PibbleTest, StubbornPartsAreDarkenedButAHappyHeadWins) {
    const SmartPtr<Pibble> stubborn = composed(game::colour::red, game::pibbleFlag::stubborn);
    EXPECT_FLOAT_EQ(stubborn->darkFactor(), 0.5f);
    // 0xC8 - 127.5 truncates to 72, 0x64 and 0x32 floor at 0; the stubborn head is darkened too.
    EXPECT_EQ(at(*stubborn, 50), 0xFF480000u);
    EXPECT_EQ(at(*stubborn, 10), 0xFF7F0000u);
    EXPECT_EQ(at(*composed(game::colour::red, game::pibbleFlag::stubborn, game::headStyle::happy), 10),
              headHappy);

    // No darkening without the stubborn flag, nor for colours without a factor.
    EXPECT_FLOAT_EQ(composed(game::colour::red)->darkFactor(), 0.0f);
    EXPECT_FLOAT_EQ(pibble(game::colour::clown, game::pibbleFlag::stubborn)->darkFactor(), 0.0f);
    EXPECT_FLOAT_EQ(pibble(game::colour::none, game::pibbleFlag::stubborn)->darkFactor(), 0.0f);
}

TEST_F(PibbleTest, DarkenedPartsAreSharedByNameUntilTheCacheIsEmptied) {
    const SmartPtr<Pibble> first = composed(game::colour::red, game::pibbleFlag::stubborn);
    const SmartPtr<Pibble> second = composed(game::colour::red, game::pibbleFlag::stubborn);
    graphics::ImageBase* darkFeet = first->layer(layer::feet).getImage();
    EXPECT_EQ(second->layer(layer::feet).getImage(), darkFeet);
    EXPECT_NE(darkFeet, images["PIBBLE_RED_FEET"].get());
    // The first factor stays for the name; the original is untouched.
    EXPECT_EQ(game::darkenedPibbleImage("PIBBLE_RED_FEET", 0.9f), darkFeet);
    EXPECT_EQ(images["PIBBLE_RED_FEET"]->pixels32()[0], feet);

    // Emptied (the field's reset): a pibble keeps what it shows, a new one gets the new factor.
    game::clearPibbleImageCaches();
    fieldtest::FieldWorld::setDouble(game::ids::cfgDarkFactorRed, 1.0);
    EXPECT_EQ(first->layer(layer::feet).getImage(), darkFeet);
    EXPECT_EQ(at(*composed(game::colour::red, game::pibbleFlag::stubborn), 50), 0xFF000000u);
}

TEST_F(PibbleTest, TheVibShineShowsThePibbleAndIsPreparedOncePerColour) {
    const SmartPtr<Pibble> first = composed(game::colour::red, game::pibbleFlag::vib);
    const SmartPtr<Pibble> second =
        composed(game::colour::red, game::pibbleFlag::vib | game::pibbleFlag::stubborn);
    const ui::Sprite& shine = first->layer(layer::vibShine);
    ASSERT_NE(shine.getImage(), nullptr);
    EXPECT_EQ(second->layer(layer::vibShine).getImage(), shine.getImage());
    EXPECT_EQ(shine.getFrameCount(), 8);
    EXPECT_EQ(shine.getHeight(), Pibble::frameHeight);
    // Every frame holds the first pibble's look beside the glow; the strip of the section is left as it is.
    const auto& frames = static_cast<const graphics::MemoryImage32&>(*shine.getImage());
    for (int frame = 0; frame < 8; ++frame) {
        const int top = frame * Pibble::frameHeight;
        EXPECT_EQ(frames.pixels32()[frames.pixelIndex(10, top + 60)], head) << frame;
        EXPECT_EQ(frames.pixels32()[frames.pixelIndex(99, top)], glow) << frame;
    }
    EXPECT_EQ(images["PIBBLE_RED_VIBSHINE"]->pixels32()[images["PIBBLE_RED_VIBSHINE"]->pixelIndex(10, 60)],
              0u);
}

TEST_F(PibbleTest, ModifierTypesAreAddedOnlyWhenNewAndClearedExactly) {
    const SmartPtr<Pibble> red = pibble(game::colour::red);
    red->addModifierType(bit::clownGlow);
    red->addModifierType(bit::dechain | bit::clownGlow);
    EXPECT_EQ(red->getModifierTypes(), bit::clownGlow);
    red->removeModifierType(bit::dechain);
    EXPECT_EQ(red->getModifierTypes(), bit::clownGlow);
    red->addModifierType(bit::dechain);
    EXPECT_TRUE(red->hasModifierType(bit::dechain | bit::blink));
    // Two bits of which one is set: toggling would set the other and keep the pibble animated for ever.
    red->removeModifierType(bit::dechain | bit::blink);
    EXPECT_EQ(red->getModifierTypes(), bit::clownGlow);
    red->removeModifierType(bit::clownGlow);
    EXPECT_FALSE(red->anyModifierType());
}

TEST_F(PibbleTest, BoundsReachFromTheFrameTopToBelowTheFeetAndTakeInDust) {
    const SmartPtr<Pibble> red = pibble(game::colour::red);
    red->setPosition(100, 0);
    EXPECT_TRUE(red->updateBounds().isEmpty());
    red->setPosition(100, 200);
    EXPECT_EQ(red->updateBounds(), kernel::Rect(52, 99, 100, 111));
    // Lifted: the drawing rises, the shadow stays on the ground.
    red->setDepthOffset(30);
    EXPECT_EQ(red->updateBounds(), kernel::Rect(52, 69, 100, 141));
    // A dust cloud counts only while dust runs.
    red->addDustPoint(this, 300, 200);
    EXPECT_EQ(red->updateBounds(), kernel::Rect(52, 69, 100, 141));
    red->addModifierType(bit::dust);
    EXPECT_EQ(red->updateBounds(), kernel::Rect(52, 69, 298, 193));
    red->removeDustPoint(this);
    EXPECT_EQ(red->updateBounds(), kernel::Rect(52, 69, 100, 141));
}

TEST_F(PibbleTest, LeavingStubbornWhileItsAnimationRunsStopsItAndRestsThePibble) {
    game::FieldRenderer* renderer = game::FieldRenderer::create();
    const SmartPtr<Pibble> red = composed(game::colour::red, game::pibbleFlag::stubborn);
    red->setPosition(100, 200);
    red->addModifier(new ui::DelayModifier(1000));
    red->layer(layer::stubborn).addModifier(new ui::DelayModifier(1000));
    red->addModifierType(bit::stubborn);
    red->setStubborn(false);
    EXPECT_FALSE(red->isStubborn());
    EXPECT_TRUE(red->isLookDirty());
    EXPECT_FALSE(red->anyModifierType());
    EXPECT_TRUE(red->getModifierList().empty());
    EXPECT_TRUE(red->layer(layer::stubborn).getModifierList().empty());
    // Queued for the resting pibbles' layer, its rectangle dirty.
    EXPECT_TRUE(renderer->isLeftDirty() || renderer->isRightDirty());
    auto screen = testsupport::filled32(640, 480, 0);
    const SmartPtr<graphics::ImagePainter> painter = screen->createPainter();
    renderer->paint(*painter);
    EXPECT_EQ(renderer->fieldCount(), 1);
    game::FieldRenderer::destroy();
}

// A refill brings many pibbles that look alike: they share one composed picture, each look its own. A
// part picture that changed since makes a new look, and the field's reset lets the looks go while the
// pibbles keep what they show.
TEST_F(PibbleTest, PibblesThatLookAlikeShareOneComposedPicture) {
    const SmartPtr<Pibble> fresh = pibble(game::colour::red);
    EXPECT_FALSE(fresh->getComposedImage().getAlphaMode());
    EXPECT_EQ(fresh->getWidth(), Pibble::frameWidth);
    EXPECT_EQ(at(*fresh, 10), 0u);

    const SmartPtr<Pibble> first = composed(game::colour::red);
    const SmartPtr<Pibble> second = composed(game::colour::red);
    const SmartPtr<Pibble> chained = composed(game::colour::red, game::pibbleFlag::chained);
    const SmartPtr<Pibble> happy = composed(game::colour::red, 0, game::headStyle::happy);
    EXPECT_EQ(&second->getComposedImage(), &first->getComposedImage());
    EXPECT_EQ(first->getImage(), &first->getComposedImage());
    EXPECT_NE(&chained->getComposedImage(), &first->getComposedImage());
    EXPECT_NE(&happy->getComposedImage(), &first->getComposedImage());
    EXPECT_EQ(at(*second, 10), head);
    EXPECT_EQ(at(*chained, 5), chain);
    EXPECT_EQ(at(*happy, 10), headHappy);

    // A new head picture (its pixels marked changed) is another part: the next compose shows it.
    Image32& heads = images["PIBBLE_RED_HEAD"];
    std::fill_n(heads->pixels32(), Pibble::frameWidth * Pibble::frameHeight, 0xFF606060u);
    heads->setModified(true);
    const SmartPtr<Pibble> repainted = composed(game::colour::red);
    EXPECT_NE(&repainted->getComposedImage(), &first->getComposedImage());
    EXPECT_EQ(at(*repainted, 10), 0xFF606060u);
    EXPECT_EQ(at(*first, 10), head);

    const graphics::MemoryImage32* kept = &repainted->getComposedImage();
    game::clearPibbleImageCaches();
    EXPECT_EQ(&repainted->getComposedImage(), kept);
    EXPECT_EQ(at(*repainted, 10), 0xFF606060u);
    EXPECT_NE(&composed(game::colour::red)->getComposedImage(), kept);
}

// Looks no pibble shows are let go once the cache has grown past what is shown; shown ones stay shared,
// and a look let go is composed afresh when asked for again.
TEST_F(PibbleTest, TheLookCacheLetsGoOfLooksNoPibbleShows) {
    graphics::ImageBase* ears = game::pibbleImage("PIBBLE_RED_EARS");
    ASSERT_NE(ears, nullptr);
    const auto parts = [&](int shift) {
        return std::vector<game::PibblePart>{
            {ears, kernel::Rect(0, shift, Pibble::frameWidth, Pibble::frameHeight)}};
    };
    std::vector<SmartPtr<graphics::MemoryImage32>> shown;
    for (int shift = 0; shift < 40; ++shift) {
        shown.emplace_back(game::composedPibble(parts(shift), Pibble::frameWidth, Pibble::frameHeight));
    }
    const std::uint64_t unshownVersion =
        game::composedPibble(parts(40), Pibble::frameWidth, Pibble::frameHeight)->getContentVersion();
    for (int shift = 41; shift < 300; ++shift) {
        ASSERT_NE(game::composedPibble(parts(shift), Pibble::frameWidth, Pibble::frameHeight), nullptr);
    }
    for (int shift = 0; shift < 40; ++shift) {
        EXPECT_EQ(game::composedPibble(parts(shift), Pibble::frameWidth, Pibble::frameHeight),
                  shown[shift].get());
    }
    EXPECT_NE(game::composedPibble(parts(40), Pibble::frameWidth, Pibble::frameHeight)->getContentVersion(),
              unshownVersion);
    game::clearPibbleImageCaches();
}

TEST_F(PibbleTest, AClownTakesTheWildcardColourAndItsLook) {
    const SmartPtr<Pibble> clown = pibble(game::colour::red);
    clown->setClown(true);
    EXPECT_EQ(clown->getColour(), game::colour::clown);
    EXPECT_TRUE(clown->isClown());
    EXPECT_FALSE(clown->isPlain());
    clown->build();
    clown->compose();
    EXPECT_EQ(at(*clown, 10), head);
    EXPECT_EQ(game::PibbleColourName(game::colour::clown), "All");
    EXPECT_EQ(game::PibbleColourName(9), "");
}

// Painting onto a picture: the pibble stands at (60, 150), so its frame's top-left corner is at (12, 49).
class PibblePaintTest : public PibbleTest {
protected:
    std::uint32_t paintAt(Pibble& pibble, int x, int y) {
        auto screen = testsupport::filled32(200, 200, 0xFF000000u);
        const SmartPtr<graphics::ImagePainter> painter = screen->createPainter();
        pibble.setPosition(60, 150);
        pibble.paint(*painter);
        return screen->pixels32()[screen->pixelIndex(x, y)] & 0xFFFFFFu;
    }
};

TEST_F(PibblePaintTest, AtRestTheComposedPictureIsDrawnOverTheVibMarker) {
    const SmartPtr<Pibble> vib = pibble(game::colour::red, game::pibbleFlag::vib);
    EXPECT_EQ(paintAt(*vib, 12 + 10, 49 + 60), head & 0xFFFFFFu);
    EXPECT_FALSE(vib->isLookDirty());
    // The marker shows where the composed picture is transparent.
    EXPECT_EQ(paintAt(*vib, 12 + 97, 49 + 60), vibStatic & 0xFFFFFFu);
}

TEST_F(PibblePaintTest, AnimatedOverlaysAndMovedPartsAreDrawnLayerByLayer) {
    const SmartPtr<Pibble> red = pibble(game::colour::red);
    red->addModifierType(bit::blink);
    // An overlay over the composed picture.
    EXPECT_EQ(paintAt(*red, 12 + 25, 49 + 60), blink & 0xFFFFFFu);
    // A moving animation draws the parts themselves: a head moved right shows there.
    red->removeModifierType(bit::blink);
    red->addModifierType(bit::hop);
    red->layer(layer::head).setX(30);
    EXPECT_EQ(paintAt(*red, 12 + 45, 49 + 60), head & 0xFFFFFFu);
    EXPECT_EQ(paintAt(*red, 12 + 10, 49 + 60), body & 0xFFFFFFu);
}

TEST_F(PibblePaintTest, TheShadowStaysOnTheGroundWhileTheBodyRises) {
    const SmartPtr<Pibble> red = composed(game::colour::red);
    auto screen = testsupport::filled32(200, 200, 0xFF000000u);
    const SmartPtr<graphics::ImagePainter> painter = screen->createPainter();
    red->setPosition(60, 150);
    red->paintShadow(*painter);
    EXPECT_EQ(screen->pixels32()[screen->pixelIndex(12 + 90, 49)], 0xFF000000u) << "no shadow at rest";
    red->addModifierType(bit::jump);
    red->setDepthOffset(40);
    red->paintShadow(*painter);
    EXPECT_EQ(screen->pixels32()[screen->pixelIndex(12 + 90, 49)], shadow);
    red->paint(*painter);
    // The body is drawn 40 pixels higher, the shadow where it was.
    EXPECT_EQ(screen->pixels32()[screen->pixelIndex(12 + 30, 9)], body);
    EXPECT_EQ(screen->pixels32()[screen->pixelIndex(12 + 90, 49 + 124)], shadow);
}

// The shadow pass comes before the pibbles' own in a frame: a pibble that is new in it (falling in from
// above) has not been painted yet, and must still cast its shadow.
TEST_F(PibblePaintTest, ANewMovingPibbleCastsItsShadowInItsFirstFrame) {
    const SmartPtr<Pibble> red = pibble(game::colour::red);
    auto screen = testsupport::filled32(200, 200, 0xFF000000u);
    const SmartPtr<graphics::ImagePainter> painter = screen->createPainter();
    red->setPosition(60, 150);
    red->addModifierType(bit::jump);
    red->paintShadow(*painter);
    EXPECT_EQ(screen->pixels32()[screen->pixelIndex(12 + 90, 109)], shadow);
}

// A resting pibble is shown from the field renderer's cache, which is repainted only where it is told: a new
// head (the cheer of a party, the unhappy one, the normal one after hops) must reach it there, or the old
// face stays, and later repaints of its neighbours redraw it in strips, old and new eyes side by side.
TEST_F(PibblePaintTest, ANewLookOfARestingPibbleReachesTheRenderersCache) {
    game::FieldRenderer* renderer = game::FieldRenderer::create();
    auto screen = testsupport::filled32(640, 480, 0xFF000000u);
    const SmartPtr<graphics::ImagePainter> painter = screen->createPainter();
    const SmartPtr<Pibble> red = pibble(game::colour::red);
    red->setPosition(300, 300);
    renderer->addFieldItem(red.get());
    renderer->paint(*painter);
    const int headX = 300 - 48 + 10;
    const int headY = 300 - 101 + 60;
    // The cache keeps the colours; its alpha byte is not shown.
    const auto shownHead = [&] { return renderer->getCache().pixel(headX, headY) & 0xFFFFFFu; };
    EXPECT_EQ(shownHead(), head & 0xFFFFFFu);
    for (const auto& [style, expected] : {std::pair{game::headStyle::happy, headHappy},
                                          std::pair{game::headStyle::normal, head}}) {
        red->setStyle(style);
        renderer->paint(*painter);
        EXPECT_EQ(shownHead(), expected & 0xFFFFFFu) << "style " << style;
    }
    game::FieldRenderer::destroy();
}

TEST(PibbleColours, RandomColoursAreOneToN) {
    game::Random::create();
    for (int i = 0; i < 50; ++i) {
        const std::int32_t colour = game::randomColour(3);
        EXPECT_GE(colour, 1);
        EXPECT_LE(colour, 3);
    }
    game::Random::destroy();
}

} // namespace
