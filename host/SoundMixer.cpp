// The mixer library, opened at run time (see SoundMixer.h).

#include "host/SoundMixer.h"

#include "host/Sound.h"
#include "host/Testing.h"

#include <dlfcn.h>
#include <link.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <set>
#include <string>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

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

// The shared objects mapped into the process, by load address and name.
using LoadedObjects = std::set<std::pair<std::uintptr_t, std::string>>;

LoadedObjects loadedObjects() {
    LoadedObjects objects;
    dl_iterate_phdr(
        [](dl_phdr_info* info, std::size_t, void* found) {
            static_cast<LoadedObjects*>(found)->emplace(info->dlpi_addr,
                                                        info->dlpi_name != nullptr ? info->dlpi_name : "");
            return 0;
        },
        &objects);
    return objects;
}

bool hasTextRelocations(const dl_phdr_info& info) {
    for (int i = 0; i < info.dlpi_phnum; ++i) {
        const ElfW(Phdr)& header = info.dlpi_phdr[i];
        if (header.p_type != PT_DYNAMIC) {
            continue;
        }
        for (const auto* entry = reinterpret_cast<const ElfW(Dyn)*>(info.dlpi_addr + header.p_vaddr);
             entry->d_tag != DT_NULL; ++entry) {
            if (entry->d_tag == DT_TEXTREL ||
                (entry->d_tag == DT_FLAGS && (entry->d_un.d_val & DF_TEXTREL) != 0)) {
                return true;
            }
        }
    }
    return false;
}

struct Segment {
    std::uintptr_t from;
    std::uintptr_t to;
};

bool overlaps(const Segment& a, const Segment& b) {
    return a.from < b.to && b.from < a.to;
}

// The whole pages of the object's segments that are never written: not writable, not made read-only after
// relocation, in an object without relocations of its code.
void giveBackReadOnlyPages(const dl_phdr_info& info) {
    if (hasTextRelocations(info)) {
        return;
    }
    const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    std::vector<Segment> readOnly;
    std::vector<Segment> written;
    for (int i = 0; i < info.dlpi_phnum; ++i) {
        const ElfW(Phdr)& header = info.dlpi_phdr[i];
        const Segment segment{info.dlpi_addr + header.p_vaddr,
                              info.dlpi_addr + header.p_vaddr + header.p_memsz};
        if (header.p_type == PT_GNU_RELRO || (header.p_type == PT_LOAD && (header.p_flags & PF_W) != 0)) {
            written.push_back(segment);
        } else if (header.p_type == PT_LOAD) {
            readOnly.push_back(segment);
        }
    }
    for (const Segment& segment : readOnly) {
        const std::uintptr_t from = (segment.from + page - 1) / page * page;
        const std::uintptr_t to = segment.to / page * page;
        const bool touchesWritten = std::any_of(written.begin(), written.end(), [&](const Segment& other) {
            return overlaps({from, to}, {other.from / page * page, (other.to + page - 1) / page * page});
        });
        if (from < to && !touchesWritten) {
            (void)madvise(reinterpret_cast<void*>(from), to - from, MADV_DONTNEED);
        }
    }
}

// The mixer is linked with decoders and synthesisers the game never asks of it (MIDI, trackers, MP3, ...).
// Opening it maps them all, and relocating them and running their set-up touches many of their pages, which
// then stay resident for nothing. The pages that are never written go back: any of them used later is read
// in again from the file, the same bytes.
void giveBackPagesOfObjectsSince(const LoadedObjects& before) {
    dl_iterate_phdr(
        [](dl_phdr_info* info, std::size_t, void* known) {
            if (static_cast<const LoadedObjects*>(known)->count(
                    {info->dlpi_addr, info->dlpi_name != nullptr ? info->dlpi_name : ""}) == 0) {
                giveBackReadOnlyPages(*info);
            }
            return 0;
        },
        const_cast<LoadedObjects*>(&before));
}

// Outside the state's lock: opening takes long, and a waiter only needs the result.
void openAndPublish() {
    MixerCalls calls;
    const LoadedObjects before = loadedObjects();
    void* library = openLibrary();
    const bool usable = library != nullptr && resolveAll(library, calls);
    if (library != nullptr) {
        giveBackPagesOfObjectsSince(before);
    }
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
