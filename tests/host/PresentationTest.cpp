// What reaches the window of a presented frame: the change detection over the back buffer, the scaler of
// the full-screen picture, and the rectangles the display sends for a frame.

#include "host/DirectDraw.h"
#include "host/FrameChanges.h"
#include "host/PictureScaler.h"
#include "host/Window.h"

#include "DisplaySurfaces.h"
#include "RecordingWindow.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <random>
#include <tuple>
#include <vector>

namespace {

using namespace host;

using Rects = std::vector<std::tuple<int, int, int, int>>;

Rects asTuples(const std::vector<SDL_Rect>& rects) {
    Rects out;
    for (const SDL_Rect& r : rects) {
        out.emplace_back(r.x, r.y, r.w, r.h);
    }
    return out;
}

// A picture of either depth whose rows carry padding, filled with a pattern that differs everywhere.
struct Picture {
    Picture(int width, int height, int bytes, int padding)
        : width(width), height(height), bytes(bytes), pitch(width * bytes + padding),
          memory(static_cast<std::size_t>(pitch) * height) {
        for (std::size_t i = 0; i < memory.size(); ++i) {
            memory[i] = static_cast<BYTE>(i * 7 + i / 977);
        }
    }
    void touch(int x, int y) { memory[static_cast<std::size_t>(y) * pitch + x * bytes] ^= 0x5A; }
    void touchPadding(int y) { memory[static_cast<std::size_t>(y) * pitch + width * bytes] ^= 0x5A; }

