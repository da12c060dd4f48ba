#pragma once

#include "engine/graphics/ImageBase.h"
#include "engine/kernel/Resource.h"
#include "engine/kernel/SmartPtr.h"

#include <cstdint>
#include <string>

namespace graphics {

// A picture declared in a resources file ("Image"): a PNG or JPEG file, optionally given its alpha from
// the red lane of a mask file, or made from a mask alone (filled with "color", the mask as alpha). A picture
// that declares "framecount" (frames one below the other, or side by side with "horizontalframelayout"; a
// single frame too) is kept cut into its frames (FrameStripImage); one whose size the count does not divide
// is kept whole.
class Image : public kernel::Resource {
public:
    // Reads "mask", "color", "usealphachannel", "framecount" and "horizontalframelayout" besides the keys
    // of every resource.
    explicit Image(kernel::NodeValue& settings);
    // A plain image of one file, made in code (the mask of another image).
    explicit Image(std::string file);
    ~Image() override;

    void load() override;
    // The decoded image, or null while not loaded.
    kernel::Object* get() override;
    void unload() override;
    // Only resources of the same class can be the same. Images that differ in both mask and colour are
    // distinct; otherwise the file decides.
    bool isSame(const kernel::Resource& other) const override;
    std::string toString() const override;

    ImageBase* getImage() const { return image.get(); }
    std::uint32_t getColour() const { return colour; }
    bool isOnlyMask() const { return onlyMask; }
    int getFrameCount() const { return frameCount; }
    bool usesAlphaChannel() const { return useAlphaChannel; }
    const std::string& getMaskFile() const { return maskFile; }

    static constexpr kernel::ClassInfo classInfo{&kernel::Resource::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

protected:
    // Every step of load but the final markLoaded; sets the error flag on failure.
    void loadImage();
    // The picture made from the decoded one takes its place (a font's packed charset), so the decoded one
    // is freed.
    void replaceImage(ImageBase* replacement) { image = replacement; }

private:
    ImageBase* decode(const std::string& file) const;
    ImageBase* decodeFromArchive(const std::string& file) const;
    void fillWithColourUnderMask();
    void applyMaskFile();
    void cutIntoFrames();

    kernel::SmartPtr<ImageBase> image;
    std::uint32_t colour = 0;
    bool onlyMask = false;
    bool useAlphaChannel = true;
    // 0 when not declared: the picture is kept whole.
    int frameCount = 0;
    bool horizontalFrames = false;
    std::string maskFile;
};

} // namespace graphics
