// Pictures kept cut into their frames: every pixel is still there, a frame's blit draws at both depths what
// the whole strip drew (clipped at each edge, at any alpha), every other read gets the whole picture, a
// declared strip loads cut and an odd-sized or broken one stays whole. And 16-bit twins written only where
// their source has pixels.
#include "engine/graphics/FrameStripImage.h"
#include "engine/graphics/ImageFactory.h"
#include "engine/graphics/ImagePainter.h"
#include "engine/graphics/ImageResource.h"
#include "engine/graphics/PixelLoops565.h"

#include "EncodedImages.h"
#include "ResourceFolder.h"
#include "TestImages.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

using namespace graphics;
using kernel::Rect;
using kernel::SmartPtr;
using testsupport::alphaPlane;
using testsupport::words;

namespace {

constexpr int frameW = 23;
constexpr int frameH = 17;
constexpr int frames = 5;

// Frame 1 is wholly clear; frame 2's pixels touch the frames on both sides of it; the others have clear
// margins of 0 to 5 pixels. Inside the margins a third of the pixels are opaque and some clear ones keep a
// colour, so the loops' pair and group shortcuts and the pixels that are not 0 but invisible all take part.
SmartPtr<MemoryImage32> stripPicture(bool horizontal, std::mt19937& random) {
    const int width = horizontal ? frameW * frames : frameW;
    const int height = horizontal ? frameH : frameH * frames;
    SmartPtr<MemoryImage32> image = createImage32(width, height);
    for (int frame = 0; frame < frames; ++frame) {
        if (frame == 1) {
            continue;
        }
        const int left = frame == 2 ? 0 : static_cast<int>(random() % 6);
        const int right = frame == 2 ? 0 : static_cast<int>(random() % 6);
        const int top = frame == 2 ? 0 : static_cast<int>(random() % 4);
        const int bottom = frame == 2 ? 0 : static_cast<int>(random() % 4);
        const int ox = horizontal ? frame * frameW : 0;
        const int oy = horizontal ? 0 : frame * frameH;
        for (int y = top; y < frameH - bottom; ++y) {
            for (int x = left; x < frameW - right; ++x) {
                const std::uint32_t colour = random() & 0x00FFFFFFu;
                const std::uint32_t pick = random() % 6;
                const std::uint32_t alpha = pick < 2 ? 255u : pick == 5 ? 0u : random() % 256;
                image->pixels32()[image->pixelIndex(ox + x, oy + y)] = alpha << 24 | colour;
            }
        }
    }
    image->setAlphaMode(true);
    return image;
}

SmartPtr<MemoryImage32> noise32(int width, int height, std::mt19937& random) {
    SmartPtr<MemoryImage32> image = createImage32(width, height);
    for (int i = 0; i < width * height; ++i) {
        image->pixels32()[i] = random();
    }
    return image;
}

SmartPtr<MemoryImage> noise16(int width, int height, std::mt19937& random) {
    SmartPtr<MemoryImage> image = createImage16(width, height);
    for (int i = 0; i < width * height; ++i) {
        image->pixels16()[i] = static_cast<std::uint16_t>(random());
        image->getAlphaBuffer()[i] = static_cast<std::uint8_t>(random());
    }
    return image;
}

Rect frameRect(bool horizontal, int frame) {
    return horizontal ? Rect(frame * frameW, 0, frameW, frameH) : Rect(0, frame * frameH, frameW, frameH);
}

// The same drawing done through a painter on a copy of the 32-bit and of the 16-bit background, once from
// the cut picture and once from the whole one; both results must be the same to the pixel.
template <class Draw>
void expectSameDrawing(ImageBase& cut, ImageBase& whole, std::mt19937& random, const Draw& draw) {
    const SmartPtr<MemoryImage32> background32 = noise32(64, 48, random);
    SmartPtr<MemoryImage32> fromCut32 = createImage32From(*background32);
    SmartPtr<MemoryImage32> fromWhole32 = createImage32From(*background32);
    draw(*SmartPtr<ImagePainter>(fromCut32->createPainter()), cut);
    draw(*SmartPtr<ImagePainter>(fromWhole32->createPainter()), whole);
    EXPECT_EQ(words(*fromCut32), words(*fromWhole32)) << "32 bits";

    const SmartPtr<MemoryImage> background16 = noise16(64, 48, random);
    SmartPtr<MemoryImage> fromCut16 = createImage16(64, 48);
    SmartPtr<MemoryImage> fromWhole16 = createImage16(64, 48);
    for (MemoryImage* target : {fromCut16.get(), fromWhole16.get()}) {
        std::copy_n(background16->pixels16(), 64 * 48, target->pixels16());
        std::copy_n(background16->getAlphaBuffer(), 64 * 48, target->getAlphaBuffer());
    }
    draw(*SmartPtr<ImagePainter>(fromCut16->createPainter()), cut);
    draw(*SmartPtr<ImagePainter>(fromWhole16->createPainter()), whole);
    EXPECT_EQ(words(*fromCut16), words(*fromWhole16)) << "16 bits";
    EXPECT_EQ(alphaPlane(*fromCut16), alphaPlane(*fromWhole16)) << "16 bits, alpha";
}

std::string pngOf(const MemoryImage32& image) {
    testsupport::PngPicture picture;
    picture.width = image.getWidth();
    picture.height = image.getHeight();
    picture.colourType = PNG_COLOR_TYPE_RGB_ALPHA;
    for (int i = 0; i < image.getWidth() * image.getHeight(); ++i) {
        const std::uint32_t pixel = image.pixels32()[i];
        picture.samples.insert(picture.samples.end(),
                               {std::uint16_t((pixel >> 16) & 0xFF), std::uint16_t((pixel >> 8) & 0xFF),
                                std::uint16_t(pixel & 0xFF), std::uint16_t(pixel >> 24)});
    }
    return testsupport::encodePng(picture);
}

} // namespace

