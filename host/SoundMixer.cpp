// The mixer library, opened at run time (see SoundMixer.h).

#include "host/SoundMixer.h"

#include "host/Sound.h"
#include "host/Testing.h"

#include <dlfcn.h>

#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>

namespace host::sound {
namespace {

// The library's name as the system's loader knows it; then the folder the build found it in, for a mixer
// installed outside the loader's search path.
constexpr const char* mixerLibrary = "libSDL2_mixer-2.0.so.0";

enum class Opening { NotStarted, Running, Done };

struct MixerState {
    std::mutex lock;
    std::condition_variable done;
    Opening opening = Opening::NotStarted;
    bool usable = false;
    MixerCalls calls;
};

// Never destroyed: the opening thread may still be in the loader while the program ends.
MixerState& state() {
    static auto* instance = new MixerState();
    return *instance;
}

void* openLibrary() {
    const bool refused = testing::shouldFail("dlopen:mixer");
    if (void* library = refused ? nullptr : dlopen(mixerLibrary, RTLD_NOW | RTLD_LOCAL)) {
        return library;
    }
#ifdef PIBBLES_MIXER_LIBDIR
    const std::string inBuildFolder = std::string(PIBBLES_MIXER_LIBDIR) + "/" + mixerLibrary;
    if (void* library = refused ? nullptr : dlopen(inBuildFolder.c_str(), RTLD_NOW | RTLD_LOCAL)) {
        return library;
    }
#endif
    const char* reason = refused ? nullptr : dlerror();
    std::fprintf(stderr, "Sound: the mixer library %s cannot be opened (%s); the game runs silent\n",
                 mixerLibrary, reason != nullptr ? reason : "not found");
    return nullptr;
}

template <class Call> bool resolve(void* library, const char* name, Call& call) {
    call = reinterpret_cast<Call>(dlsym(library, name));
    if (call == nullptr) {
        std::fprintf(stderr, "Sound: the mixer library has no %s; the game runs silent\n", name);
    }
    return call != nullptr;
}

bool resolveAll(void* library, MixerCalls& calls) {
    return resolve(library, "Mix_AllocateChannels", calls.AllocateChannels) &&
           resolve(library, "Mix_ChannelFinished", calls.ChannelFinished) &&
           resolve(library, "Mix_CloseAudio", calls.CloseAudio) &&
           resolve(library, "Mix_FreeChunk", calls.FreeChunk) &&
           resolve(library, "Mix_GetChunk", calls.GetChunk) &&
           resolve(library, "Mix_HaltChannel", calls.HaltChannel) &&
           resolve(library, "Mix_Init", calls.Init) && resolve(library, "Mix_LoadWAV_RW", calls.LoadWAV_RW) &&
           resolve(library, "Mix_OpenAudio", calls.OpenAudio) && resolve(library, "Mix_Pause", calls.Pause) &&
           resolve(library, "Mix_Paused", calls.Paused) &&
           resolve(library, "Mix_PlayChannel", calls.PlayChannel) &&
           resolve(library, "Mix_Playing", calls.Playing) &&
           resolve(library, "Mix_QuerySpec", calls.QuerySpec) &&
           resolve(library, "Mix_QuickLoad_RAW", calls.QuickLoad_RAW) &&
           resolve(library, "Mix_Quit", calls.Quit) &&
           resolve(library, "Mix_RegisterEffect", calls.RegisterEffect) &&
           resolve(library, "Mix_ReserveChannels", calls.ReserveChannels) &&
           resolve(library, "Mix_Resume", calls.Resume) &&
           resolve(library, "Mix_SetPanning", calls.SetPanning) &&
           resolve(library, "Mix_UnregisterAllEffects", calls.UnregisterAllEffects) &&
           resolve(library, "Mix_Volume", calls.Volume);
}

// Outside the state's lock: opening takes long, and a waiter only needs the result.
void openAndPublish() {
    MixerCalls calls;
    void* library = openLibrary();
    const bool usable = library != nullptr && resolveAll(library, calls);
    MixerState& mixer = state();
    {
        std::lock_guard guard(mixer.lock);
        mixer.calls = calls;
        mixer.usable = usable;
        mixer.opening = Opening::Done;
    }
    mixer.done.notify_all();
}

} // namespace

bool openMixer() {
    MixerState& mixer = state();
    std::unique_lock guard(mixer.lock);
    if (mixer.opening == Opening::NotStarted) {
        mixer.opening = Opening::Running;
        guard.unlock();
        openAndPublish();
        guard.lock();
    }
    mixer.done.wait(guard, [&mixer] { return mixer.opening == Opening::Done; });
    return mixer.usable;
}

const MixerCalls& mix() {
    return state().calls;
}

} // namespace host::sound

namespace host {

void PrepareSound() {
    sound::MixerState& mixer = sound::state();
    {
        std::lock_guard guard(mixer.lock);
        if (mixer.opening != sound::Opening::NotStarted) {
            return;
        }
        mixer.opening = sound::Opening::Running;
    }
    try {
        std::thread(sound::openAndPublish).detach();
    } catch (const std::system_error&) {
        // No thread to spare: the library is opened here and now.
        sound::openAndPublish();
    }
}

} // namespace host
