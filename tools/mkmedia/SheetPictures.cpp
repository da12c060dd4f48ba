#include "tools/mkmedia/SheetPictures.h"

#include "engine/graphics/JpegDecoder.h"
#include "engine/graphics/PngDecoder.h"

namespace mkmedia {

Pictures::Pictures(const std::vector<Entry>& entries, const Context& context) {
    for (const Entry& entry : entries) {
        if (entry.element != "image" || entry.kind() == "background") {
            continue;
        }
        Strip strip;
        strip.image = graphics::loadPngImage((context.outputFolder / entry.file()).string());
        if (!strip.image) {
            continue;
        }
        strip.frames = std::max(1, entry.integer("frames", 1));
        strip.across = entry.text("orientation") == "horizontal";
        strip.width = strip.across ? strip.image->getWidth() / strip.frames : strip.image->getWidth();
        strip.height = strip.across ? strip.image->getHeight() : strip.image->getHeight() / strip.frames;
        strips[keyOf(entry.kind(), entry.text("look"), entry.text("part"), entry.text("collectable"))] =
            strip;
        files[entry.file()] = strip;
    }
}

const Strip* Pictures::find(const std::string& kind, const std::string& look, const std::string& part,
                            const std::string& number) const {
    const auto found = strips.find(keyOf(kind, look, part, number));
    return found == strips.end() ? nullptr : &found->second;
}

const Strip* Pictures::file(const std::string& name) const {
    const auto found = files.find(name);
    return found == files.end() ? nullptr : &found->second;
}

Canvas Pictures::frame(const Strip* strip, int index) {
    if (strip == nullptr) {
        return Canvas(frameWidth, frameHeight);
    }
    Canvas canvas(strip->width, strip->height);
    const int i = std::clamp(index, 0, strip->frames - 1);
    for (int y = 0; y < strip->height; ++y) {
        for (int x = 0; x < strip->width; ++x) {
            const int sx = strip->across ? i * strip->width + x : x;
            const int sy = strip->across ? y : i * strip->height + y;
            canvas.image().pixels32()[canvas.image().pixelIndex(x, y)] =
                strip->image->pixels32()[strip->image->pixelIndex(sx, sy)];
        }
    }
    return canvas;
}

std::string Pictures::keyOf(const std::string& kind, const std::string& look, const std::string& part,
                            const std::string& number) {
    return kind + "|" + look + "|" + part + "|" + number;
}

Canvas frameOf(const Pictures& pictures, const std::string& file, int index) {
    return Pictures::frame(pictures.file(file), index);
}

Canvas filled(int width, int height, Rgb colour) {
    Canvas canvas(width, height);
    canvas.paintAll(colour);
    canvas.revealAll(255);
    return canvas;
}

Canvas on(const Canvas& picture, Rgb ground) {
    Canvas both = filled(picture.width(), picture.height(), ground);
    both.stamp(picture.image(), 0, 0);
    return both;
}

Canvas jpegScene(const Context& context, const std::string& file) {
    constexpr int screenWidth = 640;
    constexpr int screenHeight = 480;
    constexpr Rgb sky = 0xBFE6FF;
    Canvas scene = filled(screenWidth, screenHeight, sky);
    const kernel::SmartPtr<graphics::MemoryImage32> picture =
        graphics::loadJpegImage((context.outputFolder / file).string());
    if (picture && picture->getWidth() == screenWidth && picture->getHeight() == screenHeight) {
        scene.painter().copyPixels(*picture, 0, 0, 0, 0, screenWidth, screenHeight);
        scene.revealAll(255);
    }
    return scene;
}

} // namespace mkmedia