TEST(FrameStrip, PiecesHoldEveryPixelOfTheirFrames) {
    std::mt19937 random(7);
    for (const bool horizontal : {false, true}) {
        SCOPED_TRACE(horizontal ? "side by side" : "one below the other");
        const SmartPtr<MemoryImage32> whole = stripPicture(horizontal, random);
        const SmartPtr<FrameStripImage> cut = FrameStripImage::cut(*whole, frames, horizontal);
        ASSERT_TRUE(cut);
        EXPECT_EQ(cut->getFrameCount(), frames);
        EXPECT_EQ(cut->getWidth(), whole->getWidth());
        EXPECT_EQ(cut->getHeight(), whole->getHeight());
        EXPECT_TRUE(cut->getAlphaMode());
        EXPECT_EQ(cut->alphaBounds(), whole->alphaBounds());

        for (int frame = 0; frame < frames; ++frame) {
            const Rect rect = frameRect(horizontal, frame);
            const FramePiece* piece = cut->findFramePiece(rect);
            ASSERT_NE(piece, nullptr);
            EXPECT_EQ(cut->findFramePiece(Rect(rect.x + 2, rect.y + 3, 5, 4)), piece)
                << "a part of the frame";
            if (frame == 1) {
                EXPECT_EQ(piece->image, nullptr) << "a clear frame keeps nothing";
                EXPECT_TRUE(piece->alphaBounds.isEmpty());
                continue;
            }
            ASSERT_NE(piece->image, nullptr);
            EXPECT_GE(piece->window.x, rect.x);
            EXPECT_GE(piece->window.y, rect.y);
            EXPECT_LE(piece->window.right(), rect.right());
            EXPECT_LE(piece->window.bottom(), rect.bottom());
            // Every pixel of the frame: from the piece inside the window, 0 outside it.
            for (int y = rect.y; y < rect.bottom(); ++y) {
                for (int x = rect.x; x < rect.right(); ++x) {
                    const bool inside = x >= piece->window.x && x < piece->window.right() &&
                                        y >= piece->window.y && y < piece->window.bottom();
                    const auto* stored = static_cast<const std::uint32_t*>(piece->image->getPixels());
                    const std::uint32_t value =
                        inside ? stored[piece->image->pixelIndex(x - piece->window.x, y - piece->window.y)]
                               : 0;
                    ASSERT_EQ(value, whole->pixels32()[whole->pixelIndex(x, y)]) << x << "," << y;
                }
            }
        }
        // Areas that no one frame holds.
        const Rect first = frameRect(horizontal, 0);
        const Rect second = frameRect(horizontal, 1);
        EXPECT_EQ(
            cut->findFramePiece(Rect(first.x, first.y, second.right() - first.x, second.bottom() - first.y)),
            nullptr);
        EXPECT_EQ(cut->findFramePiece(Rect(-1, 0, 3, 3)), nullptr);
        EXPECT_EQ(cut->findFramePiece(Rect(0, 0, 0, 3)), nullptr);
        EXPECT_EQ(cut->findFramePiece(frameRect(horizontal, frames)), nullptr);

        // A copy put together, and the whole picture asked of the cut one, are the strip itself.
        const SmartPtr<MemoryImage32> copy = createImage32From(*cut);
        ASSERT_TRUE(copy);
        EXPECT_EQ(words(*copy), words(*whole));
        EXPECT_TRUE(copy->getAlphaMode());
        const auto* pixels = static_cast<const std::uint32_t*>(cut->getPixels());
        ASSERT_NE(pixels, nullptr);
        EXPECT_EQ(std::vector<std::uint32_t>(pixels, pixels + whole->getWidth() * whole->getHeight()),
                  words(*whole));
        EXPECT_TRUE(cut->isCut()) << "the whole picture read is only a copy";
    }
}

