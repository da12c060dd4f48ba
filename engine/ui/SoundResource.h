#pragma once

#include "engine/kernel/Resource.h"
#include "engine/kernel/SmartPtr.h"
#include "engine/ui/SoundSample.h"

#include <cstdint>
#include <string>

namespace ui {

// A sound effect declared in a resources file ("Sound"). An OGG file is converted once into a WAV file
// beside it (when the resource manager asks for that), and from then on the WAV file is loaded instead.
class Sound : public kernel::Resource {
public:
    // Reads "volume" (its low 8 bits) besides the keys of every resource.
    explicit Sound(kernel::NodeValue& settings);
    ~Sound() override;

    void load() override;
    // The sample, or null while not loaded.
    kernel::Object* get() override;
    void unload() override;
    // Only another Sound of the same file is the same resource.
    bool isSame(const kernel::Resource& other) const override;
    std::string toString() const override;

    SoundSample* getSample() const { return sample.get(); }
    std::uint8_t getVolume() const { return volume; }

    static constexpr kernel::ClassInfo classInfo{&kernel::Resource::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    bool wantsConversion(const std::string& file) const;
    void useConvertedFile(const std::string& oggFile);

    kernel::SmartPtr<SoundSample> sample;
    std::uint8_t volume = 255;
};

} // namespace ui
