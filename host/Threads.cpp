#include "host/Threads.h"

#include "host/Testing.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <unordered_map>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace host {
namespace {

// Thread ids come from a counter rather than the system, so CreateThread can report the id before the
// thread runs and an id is never reused.
std::atomic<DWORD> nextThreadId{1};
thread_local DWORD currentThreadId = 0;

struct ThreadState {
    explicit ThreadState(DWORD id, bool suspended) : id(id), suspendCount(suspended ? 1 : 0) {}

    std::mutex lock;
    std::condition_variable changed;
    const DWORD id;
    int suspendCount;
    // A resume that came while the thread ran; its next self-suspension returns at once.
    bool resumePending = false;
    bool finished = false;
};

// The state of the thread running now; null for threads not started by CreateThread.
thread_local ThreadState* currentThreadState = nullptr;

struct MutexState {
    ~MutexState();

    std::mutex lock;
    std::condition_variable released;
    DWORD owner = 0; // thread id; 0 when free
    DWORD count = 0;
    // The system-wide part: the locked file, and the process that locked it (a child made by fork shares
    // the descriptor, and with it the lock, but the file is not its to remove).
    int lockFile = -1;
    std::string lockPath;
    pid_t lockHolder = 0;
};

// Every mutex of this process that holds a lock file, so that the files of mutexes still open when the
// process ends (the single-instance check's is never closed) are removed too. Never destroyed: mutexes
// close during the program's exit.
struct LockFiles {
    std::mutex lock;
    std::set<MutexState*> held;
};

LockFiles& lockFiles() {
    static auto* files = new LockFiles;
    return *files;
}

bool namesSameFile(int fd, const std::string& path) {
    struct stat opened {};
    struct stat named {};
    return ::fstat(fd, &opened) == 0 && ::stat(path.c_str(), &named) == 0 && opened.st_dev == named.st_dev &&
           opened.st_ino == named.st_ino;
}

// The file goes while its lock is still held, so whoever opens the name afterwards makes a new file,
// and whoever opened the old one just before finds, once it has the lock, that the name has moved on.
// Called with the lock of lockFiles() held.
void giveUpLockFile(MutexState& state) {
    if (state.lockFile < 0) {
        return;
    }
    if (state.lockHolder == ::getpid() && namesSameFile(state.lockFile, state.lockPath)) {
        ::unlink(state.lockPath.c_str());
    }
    ::close(state.lockFile);
    state.lockFile = -1;
}

void giveUpLockFilesAtExit() {
    LockFiles& files = lockFiles();
    std::lock_guard guard(files.lock);
    for (MutexState* state : files.held) {
        giveUpLockFile(*state);
    }
    files.held.clear();
}

void keepLockFile(MutexState& state, int fd, std::string path) {
    static std::once_flag registered;
    std::call_once(registered, [] { std::atexit(giveUpLockFilesAtExit); });
    LockFiles& files = lockFiles();
    std::lock_guard guard(files.lock);
    state.lockFile = fd;
    state.lockPath = std::move(path);
    state.lockHolder = ::getpid();
    files.held.insert(&state);
}

MutexState::~MutexState() {
    LockFiles& files = lockFiles();
    std::lock_guard guard(files.lock);
    giveUpLockFile(*this);
    files.held.erase(this);
}

// Every open thread and mutex handle, so that a handle is checked before use: a closed handle fails with
// ERROR_INVALID_HANDLE instead of touching freed memory, and a call in progress keeps its object alive
// through the shared pointer even when another thread closes the handle meanwhile.
struct HandleEntry {
    std::shared_ptr<ThreadState> thread;
    std::shared_ptr<MutexState> mutex;
};

// The tables are never destroyed: static objects (the logger's mutex) close their handles during the
// program's exit, and detached threads may still run then.
std::mutex& handleTableLock() {
    static auto* lock = new std::mutex;
    return *lock;
}

std::unordered_map<const HandleObject*, HandleEntry>& handleTable() {
    static auto* table = new std::unordered_map<const HandleObject*, HandleEntry>;
    return *table;
}

class KernelHandle : public HandleObject {
public:
    explicit KernelHandle(HandleEntry entry) {
        std::lock_guard guard(handleTableLock());
        handleTable().emplace(this, std::move(entry));
    }
    ~KernelHandle() override {
        HandleEntry entry;
        {
            std::lock_guard guard(handleTableLock());
            auto it = handleTable().find(this);
            entry = std::move(it->second);
            handleTable().erase(it);
        }
        // The object may go with this handle; that happens here, outside the table's lock.
    }
    KernelHandle(const KernelHandle&) = delete;
    KernelHandle& operator=(const KernelHandle&) = delete;
};

HANDLE currentThreadPseudoHandle() {
    return reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-2));
}

HandleEntry lookUp(HANDLE handle) {
    std::lock_guard guard(handleTableLock());
    auto it = handleTable().find(handle);
    return it == handleTable().end() ? HandleEntry{} : it->second;
}

