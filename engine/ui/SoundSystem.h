#pragma once

#include "engine/platform/SceneComponent.h"
#include "engine/ui/MusicSlot.h"
#include "host/Display.h"

#include <cstdint>
#include <string>

namespace ui {

// The sound library's owner: starts it, keeps the effects master volume, and plays music in two stream
// slots that cross-fade, stepped once per frame as a frame listener. While muted (the window is
// minimised) volumes are stored but not applied.
class SoundSystem : public platform::SceneComponent {
public:
    // Starts the library (a failure leaves the game silent) and makes the singleton.
    static SoundSystem* create(int rate, int channels);
    static SoundSystem* instance();
    static void destroy();

    // Version 3.75 or newer, then initialised with the default output or, failing that, the fall-back one.
    static host::HRESULT initFmod(int rate, int channels);
    // Whether OGG files can be decoded into a PCM store for conversion. The store is plain memory here,
    // so it is there whenever sound is up.
    static bool canStorePcm();

    void setSfxVolume(std::uint8_t volume);
    void setMusicVolume(std::uint8_t volume);
    // Sets the current tune's fade; it reaches target after duration ms (at least one frame).
    void setMusicFade(float start, float target, int duration);
    // Plays the tune at once in the current slot, ending a running cross-fade first.
    bool startMusic(const std::string& name, unsigned int openMode);
    // Fades the current tune out and the named one in, after a start delay that rewinds the incoming tune.
    void playMusic(int fadeOutMs, float targetFade, int fadeInMs, const std::string& name, int startDelayMs,
                   unsigned int openMode);
    // Stops the outgoing tune at once; the incoming one becomes current.
    void finishCrossFade();
    // True when the slot's stream was stopped and closed; a slot without a stream gives false.
    bool closeSlot(MusicSlot& slot);
    void stopAllMusic();
    // Opens the named stream in the slot unless it is open there already, and plays it.
    bool playInSlot(MusicSlot& slot, const std::string& name, unsigned int openMode);

    // The window was minimised: silence everything, keep the volumes.
    void mute();
    // The window was restored: apply the stored volumes again.
    void restore();

    void onFrame(std::uint32_t ms) override;

    bool isMuted() const { return muted; }
    std::uint8_t getSfxVolume() const { return sfxVolume; }
    const MusicSlot& getCurrentSlot() const { return current; }
    // The file of the tune that plays (during a cross-fade the outgoing one); empty when none does.
    std::string currentMusicName() const { return current.name; }
    // The fade (0..1) of the tune that plays: where a new fade of it starts.
    float musicFadeLevel() const { return current.fade; }
    const MusicSlot& getOtherSlot() const { return other; }
    bool isCrossFading() const { return crossFading; }
    std::int32_t getStartDelay() const { return startDelay; }
    // How often an incoming tune was rewound at the end of its start delay (tests count them).
    int getRewindCount() const { return rewinds; }

    static constexpr kernel::ClassInfo classInfo{&platform::SceneComponent::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    SoundSystem() = default;
    ~SoundSystem() override;

    bool openInSlot(MusicSlot& slot, const std::string& name, unsigned int openMode);
    void startStream(MusicSlot& slot);
    void applyMusicVolume(const MusicSlot& slot);
    void countDownStartDelay(std::uint32_t ms);
    void stepFade(MusicSlot& slot, std::uint32_t ms);
    void endCrossFadeWhenDone();

    bool muted = false;
    std::uint8_t sfxVolume = 255;
    MusicSlot current;
    // The incoming tune during a cross-fade; the closed old tune afterwards.
    MusicSlot other;
    bool crossFading = false;
    std::int32_t startDelay = 0;
    int rewinds = 0;
};

} // namespace ui