    int width;
    int height;
    int bytes;
    LONG pitch;
    std::vector<BYTE> memory;
};

struct ChangeCase {
    const char* name;
    int width;
    std::function<void(Picture&)> change;
    // The part that may have changed, as the back buffer's locks tell it; null for anywhere.
    const SDL_Rect* written;
    Rects expected;
};

const SDL_Rect topLeftQuarter{0, 0, 320, 240};

TEST(FrameChanges, SendsTheChangedTilesJoinedIntoFewRectangles) {
    const ChangeCase cases[] = {
        {"nothing", 640, [](Picture&) {}, nullptr, {}},
        {"one pixel", 640, [](Picture& p) { p.touch(70, 20); }, nullptr, {{64, 16, 64, 16}}},
        {"two far apart",
         640,
         [](Picture& p) { p.touch(0, 0), p.touch(639, 479); },
         nullptr,
         {{0, 0, 64, 16}, {576, 464, 64, 16}}},
        {"neighbours in a band",
         640,
         [](Picture& p) { p.touch(10, 5), p.touch(70, 9); },
         nullptr,
         {{0, 0, 128, 16}}},
        {"a column down the picture",
         640,
         [](Picture& p) {
             for (int y = 0; y < 480; y += 7) {
                 p.touch(100, y);
             }
         },
         nullptr,
         {{64, 0, 64, 480}}},
        {"the last tile is cut at the edge",
         100,
         [](Picture& p) { p.touch(99, 479); },
         nullptr,
         {{64, 464, 36, 16}}},
        {"only the padding", 640, [](Picture& p) { p.touchPadding(3); }, nullptr, {}},
        {"outside what was written", 640, [](Picture& p) { p.touch(400, 300); }, &topLeftQuarter, {}},
        {"inside what was written",
         640,
         [](Picture& p) { p.touch(300, 200), p.touch(400, 300); },
         &topLeftQuarter,
         {{256, 192, 64, 16}}},
    };
    for (const int bytes : {2, 4}) {
        for (const ChangeCase& c : cases) {
            SCOPED_TRACE(std::string(c.name) + (bytes == 2 ? " at 16 bits" : " at 32 bits"));
            Picture picture(c.width, 480, bytes, 12);
            FrameChanges changes;
            EXPECT_EQ(asTuples(changes.compare(picture.memory.data(), picture.pitch, c.width, 480, bytes)),
                      Rects({{0, 0, c.width, 480}}))
                << "the first picture is sent whole";
            c.change(picture);
            EXPECT_EQ(asTuples(changes.compare(picture.memory.data(), picture.pitch, c.width, 480, bytes,
                                               c.written)),
                      c.expected);
            EXPECT_TRUE(changes.compare(picture.memory.data(), picture.pitch, c.width, 480, bytes).empty() ||
                        c.written != nullptr)
                << "what was sent is the copy's now";
        }
    }
}

// Compared with the pixels last shown (the window's own, where they are the picture's bytes), the same
// rectangles are found, and nothing is kept: the window is brought up to date by sending them.
TEST(FrameChanges, ComparedWithTheShownPixelsItFindsTheSameRectangles) {
    const auto sendTo = [](Picture& shown, const Picture& picture, const std::vector<SDL_Rect>& rects) {
        for (const SDL_Rect& r : rects) {
            for (int y = r.y; y < r.y + r.h; ++y) {
                std::memcpy(
                    &shown.memory[static_cast<std::size_t>(y) * shown.pitch + r.x * picture.bytes],
                    &picture.memory[static_cast<std::size_t>(y) * picture.pitch + r.x * picture.bytes],
                    static_cast<std::size_t>(r.w) * picture.bytes);
            }
        }
    };
    for (const int bytes : {2, 4}) {
        SCOPED_TRACE(bytes == 2 ? "16 bits" : "32 bits");
        Picture picture(640, 480, bytes, 12);
        // The window's rows are longer than the picture's.
        Picture shown(700, 480, bytes, 0);
        FrameChanges changes;
        const auto compare = [&](const SDL_Rect* written = nullptr) {
            const std::vector<SDL_Rect> found =
                changes.compareWithShown(picture.memory.data(), picture.pitch, 640, 480, bytes, written,
                                         shown.memory.data(), shown.pitch);
            sendTo(shown, picture, found);
            return asTuples(found);
        };
        EXPECT_EQ(compare(), Rects({{0, 0, 640, 480}})) << "the first picture is sent whole";
        EXPECT_EQ(compare(), Rects{});
        picture.touch(10, 5);
        picture.touch(70, 9);
        picture.touch(639, 479);
        EXPECT_EQ(compare(), Rects({{0, 0, 128, 16}, {576, 464, 64, 16}}));
        EXPECT_EQ(compare(), Rects{});
        picture.touch(400, 300);
        EXPECT_EQ(compare(&topLeftQuarter), Rects{}) << "outside what was written";
        EXPECT_EQ(compare(), Rects({{384, 288, 64, 16}}));
        // Another way of comparing, or a forget, sends the whole picture.
        EXPECT_EQ(asTuples(changes.compare(picture.memory.data(), picture.pitch, 640, 480, bytes)),
                  Rects({{0, 0, 640, 480}}));
        EXPECT_EQ(compare(), Rects({{0, 0, 640, 480}}));
        changes.forget();
        EXPECT_EQ(compare(), Rects({{0, 0, 640, 480}}));
    }
}

TEST(FrameChanges, ForgettingOrAnotherShapeSendsEverything) {
    Picture picture(640, 480, 4, 0);
    FrameChanges changes;
    changes.compare(picture.memory.data(), picture.pitch, 640, 480, 4);
    changes.forget();
    EXPECT_EQ(asTuples(changes.compare(picture.memory.data(), picture.pitch, 640, 480, 4)),
              Rects({{0, 0, 640, 480}}));
    EXPECT_EQ(asTuples(changes.compare(picture.memory.data(), picture.pitch, 320, 480, 4)),
              Rects({{0, 0, 320, 480}}));
    EXPECT_EQ(asTuples(changes.compare(picture.memory.data(), picture.pitch, 320, 480, 2)),
              Rects({{0, 0, 320, 480}}));
}

// Scaled parts must join without seams: each is exactly that part of a drawing of the whole.
TEST(PictureScaler, APartDrawnAloneIsThatPartOfTheWholeDrawing) {
    std::mt19937 random(7);
    const int width = 64;
    const int height = 48;
    std::vector<std::uint32_t> source(static_cast<std::size_t>(width) * height);
    for (std::uint32_t& pixel : source) {
        pixel = random();
    }
    for (const auto& [shownWidth, shownHeight] :
         {std::pair(64, 48), std::pair(150, 100), std::pair(37, 29)}) {
        SCOPED_TRACE(shownWidth);
        PictureScaler scaler;
        scaler.setLayout(width, height, shownWidth, shownHeight);
        std::vector<std::uint32_t> whole(static_cast<std::size_t>(shownWidth) * shownHeight);
        scaler.draw(source.data(), width * 4, SDL_Rect{0, 0, shownWidth, shownHeight}, whole.data(),
                    shownWidth * 4);
        if (shownWidth == width) {
            for (std::size_t i = 0; i < source.size(); ++i) {
                ASSERT_EQ(whole[i], source[i] | 0xFF000000u) << "shown at its own size the picture is copied";
            }
        }
        const SDL_Rect changed{20, 10, 9, 5};
        const SDL_Rect part = scaler.reachOf(changed);
        std::vector<std::uint32_t> alone(static_cast<std::size_t>(part.w) * part.h);
        scaler.draw(source.data(), width * 4, part, alone.data(), part.w * 4);
        for (int y = 0; y < part.h; ++y) {
            for (int x = 0; x < part.w; ++x) {
                ASSERT_EQ(alone[static_cast<std::size_t>(y) * part.w + x],
                          whole[static_cast<std::size_t>(part.y + y) * shownWidth + part.x + x]);
            }
        }
        // Every output pixel that reads a changed picture pixel lies inside the reach: changing the picture
        // there changes nothing outside it.
        std::vector<std::uint32_t> altered = source;
        for (int y = changed.y; y < changed.y + changed.h; ++y) {
            for (int x = changed.x; x < changed.x + changed.w; ++x) {
                altered[static_cast<std::size_t>(y) * width + x] ^= 0x00FFFFFF;
            }
        }
        std::vector<std::uint32_t> again(whole.size());
        scaler.draw(altered.data(), width * 4, SDL_Rect{0, 0, shownWidth, shownHeight}, again.data(),
                    shownWidth * 4);
        for (int y = 0; y < shownHeight; ++y) {
            for (int x = 0; x < shownWidth; ++x) {
                const bool inside = x >= part.x && x < part.x + part.w && y >= part.y && y < part.y + part.h;
                const std::size_t i = static_cast<std::size_t>(y) * shownWidth + x;
                ASSERT_TRUE(inside || again[i] == whole[i]) << x << "," << y;
            }
        }
    }
}

// The display's own path: a window of the game's size shown through SDL's window surface (the dummy
// driver has one too), with the rectangles it sends for each frame.
class SentRectangles : public testsupport::RecordingWindowTest, public ::testing::WithParamInterface<int> {
protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        if (GetParam() == 2) {
            setenv("PIBBLES_DEPTH", "16", 1);
        } else {
            unsetenv("PIBBLES_DEPTH");
        }
        RecordingWindowTest::SetUp();
        window = create();
        ASSERT_NE(window, nullptr);
        display = testsupport::openDisplay();
        ASSERT_NE(display, nullptr);
        ASSERT_EQ(display->SetCooperativeLevel(window, DDSCL_NORMAL), DD_OK);
        DDSURFACEDESC2 desc = testsupport::surfaceDesc(0x4200);
        ASSERT_EQ(display->CreateSurface(&desc, &primary, nullptr), DD_OK);
        desc = testsupport::surfaceDesc(0x840, 640, 480);
        ASSERT_EQ(display->CreateSurface(&desc, &back, nullptr), DD_OK);
        ASSERT_EQ(back->bytesPerPixel(), static_cast<DWORD>(GetParam()));
    }
    void TearDown() override {
        for (IDirectDrawSurface7* surface : {back, primary}) {
            if (surface) {
                surface->Release();
            }
        }
        if (display) {
            display->Release();
        }
        RecordingWindowTest::TearDown();
        unsetenv("PIBBLES_DEPTH");
    }