std::shared_ptr<ThreadState> threadOf(HANDLE handle) {
    return lookUp(handle).thread;
}

// A time-out as the waits take it; INFINITE waits without end.
template <typename Predicate>
bool waitFor(std::condition_variable& condition, std::unique_lock<std::mutex>& held, DWORD milliseconds,
             Predicate ready) {
    if (milliseconds == INFINITE) {
        condition.wait(held, ready);
        return true;
    }
    return condition.wait_for(held, std::chrono::milliseconds(milliseconds), ready);
}

void runThread(const std::shared_ptr<ThreadState>& state, LPTHREAD_START_ROUTINE start, void* parameter) {
    currentThreadId = state->id;
    currentThreadState = state.get();
    {
        std::unique_lock held(state->lock);
        state->changed.wait(held, [&] { return state->suspendCount == 0; });
    }
    start(parameter);
    {
        std::lock_guard guard(state->lock);
        state->finished = true;
    }
    state->changed.notify_all();
    currentThreadState = nullptr;
}

DWORD suspendSelf(ThreadState& state) {
    std::unique_lock held(state.lock);
    if (state.resumePending) {
        state.resumePending = false;
        return 0;
    }
    state.suspendCount = 1;
    state.changed.wait(held, [&] { return state.suspendCount == 0; });
    return 0;
}

DWORD waitForThread(ThreadState& state, DWORD milliseconds) {
    std::unique_lock held(state.lock);
    return waitFor(state.changed, held, milliseconds, [&] { return state.finished; }) ? WAIT_OBJECT_0
                                                                                      : WAIT_TIMEOUT;
}

DWORD waitForMutex(MutexState& state, DWORD milliseconds) {
    const DWORD self = GetCurrentThreadId();
    std::unique_lock held(state.lock);
    if (state.owner == self) {
        ++state.count;
        return WAIT_OBJECT_0;
    }
    if (!waitFor(state.released, held, milliseconds, [&] { return state.owner == 0; })) {
        return WAIT_TIMEOUT;
    }
    state.owner = self;
    state.count = 1;
    return WAIT_OBJECT_0;
}

// Named mutexes of this process. An entry outlives its mutex (the pointer expires) and is replaced when
// the name is created again.
std::mutex& mutexNamesLock() {
    static auto* lock = new std::mutex;
    return *lock;
}

std::map<std::string, std::weak_ptr<MutexState>>& mutexNames() {
    static auto* names = new std::map<std::string, std::weak_ptr<MutexState>>;
    return *names;
}

std::string lockFileName(const std::string& name) {
    std::string escaped = "pibbles-mutex-";
    for (unsigned char c : name) {
        const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                           c == '.' || c == '_' || c == '-';
        if (plain) {
            escaped += static_cast<char>(c);
        } else {
            char code[4];
            std::snprintf(code, sizeof code, "%%%02X", c);
            escaped += code;
        }
    }
    // A file name has at most 255 bytes: a long name keeps its start and gains a stable hash of the whole.
    constexpr std::size_t longest = 200;
    if (escaped.size() > longest) {
        std::uint64_t hash = 14695981039346656037ull;
        for (unsigned char c : name) {
            hash = (hash ^ c) * 1099511628211ull;
        }
        char suffix[20];
        std::snprintf(suffix, sizeof suffix, "~%016llx", static_cast<unsigned long long>(hash));
        escaped.resize(longest);
        escaped += suffix;
    }
    return escaped;
}

enum class FileLock { Taken, HeldElsewhere, CannotOpen, Failed };

// Opens the file at the path and takes its lock, retrying while the file it locked has been removed
// meanwhile by its last holder (see giveUpLockFile); fd is the descriptor holding the lock.
FileLock lockFileAt(const std::string& path, int& fd) {
    // Each retry means another process took and gave up the name in between; a bound keeps a storm of
    // them from holding this call.
    constexpr int attempts = 100;
    for (int attempt = 0; attempt < attempts; ++attempt) {
        fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (fd < 0) {
            return FileLock::CannotOpen;
        }
        int result;
        do {
            result = ::flock(fd, LOCK_EX | LOCK_NB);
        } while (result != 0 && errno == EINTR);
        if (result != 0) {
            const bool busy = errno == EWOULDBLOCK;
            ::close(fd);
            return busy ? FileLock::HeldElsewhere : FileLock::Failed;
        }
        if (namesSameFile(fd, path)) {
            return FileLock::Taken;
        }
        ::close(fd);
    }
    return FileLock::Failed;
}

// Takes the name's lock file for the mutex; sets heldElsewhere when another process holds it.
void lockSystemWide(MutexState& state, const std::string& name, bool* heldElsewhere) {
    *heldElsewhere = false;
    const std::string file = lockFileName(name);
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    for (const std::string& folder : {std::string(runtime ? runtime : ""), std::string("/tmp")}) {
        if (folder.empty()) {
            continue;
        }
        const std::string path = folder + "/" + file;
        int fd = -1;
        switch (lockFileAt(path, fd)) {
        case FileLock::Taken:
            keepLockFile(state, fd, path);
            return;
        case FileLock::HeldElsewhere:
            *heldElsewhere = true;
            return;
        case FileLock::CannotOpen:
            // A folder that cannot be written: the next one.
            continue;
        case FileLock::Failed:
            return;
        }
    }
}

