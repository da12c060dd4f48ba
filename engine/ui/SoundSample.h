#pragma once

#include "engine/ui/GameNode.h"
#include "host/Sound.h"

#include <atomic>
#include <cstdint>
#include <string>

namespace ui {

// True once the sound library is up. Every sound call tests it first, so a game without sound runs silent.
// Atomic because samples are loaded on the resource loader thread.
extern std::atomic<bool> soundIsUp;

// One loaded sound effect with a volume of its own that scales every play.
class SoundSample : public GameNode {
public:
    // How the last play started its channel (tests tell the two starts apart by it).
    enum class PlayStart { None, Plain, Paused };

    SoundSample() = default;
    // Frees the sample, then stops its channel; a channel that plays something else by then has a stale
    // handle, which the library ignores.
    ~SoundSample() override;

    // 0 on success, E_FAIL when the file is no sound or sound is down. The file is read from disk by name.
    host::HRESULT load(const std::string& file, unsigned int mode);
    // The channel played on, or -1. The effective volume is volume x own volume / 255, truncated.
    int play(std::uint8_t volume, std::uint8_t pan, bool loop);
    int playOnce(std::uint8_t volume, std::uint8_t pan) { return play(volume, pan, false); }
    int playLooped(std::uint8_t volume, std::uint8_t pan) { return play(volume, pan, true); }
    bool stop();

    void setVolume(std::uint8_t own) { volume = own; }
    std::uint8_t getVolume() const { return volume; }
    int getChannel() const { return channel; }
    const std::string& getFileName() const { return name; }
    bool isLoaded() const { return sample != nullptr; }
    PlayStart getLastPlayStart() const { return lastStart; }

    static std::uint8_t effectiveVolume(std::uint8_t volume, std::uint8_t own) {
        return static_cast<std::uint8_t>(volume * own / 255);
    }

    static constexpr kernel::ClassInfo classInfo{&GameNode::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    int startPlain();
    int startPaused(std::uint8_t effective, std::uint8_t pan);

    host::FSOUND_SAMPLE* sample = nullptr;
    int channel = -1;
    std::uint8_t volume = 255;
    std::string name;
    PlayStart lastStart = PlayStart::None;
};

} // namespace ui
