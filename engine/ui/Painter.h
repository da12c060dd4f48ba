#pragma once

#include "engine/kernel/Object.h"
#include "engine/kernel/SmartPtr.h"

#include <string>
#include <vector>

namespace kernel {
class NodeValue;
}

namespace graphics {
class ImageBase;
class ImagePainter;
} // namespace graphics

namespace ui {

// Draws a dialog's frame from images named in one resource section. The images are taken from the
// resource manager on first use and kept for the painter's life.
class Painter : public kernel::Object {
public:
    Painter() = default;
    // Reads "section" and "images" (a Vector of names; anything but a scalar gives an empty name).
    explicit Painter(kernel::NodeValue& settings);
    ~Painter() override;

    // Draws into the painter's target image, whose size is the dialog's, then clears the changed flag.
    virtual void paint(graphics::ImagePainter& painter) = 0;
    // The smallest size at least the request that the frame fills with whole tiles.
    virtual int snapWidth(int width) = 0;
    virtual int snapHeight(int height) = 0;

    // Set by the dialog whenever its frame must be drawn again.
    bool isChanged() const { return changed; }
    void setChanged(bool flag) { changed = flag; }
    const std::string& getSection() const { return section; }
    const std::vector<std::string>& getImageNames() const { return imageNames; }

    static constexpr kernel::ClassInfo classInfo{&kernel::Object::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

protected:
    void fetchImages();
    // Null for a missing name, a short list or an image its section does not hold.
    graphics::ImageBase* imageAt(int index) const;
    int imageWidth(int index) const;
    int imageHeight(int index) const;

private:
    graphics::ImageBase* lookUpImage(const std::string& name) const;

    bool changed = true;
    bool imagesFetched = false;
    std::string section;
    std::vector<std::string> imageNames;
    std::vector<kernel::SmartPtr<graphics::ImageBase>> images;
};

} // namespace ui