    Rects present() {
        RECT game{0, 0, 640, 480};
        EXPECT_EQ(primary->Blt(&game, back, &game, 0, nullptr), DD_OK);
        Rects sent;
        for (const RECT& r : host::testing::lastSentRectangles()) {
            sent.emplace_back(r.left, r.top, r.right - r.left, r.bottom - r.top);
        }
        return sent;
    }
    // Writes one pixel under a lock of the given part (the whole surface when null).
    void paint(int x, int y, RECT* part = nullptr) {
        DDSURFACEDESC2 desc;
        desc.dwSize = DDSURFACEDESC2_SIZE;
        ASSERT_EQ(back->Lock(part, &desc, DDLOCK_WAIT, nullptr), DD_OK);
        auto* corner = static_cast<BYTE*>(desc.lpSurface);
        const int left = part ? part->left : 0;
        const int top = part ? part->top : 0;
        corner[(y - top) * desc.lPitch + (x - left) * GetParam()] ^= 0xFF;
        ASSERT_EQ(back->Unlock(nullptr), DD_OK);
    }

    HWND window = nullptr;
    IDirectDraw7* display = nullptr;
    IDirectDrawSurface7* primary = nullptr;
    IDirectDrawSurface7* back = nullptr;
};

TEST_P(SentRectangles, OnlyWhatChangedIsSentAndEverythingAfterTheWindowLostIt) {
    const Rects whole{{0, 0, 640, 480}};
    EXPECT_EQ(present(), whole) << "the first frame";
    EXPECT_EQ(present(), Rects{}) << "an unchanged frame sends nothing";
    paint(130, 40);
    EXPECT_EQ(present(), Rects({{128, 32, 64, 16}}));
    paint(5, 5);
    paint(600, 400);
    EXPECT_EQ(present(), Rects({{0, 0, 64, 16}, {576, 400, 64, 16}}));
    // A lock of a part of the surface tells where to look; writes elsewhere by its holder are not its own.
    RECT part{100, 100, 200, 200};
    paint(150, 150, &part);
    EXPECT_EQ(present(), Rects({{128, 144, 64, 16}}));
    // Locked and released without a change: looked at, nothing sent.
    paint(150, 150, &part);
    paint(150, 150, &part);
    EXPECT_EQ(present(), Rects{});

    host::testing::simulateExposure();
    EXPECT_EQ(present(), whole) << "an uncovered window";
    host::testing::simulateRenderReset();
    RECT game{0, 0, 640, 480};
    EXPECT_EQ(primary->Blt(&game, back, &game, 0, nullptr), DDERR_SURFACELOST);
    ASSERT_EQ(primary->Restore(), DD_OK);
    EXPECT_EQ(present(), whole) << "a restored surface";
}

INSTANTIATE_TEST_SUITE_P(Depths, SentRectangles, ::testing::Values(2, 4));

} // namespace