// Places at and over every edge of the target and of a clip rectangle, origins, whole frames and parts of
// them, full, partial and no alpha: the frame's piece draws exactly what the strip drew.
TEST(FrameStrip, AFramesBlitDrawsWhatTheWholeStripDrew) {
    std::mt19937 random(11);
    struct Place {
        int dx, dy;
        Rect clip;
    };
    const Place places[] = {{3, 2, Rect(0, 0, 64, 48)},    {-5, -3, Rect(0, 0, 64, 48)},
                            {-21, 7, Rect(0, 0, 64, 48)},  {50, 40, Rect(0, 0, 64, 48)},
                            {44, -15, Rect(0, 0, 64, 48)}, {4, 4, Rect(9, 6, 13, 31)},
                            {10, 9, Rect(12, 11, 9, 3)},   {-1, 46, Rect(0, 0, 64, 48)}};
    int checked = 0;
    for (const bool horizontal : {false, true}) {
        const SmartPtr<MemoryImage32> whole = stripPicture(horizontal, random);
        const SmartPtr<FrameStripImage> cut = FrameStripImage::cut(*whole, frames, horizontal);
        ASSERT_TRUE(cut);
        for (int frame = 0; frame < frames; ++frame) {
            const Rect rect = frameRect(horizontal, frame);
            for (const Rect& source : {rect, Rect(rect.x + 1, rect.y + 2, rect.w - 3, rect.h - 5),
                                       Rect(rect.x + 6, rect.y, 9, rect.h)}) {
                for (const Place& place : places) {
                    for (const int alpha : {255, 170, 0}) {
                        SCOPED_TRACE(testing::Message()
                                     << (horizontal ? "across" : "down") << " frame " << frame << " at "
                                     << place.dx << "," << place.dy << " alpha " << alpha << " part "
                                     << source.x << "," << source.y);
                        expectSameDrawing(*cut, *whole, random, [&](ImagePainter& painter, ImageBase& image) {
                            painter.setClip(place.clip);
                            painter.setOrigin(1, -1);
                            painter.setAlpha(alpha);
                            painter.blit(image, place.dx, place.dy, source);
                        });
                        ++checked;
                    }
                }
            }
        }
    }
    EXPECT_EQ(checked, 2 * frames * 3 * 8 * 3);
}

