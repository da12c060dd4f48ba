#include "engine/ui/FrameCheck.h"

#include "engine/graphics/ImageFactory.h"
#include "engine/graphics/ImagePainter.h"
#include "engine/graphics/Screen16.h"
#include "engine/graphics/Screen32.h"
#include "engine/platform/Application.h"
#include "engine/platform/FrameTimer.h"
#include "engine/ui/Scene.h"
#include "engine/ui/SceneManager.h"
#include "engine/ui/SceneRenderer.h"
#include "host/DirectDraw.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <utility>
#include <vector>

namespace ui {

namespace {

bool wholeDrawing = false;
FrameCheck* current = nullptr;

// A picture's rows of pixels.
struct Rows {
    const std::uint8_t* first = nullptr;
    std::ptrdiff_t pitch = 0;
    int width = 0;
    int height = 0;
    int bytes = 0;

    const std::uint8_t* row(int y) const { return first + y * pitch; }
};

kernel::Rect differingRows(const Rows& a, const Rows& b) {
    if (a.width != b.width || a.height != b.height || a.bytes != b.bytes || a.first == nullptr ||
        b.first == nullptr) {
        return kernel::Rect(0, 0, std::max(a.width, b.width), std::max(a.height, b.height));
    }
    const host::RECT found =
        host::differingPixels(a.first, static_cast<host::LONG>(a.pitch), b.first,
                              static_cast<host::LONG>(b.pitch), a.width, a.height, a.bytes);
    return found.right <= found.left
               ? kernel::Rect()
               : kernel::Rect(found.left, found.top, found.right - found.left, found.bottom - found.top);
}

// The image's pixels as they are: a lock for reading keeps its content version.
Rows rowsOf(graphics::ImageBase& image) {
    Rows rows;
    rows.width = image.getWidth();
    rows.height = image.getHeight();
    rows.bytes = image.getPixelFormat()->bytesPerPixel;
    rows.first = static_cast<const std::uint8_t*>(image.getPixels());
    rows.pitch = rows.bytes > 0 ? static_cast<std::ptrdiff_t>(image.pixelIndex(0, 1)) * rows.bytes : 0;
    return rows;
}

// A screen image is read from its surface: locking it would tell the display that it may have been written,
// and the presentation would then look at what it would otherwise pass by.
host::IDirectDrawSurface7* surfaceOf(graphics::ImageBase& image) {
    if (image.isKindOf(graphics::Screen32::classInfo)) {
        return static_cast<graphics::Screen32&>(image).getSurface();
    }
    if (image.isKindOf(graphics::Screen16::classInfo)) {
        return static_cast<graphics::Screen16&>(image).getSurface();
    }
    return nullptr;
}

Rows rowsOf(host::IDirectDrawSurface7& surface) {
    return Rows{surface.pixels(), surface.pitch(), static_cast<int>(surface.width()),
                static_cast<int>(surface.height()), static_cast<int>(surface.bytesPerPixel())};
}

graphics::ImageBase* pictureLike(const graphics::ImageBase& back, graphics::ImageBase* reuse) {
    const auto bytes = back.getPixelFormat()->bytesPerPixel;
    if (reuse != nullptr && reuse->getWidth() == back.getWidth() && reuse->getHeight() == back.getHeight() &&
        reuse->getPixelFormat()->bytesPerPixel == bytes) {
        return reuse;
    }
    if (bytes == 2) {
        return graphics::createImage16(back.getWidth(), back.getHeight());
    }
    return bytes == 4 ? graphics::createImage32(back.getWidth(), back.getHeight()) : nullptr;
}

// A picture as a binary PPM, the screen's way: the top byte of a 32-bit pixel left out, RGB565 widened.
void writePicture(const std::string& path, const Rows& rows) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return;
    }
    std::fprintf(file, "P6\n%d %d\n255\n", rows.width, rows.height);
    std::vector<std::uint8_t> line(static_cast<std::size_t>(rows.width) * 3);
    for (int y = 0; y < rows.height; ++y) {
        const std::uint8_t* row = rows.row(y);
        for (int x = 0; x < rows.width; ++x) {
            std::uint32_t pixel = 0;
            std::memcpy(&pixel, row + x * rows.bytes, static_cast<std::size_t>(rows.bytes));
            if (rows.bytes == 2) {
                pixel = ((pixel & 0xF800u) << 8) | ((pixel & 0x07E0u) << 5) | ((pixel & 0x001Fu) << 3);
            }
            line[static_cast<std::size_t>(x) * 3] = static_cast<std::uint8_t>(pixel >> 16);
            line[static_cast<std::size_t>(x) * 3 + 1] = static_cast<std::uint8_t>(pixel >> 8);
            line[static_cast<std::size_t>(x) * 3 + 2] = static_cast<std::uint8_t>(pixel);
        }
        std::fwrite(line.data(), 1, line.size(), file);
    }
    std::fclose(file);
}

