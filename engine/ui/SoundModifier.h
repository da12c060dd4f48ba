#pragma once

#include "engine/kernel/SmartPtr.h"
#include "engine/ui/Modifier.h"

#include <cstdint>
#include <string>

namespace ui {

class SoundSample;

// Plays a sound once, centred and not looped, as a step of a sequence. Without a sample of its own it
// fetches the named sound from the resource manager when it plays.
class SoundModifier : public Modifier {
public:
    explicit SoundModifier(SoundSample* sound);
    ~SoundModifier() override;

    void update(std::uint32_t elapsed) override;

    void setSoundName(std::string resourceSection, std::string name);
    void setVolume(std::uint8_t value) { volume = value; }
    void setPan(std::uint8_t value) { pan = value; }
    SoundSample* getSound() const { return sound.get(); }

    static constexpr kernel::ClassInfo classInfo{&Modifier::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    void fetchSound();

    kernel::SmartPtr<SoundSample> sound;
    std::string section;
    std::string soundName;
    std::uint8_t pan = 128;
    std::uint8_t volume = 255;
};

} // namespace ui