// What no frame's piece can answer reads the whole picture: blits over two frames or the whole strip,
// blits without the picture's own alpha, rotated, scaled and copied pixels, lanes; a painter on the picture
// writes into it and the write is seen.
TEST(FrameStrip, EveryOtherReadGetsTheWholePicture) {
    std::mt19937 random(13);
    const SmartPtr<MemoryImage32> whole = stripPicture(false, random);
    const SmartPtr<FrameStripImage> cut = FrameStripImage::cut(*whole, frames, false);
    ASSERT_TRUE(cut);
    const auto draws = {
        +[](ImagePainter& painter, ImageBase& image) { painter.blit(image, 2, -20, 0, 10, 23, 30); },
        +[](ImagePainter& painter, ImageBase& image) { painter.blit(image, 5, -30); },
        +[](ImagePainter& painter, ImageBase& image) {
            painter.drawRotated(image, 0.7, 0.9, 10, -20, 11, 40);
        },
        +[](ImagePainter& painter, ImageBase& image) {
            painter.drawRotatedSmooth(image, 1.9, 1.2, 10, -10, 11, 40);
        },
        +[](ImagePainter& painter, ImageBase& image) {
            painter.drawScaled(image, 0, 17, 23, 17, 3, 4, 40, 30);
        },
        +[](ImagePainter& painter, ImageBase& image) {
            painter.drawScaledSmooth(image, 0, 34, 23, 17, 3, 4, 50, 20);
        },
        +[](ImagePainter& painter, ImageBase& image) { painter.copyPixels(image, 7, 3, 0, 30, 23, 17); },
        +[](ImagePainter& painter, ImageBase& image) { painter.copyLane(image, 2, 7, 3, 0, 34, 23, 17); },
        +[](ImagePainter& painter, ImageBase& image) { painter.maxLane(image, 1, 7, 3, 0, 0, 23, 17); },
    };
    for (const auto& draw : draws) {
        expectSameDrawing(*cut, *whole, random, draw);
    }
    // Without the picture's own alpha every pixel of the frame is drawn, the clear ones too.
    cut->setAlphaMode(false);
    whole->setAlphaMode(false);
    for (const int alpha : {255, 90}) {
        expectSameDrawing(*cut, *whole, random, [alpha](ImagePainter& painter, ImageBase& image) {
            painter.setAlpha(alpha);
            painter.blit(image, 4, 5, 0, 17, 23, 17);
        });
    }
    cut->setAlphaMode(true);

    SmartPtr<ImagePainter> painter = cut->createPainter();
    EXPECT_FALSE(cut->isCut()) << "written, the picture is whole";
    painter->setColor(kernel::Color(0xFF123456u));
    painter->fillRect(0, 0, 4, 4);
    // A fill keeps the target's alpha.
    EXPECT_EQ(static_cast<const std::uint32_t*>(cut->getPixels())[0] & 0x00FFFFFFu, 0x123456u);
    EXPECT_EQ(cut->findFramePiece(Rect(0, 0, 4, 4)), nullptr);
    const SmartPtr<MemoryImage32> copy = createImage32From(*cut);
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->pixels32()[0] & 0x00FFFFFFu, 0x123456u);
    EXPECT_EQ(copy->pixels32()[copy->pixelIndex(5, 40)], whole->pixels32()[whole->pixelIndex(5, 40)]);
}

// A sprite that rests on one frame keeps a picture of that frame alone: the frame's blits draw what the whole
// strip drew, at both depths, from the very piece the strip held; the other frames read and draw nothing, so
// letting the strip go gives their pieces back. A picture no longer cut, or an area over two frames, keeps
// nothing.
TEST(FrameStrip, AFrameKeptAloneDrawsAsTheStripDidAndHoldsNothingElse) {
    std::mt19937 random(29);
    for (const bool horizontal : {false, true}) {
        const SmartPtr<MemoryImage32> whole = stripPicture(horizontal, random);
        SmartPtr<FrameStripImage> cut = FrameStripImage::cut(*whole, frames, horizontal);
        ASSERT_TRUE(cut);
        for (const int frame : {0, 2, frames - 1}) {
            SCOPED_TRACE(testing::Message() << (horizontal ? "across" : "down") << " frame " << frame);
            const Rect rect = frameRect(horizontal, frame);
            const SmartPtr<FrameStripImage> kept =
                cut->keepingFrameOf(Rect(rect.x + 1, rect.y + 2, rect.w - 3, rect.h - 4));
            ASSERT_TRUE(kept);
            EXPECT_EQ(kept->getWidth(), whole->getWidth());
            EXPECT_EQ(kept->getHeight(), whole->getHeight());
            EXPECT_EQ(kept->getFrameCount(), frames);
            EXPECT_TRUE(kept->getAlphaMode());
            EXPECT_EQ(kept->findFramePiece(rect)->image, cut->findFramePiece(rect)->image)
                << "shared, not copied";
            for (int other = 0; other < frames; ++other) {
                if (other != frame) {
                    EXPECT_EQ(kept->findFramePiece(frameRect(horizontal, other))->image, nullptr) << other;
                }
            }
            for (const int alpha : {255, 140}) {
                expectSameDrawing(*kept, *whole, random, [&](ImagePainter& painter, ImageBase& image) {
                    painter.setAlpha(alpha);
                    painter.blit(image, 7, -3, rect);
                });
            }
            // Another frame draws nothing where the strip drew its pixels.
            const Rect other = frameRect(horizontal, frame == 0 ? 2 : 0);
            const SmartPtr<MemoryImage32> background = noise32(64, 48, random);
            SmartPtr<MemoryImage32> drawn = createImage32From(*background);
            SmartPtr<ImagePainter>(drawn->createPainter())->blit(*kept, 4, 4, other);
            EXPECT_EQ(words(*drawn), words(*background));
            // Read whole, the picture is the strip with only that frame's pixels.
            const SmartPtr<MemoryImage32> read = createImage32From(*kept);
            ASSERT_TRUE(read);
            for (int y = 0; y < whole->getHeight(); ++y) {
                for (int x = 0; x < whole->getWidth(); ++x) {
                    const bool inFrame = x >= rect.x && x < rect.right() && y >= rect.y && y < rect.bottom();
                    ASSERT_EQ(read->pixels32()[read->pixelIndex(x, y)],
                              inFrame ? whole->pixels32()[whole->pixelIndex(x, y)] : 0u)
                        << x << "," << y;
                }
            }
        }
        // Kept alone, the frame's piece outlives the strip that held every frame.
        const Rect last = frameRect(horizontal, frames - 1);
        const SmartPtr<FrameStripImage> kept = cut->keepingFrameOf(last);
        ASSERT_TRUE(kept);
        cut.reset();
        expectSameDrawing(*kept, *whole, random,
                          [&](ImagePainter& painter, ImageBase& image) { painter.blit(image, 2, 3, last); });

        const SmartPtr<FrameStripImage> again = FrameStripImage::cut(*whole, frames, horizontal);
        const Rect first = frameRect(horizontal, 0);
        EXPECT_FALSE(SmartPtr<FrameStripImage>(again->keepingFrameOf(
            Rect(first.x, first.y, first.w + (horizontal ? 1 : 0), first.h + (horizontal ? 0 : 1)))))
            << "over two frames";
        EXPECT_FALSE(SmartPtr<FrameStripImage>(again->keepingFrameOf(frameRect(horizontal, frames))))
            << "outside the picture";
        SmartPtr<ImagePainter>(again->createPainter());
        EXPECT_FALSE(SmartPtr<FrameStripImage>(again->keepingFrameOf(first))) << "written, no longer cut";
    }
}