// The mutex of that name in this process (alreadyExists set), or a new one registered under the name.
std::shared_ptr<MutexState> namedMutex(const std::string& name, bool* alreadyExists) {
    std::lock_guard guard(mutexNamesLock());
    std::weak_ptr<MutexState>& entry = mutexNames()[name];
    if (auto existing = entry.lock()) {
        *alreadyExists = true;
        return existing;
    }
    auto state = std::make_shared<MutexState>();
    lockSystemWide(*state, name, alreadyExists);
    entry = state;
    return state;
}

} // namespace

HANDLE CreateThread(void*, std::size_t, LPTHREAD_START_ROUTINE start, void* parameter, DWORD creationFlags,
                    DWORD* threadId) {
    if (testing::failsWithLastError("CreateThread", ERROR_NOT_ENOUGH_MEMORY)) {
        return nullptr;
    }
    if (start == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto state =
        std::make_shared<ThreadState>(nextThreadId.fetch_add(1), (creationFlags & CREATE_SUSPENDED) != 0);
    // The handle is made first: once the thread runs, it may already look for itself.
    HANDLE handle = new KernelHandle(HandleEntry{state, nullptr});
    try {
        std::thread(runThread, state, start, parameter).detach();
    } catch (const std::system_error&) {
        delete handle;
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    if (threadId) {
        *threadId = state->id;
    }
    return handle;
}

DWORD SuspendThread(HANDLE thread) {
    constexpr DWORD failed = 0xFFFFFFFF;
    ThreadState* self = currentThreadState;
    if (thread == currentThreadPseudoHandle()) {
        if (self == nullptr) {
            // No handle to a thread that CreateThread did not start exists, so nothing could resume it.
            SetLastError(ERROR_NOT_SUPPORTED);
            return failed;
        }
        return suspendSelf(*self);
    }
    const auto state = threadOf(thread);
    if (!state) {
        SetLastError(ERROR_INVALID_HANDLE);
        return failed;
    }
    if (state.get() != self) {
        SetLastError(ERROR_NOT_SUPPORTED);
        return failed;
    }
    return suspendSelf(*state);
}

DWORD ResumeThread(HANDLE thread) {
    if (thread == currentThreadPseudoHandle()) {
        // The calling thread runs: nothing to resume.
        return 0;
    }
    const auto state = threadOf(thread);
    if (!state) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0xFFFFFFFF;
    }
    std::unique_lock held(state->lock);
    if (state->finished) {
        return 0;
    }
    if (state->suspendCount == 0) {
        state->resumePending = true;
        return 0;
    }
    state->suspendCount = 0;
    held.unlock();
    state->changed.notify_all();
    return 1;
}

HANDLE GetCurrentThread() {
    return currentThreadPseudoHandle();
}

DWORD GetCurrentThreadId() {
    if (currentThreadId == 0) {
        currentThreadId = nextThreadId.fetch_add(1);
    }
    return currentThreadId;
}

HANDLE CreateMutex(void*, BOOL initialOwner, const char* name) {
    if (testing::failsWithLastError("CreateMutex", ERROR_ACCESS_DENIED)) {
        return nullptr;
    }
    bool alreadyExists = false;
    auto state = name && *name ? namedMutex(name, &alreadyExists) : std::make_shared<MutexState>();
    // Only the creator takes the initial ownership; opening an existing mutex ignores the flag.
    if (initialOwner && !alreadyExists) {
        std::lock_guard guard(state->lock);
        state->owner = GetCurrentThreadId();
        state->count = 1;
    }
    HANDLE handle = new KernelHandle(HandleEntry{nullptr, std::move(state)});
    SetLastError(alreadyExists ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
    return handle;
}

BOOL ReleaseMutex(HANDLE mutex) {
    const auto state = lookUp(mutex).mutex;
    if (!state) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    std::unique_lock held(state->lock);
    if (state->owner != GetCurrentThreadId()) {
        SetLastError(ERROR_NOT_OWNER);
        return FALSE;
    }
    if (--state->count == 0) {
        state->owner = 0;
        held.unlock();
        state->released.notify_one();
    }
    return TRUE;
}

DWORD WaitForSingleObject(HANDLE object, DWORD milliseconds) {
    const HandleEntry entry = lookUp(object);
    if (entry.mutex) {
        return waitForMutex(*entry.mutex, milliseconds);
    }
    if (entry.thread) {
        return waitForThread(*entry.thread, milliseconds);
    }
    SetLastError(ERROR_INVALID_HANDLE);
    return WAIT_FAILED;
}

} // namespace host