std::string describe(const kernel::Rect& area) {
    char text[64];
    std::snprintf(text, sizeof text, "(%d, %d) %d x %d", area.x, area.y, area.w, area.h);
    return text;
}

} // namespace

FrameCheck* FrameCheck::startWhenAsked() {
    const char* asked = std::getenv(variable);
    platform::FrameTimer* timer = platform::FrameTimer::instance();
    if (asked == nullptr || *asked == '\0' || std::strcmp(asked, "0") == 0 || timer == nullptr) {
        return nullptr;
    }
    auto* check = new FrameCheck();
    current = check;
    if (std::filesystem::is_directory(asked)) {
        check->keepIn = asked;
    }
    timer->addListener(check);
    return check;
}

bool FrameCheck::drawingWhole() {
    return wholeDrawing;
}

FrameCheck::FrameCheck() = default;

FrameCheck::~FrameCheck() {
    if (current == this) {
        current = nullptr;
    }
    host::checkPresentations(false);
    if (checkedFrames > 0) {
        std::fprintf(stderr, "frame check: %d of %d frames differed\n", differingFrames, checkedFrames);
    }
}

void FrameCheck::onStart() {
    host::checkPresentations(true);
}

// After the presentation: what the frame drew and what the window shows stand still until the next frame.
void FrameCheck::onFrame(std::uint32_t) {
    platform::Application* application = platform::Application::instance();
    graphics::ImageBase* back = application != nullptr ? application->getBackImage() : nullptr;
    host::IDirectDrawSurface7* surface = back != nullptr ? surfaceOf(*back) : nullptr;
    if (surface == nullptr || application->isMinimised()) {
        return;
    }
    // Only a frame drawn since the last check is checked, and only on the back buffer it was drawn on: a
    // display made again meanwhile (lost, or the window going at the quit) shows nothing of it.
    const kernel::SmartPtr<graphics::ImageBase> drawnBack = std::move(drawnOn);
    if (drawnBack.get() != back || !whole) {
        return;
    }
    ++checkedFrames;
    // The frame rate is written over the finished picture, past the scene.
    kernel::Rect inBack;
    if (!application->isShowingFps() && whole->lockForReading()) {
        inBack = differingRows(rowsOf(*whole), rowsOf(*surface));
        if (!inBack.isEmpty() && !keepIn.empty() && keptPictures < picturesKept && inBack != lastBack) {
            ++keptPictures;
            const std::string name = keepIn + "/frame-" + std::to_string(checkedFrames);
            writePicture(name + "-drawn.ppm", rowsOf(*surface));
            writePicture(name + "-whole.ppm", rowsOf(*whole));
        }
        whole->unlock();
    }
    lastBack = inBack;
    const host::RECT shown = host::takePresentationDifference();
    const kernel::Rect inWindow(shown.left, shown.top, std::max<host::LONG>(shown.right - shown.left, 0),
                                std::max<host::LONG>(shown.bottom - shown.top, 0));
    if (!kernel::Rect::joined(inBack, inWindow).isEmpty()) {
        ++differingFrames;
    }
    std::string told;
    if (!inBack.isEmpty()) {
        told += "the back buffer differs from a whole drawing within " + describe(inBack);
    }
    if (!inWindow.isEmpty()) {
        told += std::string(told.empty() ? "" : "; ") + "the window differs from the back buffer within " +
                describe(inWindow);
    }
    if (!told.empty() && told != lastTold) {
        report(told);
    }
    lastTold = told;
}

void FrameCheck::report(const std::string& what) {
    SceneManager* manager = SceneManager::instance();
    Scene* scene = manager != nullptr ? manager->currentScene() : nullptr;
    std::fprintf(stderr, "frame check: frame %d (%s): %s\n", checkedFrames,
                 scene != nullptr ? scene->getName().c_str() : "no scene", what.c_str());
}

void FrameCheck::frameDrawn(GameNode& root) {
    if (current != nullptr) {
        current->whole = drawWhole(root, current->whole.get());
        platform::Application* application = platform::Application::instance();
        current->drawnOn = application != nullptr ? application->getBackImage() : nullptr;
    }
}

kernel::SmartPtr<graphics::ImageBase> FrameCheck::drawWhole(GameNode& root, graphics::ImageBase* reuse) {
    platform::Application* application = platform::Application::instance();
    graphics::ImageBase* back = application != nullptr ? application->getBackImage() : nullptr;
    if (back == nullptr) {
        return nullptr;
    }
    const kernel::SmartPtr<graphics::ImageBase> picture = pictureLike(*back, reuse);
    if (!picture) {
        return nullptr;
    }
    const kernel::SmartPtr<graphics::ImagePainter> painter = picture->createPainter();
    painter->setAlpha(255);
    painter->setColor(kernel::Color(0xFF000000u));
    painter->fillRect(0, 0, picture->getWidth(), picture->getHeight());
    wholeDrawing = true;
    paintScreen(root, *painter);
    wholeDrawing = false;
    return picture;
}

} // namespace ui