TEST(FrameStrip, ACutLikeAnotherFollowsItsFramesOrNone) {
    std::mt19937 random(17);
    const SmartPtr<MemoryImage32> whole = stripPicture(true, random);
    const SmartPtr<FrameStripImage> model = FrameStripImage::cut(*whole, frames, true);
    ASSERT_TRUE(model);
    const SmartPtr<MemoryImage32> other = stripPicture(true, random);
    const SmartPtr<FrameStripImage> like = FrameStripImage::cutLike(*other, *model);
    ASSERT_TRUE(like);
    EXPECT_TRUE(like->isHorizontal());
    EXPECT_EQ(like->getFrameCount(), frames);
    EXPECT_EQ(words(*SmartPtr<MemoryImage32>(createImage32From(*like))), words(*other));
    EXPECT_FALSE(SmartPtr<FrameStripImage>(FrameStripImage::cutLike(*other, *whole))) << "the model is whole";
    const SmartPtr<MemoryImage32> smaller = createImage32(frameW, frameH);
    EXPECT_FALSE(SmartPtr<FrameStripImage>(FrameStripImage::cutLike(*smaller, *model))) << "another size";
}

// A declared strip loads cut and holds its file's pixels; one its count does not divide, a count that is no
// count, or a 16-bit picture stays whole; a broken file is an error whatever its frames.
TEST(FrameStrip, DeclaredStripsLoadCutAndOddOnesStayWhole) {
    testsupport::WorkingFolder dir;
    std::mt19937 random(19);
    const SmartPtr<MemoryImage32> down = stripPicture(false, random);
    const SmartPtr<MemoryImage32> across = stripPicture(true, random);
    dir.write("down.png", pngOf(*down));
    dir.write("across.png", pngOf(*across));
    dir.write("broken.png", pngOf(*down).substr(0, 60));

    const auto load = [&dir](const std::string& declaration) {
        SmartPtr<Image> image = testsupport::declareResource<Image>(dir, declaration);
        image->load();
        EXPECT_TRUE(image->isLoaded());
        return image;
    };
    const SmartPtr<Image> plain = load(R"(<Image id="res" file="down.png"/>)");
    ASSERT_FALSE(plain->hasError());
    ASSERT_TRUE(plain->getImage()->isKindOf(MemoryImage32::classInfo));
    const auto& decoded = static_cast<const MemoryImage32&>(*plain->getImage());

    const SmartPtr<Image> cutDown = load(R"(<Image id="res" file="down.png" framecount="5"/>)");
    ASSERT_FALSE(cutDown->hasError());
    ASSERT_EQ(cutDown->getImage()->getClassInfo(), &FrameStripImage::classInfo);
    EXPECT_EQ(words(*SmartPtr<MemoryImage32>(createImage32From(*cutDown->getImage()))), words(decoded));
    EXPECT_TRUE(cutDown->getImage()->isModified());

    const SmartPtr<Image> cutAcross =
        load(R"(<Image id="res" file="across.png" framecount="5" horizontalframelayout="true"/>)");
    ASSERT_EQ(cutAcross->getImage()->getClassInfo(), &FrameStripImage::classInfo);
    EXPECT_TRUE(static_cast<FrameStripImage&>(*cutAcross->getImage()).isHorizontal());
    const SmartPtr<Image> single = load(R"(<Image id="res" file="down.png" framecount="1"/>)");
    ASSERT_EQ(single->getImage()->getClassInfo(), &FrameStripImage::classInfo);
    EXPECT_EQ(words(*SmartPtr<MemoryImage32>(createImage32From(*single->getImage()))), words(decoded));

    for (const char* odd :
         {R"(<Image id="res" file="down.png" framecount="4"/>)",
          R"(<Image id="res" file="across.png" framecount="4" horizontalframelayout="true"/>)",
          R"(<Image id="res" file="down.png" framecount="0"/>)",
          R"(<Image id="res" file="down.png" framecount="-5"/>)",
          R"(<Image id="res" file="down.png" framecount="many"/>)",
          R"(<Image id="res" file="down.png" framecount="99999"/>)"}) {
        SCOPED_TRACE(odd);
        const SmartPtr<Image> kept = load(odd);
        ASSERT_FALSE(kept->hasError());
        EXPECT_EQ(kept->getImage()->getClassInfo(), &MemoryImage32::classInfo);
    }
    const SmartPtr<Image> broken = load(R"(<Image id="res" file="broken.png" framecount="5"/>)");
    EXPECT_TRUE(broken->hasError());
    EXPECT_EQ(broken->getImage(), nullptr);

    const SmartPtr<MemoryImage> image16 = createImage16(frameW, frameH * frames);
    EXPECT_FALSE(SmartPtr<FrameStripImage>(FrameStripImage::cut(*image16, frames, false)));
}

