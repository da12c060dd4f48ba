#include "engine/graphics/ImageResource.h"

#include "engine/graphics/FrameStripImage.h"
#include "engine/graphics/ImageFactory.h"
#include "engine/graphics/ImagePainter.h"
#include "engine/graphics/JpegDecoder.h"
#include "engine/graphics/PngDecoder.h"
#include "engine/kernel/FileAccess.h"
#include "engine/kernel/NodeValue.h"
#include "engine/kernel/ObjectFactory.h"
#include "engine/kernel/PathUtil.h"
#include "engine/kernel/ZipArchive.h"

#include <cstring>
#include <utility>

namespace graphics {
namespace {

constexpr int alphaLane = 0;
constexpr int redLane = 1;

kernel::Object* createImageResource(kernel::Value& settings) {
    return new Image(settings.asNode());
}

const kernel::ClassRegistrar registerImage("Image", createImageResource);

std::string narrowKey(const kernel::NodeValue& settings, const char* key) {
    return kernel::narrowString(settings.getValue(key).text());
}

bool startsWithPngSignature(const kernel::FileBuffer& buffer) {
    static constexpr char signature[4] = {'\x89', 'P', 'N', 'G'};
    return buffer.size() >= sizeof signature && std::memcmp(buffer.data(), signature, sizeof signature) == 0;
}

// Sets the alpha lane of the image to the red lane of the mask, from the top-left corner.
void copyRedToAlpha(ImageBase& target, const ImageBase& mask) {
    kernel::SmartPtr<ChannelBuffer> red = createImageChannel(mask, redLane);
    kernel::SmartPtr<ImagePainter> painter = target.createPainter();
    if (red && painter) {
        painter->copyChannelToLane(*red, alphaLane, 0, 0);
    }
}

} // namespace

Image::Image(kernel::NodeValue& settings)
    : kernel::Resource(settings), colour(static_cast<std::uint32_t>(settings.getValue("color").asInt())),
      useAlphaChannel(!settings.hasChild("usealphachannel") || settings.getValue("usealphachannel").asBool()),
      frameCount(settings.hasChild("framecount") ? settings.getValue("framecount").asInt() : 0),
      horizontalFrames(settings.getValue("horizontalframelayout").asBool()) {
    std::string mask = kernel::normaliseResourcePath(narrowKey(settings, "mask"));
    if (fileName().empty() && !mask.empty()) {
        setFileName(std::move(mask));
        onlyMask = true;
    } else {
        maskFile = std::move(mask);
    }
}

Image::Image(std::string file) : kernel::Resource(std::move(file)) {}

Image::~Image() = default;

void Image::load() {
    loadImage();
    markLoaded();
}

void Image::loadImage() {
    const std::string file = fileName();
    image = file.empty() ? nullptr : decode(file);
    if (!image) {
        setError(true);
        return;
    }
    image->setAlphaMode(useAlphaChannel);
    if (onlyMask) {
        fillWithColourUnderMask();
    } else if (!maskFile.empty()) {
        applyMaskFile();
    }
    cutIntoFrames();
    // A 16-bit display must convert the changed pixels again.
    image->setModified(true);
}

void Image::cutIntoFrames() {
    if (frameCount < 1) {
        return;
    }
    image->lockForReading();
    kernel::SmartPtr<ImageBase> cut = FrameStripImage::cut(*image, frameCount, horizontalFrames);
    image->unlock();
    if (cut) {
        image = cut;
    }
}

// The archive is used only in the archive and scrambled modes: in plain-file mode the decoders read the
// disk themselves.
ImageBase* Image::decode(const std::string& file) const {
    if (kernel::ZipArchive::instance() != nullptr && kernel::FileSourceMode != kernel::modeFile) {
        return decodeFromArchive(file);
    }
    if (MemoryImage32* png = loadPngImage(file)) {
        return png;
    }
    return loadJpegImage(file);
}

ImageBase* Image::decodeFromArchive(const std::string& file) const {
    kernel::FileBuffer buffer;
    if (kernel::loadFile(file, buffer, mode()) == kernel::LoadResult::Failed || buffer.empty()) {
        return nullptr;
    }
    if (startsWithPngSignature(buffer)) {
        return loadPngImageFromMemory(buffer.data(), buffer.size());
    }
    return loadJpegImage(buffer.data(), buffer.size());
}

// The mask file was decoded as the image: its red lane becomes the alpha of a plain fill in the colour.
void Image::fillWithColourUnderMask() {
    kernel::SmartPtr<ChannelBuffer> red = createImageChannel(*image, redLane);
    kernel::SmartPtr<ImagePainter> painter = image->createPainter();
    if (!red || !painter) {
        return;
    }
    painter->setColor(kernel::Color(colour));
    painter->clear();
    painter->copyChannelToLane(*red, alphaLane, 0, 0);
}

// Loaded here on the calling thread: the mask is part of this resource, not one of its own.
void Image::applyMaskFile() {
    kernel::SmartPtr<Image> mask = new Image(maskFile);
    mask->loadImage();
    if (!mask->hasError()) {
        copyRedToAlpha(*image, *mask->getImage());
    }
}

kernel::Object* Image::get() {
    return image.get();
}

void Image::unload() {
    image.reset();
    kernel::Resource::unload();
}

bool Image::isSame(const kernel::Resource& other) const {
    if (other.getClassInfo() != getClassInfo()) {
        return false;
    }
    const Image& otherImage = static_cast<const Image&>(other);
    if (otherImage.maskFile != maskFile && otherImage.colour != colour) {
        return false;
    }
    return fileName() == otherImage.fileName();
}

std::string Image::toString() const {
    return kernel::Resource::toString() + "Object: " + (image ? "not 0" : "NULL") +
           "; Color: " + std::to_string(static_cast<std::int32_t>(colour)) +
           "; Only Mask: " + (onlyMask ? "true" : "false") + "; Mask File Name: " + maskFile + "; ";
}

} // namespace graphics