// A large 16-bit twin is written only between each row's first and last pixel that is not 0; drawn again
// after its source changed (pixels at the rows' ends cleared) it shows the new pixels, not the old ones.
TEST(FrameStrip, ATwinIsWrittenWhereItsSourceHasPixelsAndFollowsChanges) {
    std::mt19937 random(23);
    const int width = 200;
    const int height = 300;
    SmartPtr<MemoryImage32> source = createImage32(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 60; x < 140; ++x) {
            source->pixels32()[source->pixelIndex(x, y)] =
                (y % 5 == 0 ? 0x00FFFFFFu : 0xFF000000u) | random();
        }
    }
    source->setAlphaMode(true);
    source->setModified(true);
    const auto drawnOn16 = [&]() {
        SmartPtr<MemoryImage> target = createImage16(width, height);
        SmartPtr<ImagePainter>(target->createPainter())->blit(*source, 0, 0);
        return words(*target);
    };
    // What the loop draws from a 16-bit copy made whole at once.
    const auto expected16 = [&]() {
        SmartPtr<MemoryImage> target = createImage16(width, height);
        SmartPtr<MemoryImage> twin = createImage16From(*source);
        Blit565Alpha(*target, 0, 0, *twin, 0, 0, width, height);
        return words(*target);
    };
    EXPECT_EQ(drawnOn16(), expected16());
    auto* twin = static_cast<MemoryImage*>(source->getTwin());
    ASSERT_NE(static_cast<ImageBase*>(twin), source.get());
    EXPECT_TRUE(twin->hasUntouchedZeroPixels());
    EXPECT_EQ(twin->pixels16()[twin->pixelIndex(10, 10)], 0);
    EXPECT_EQ(twin->getAlphaBuffer()[10 * width + 199], 0);

    for (int y = 0; y < height; ++y) {
        for (int x = 60; x < 100; ++x) {
            source->pixels32()[source->pixelIndex(x, y)] = 0;
        }
    }
    source->setModified(true);
    EXPECT_EQ(drawnOn16(), expected16());
    EXPECT_NE(source->getTwin(), static_cast<ImageBase*>(twin))
        << "a changed source's twin starts from fresh memory";
}
